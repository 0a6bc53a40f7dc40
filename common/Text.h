#pragma once

#include <string>
#include <string_view>

// All text inside the program is UTF-16, as the Windows API speaks it.
using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 <-> UTF-16. Both directions are lenient: an unpaired surrogate or a malformed
// UTF-8 sequence becomes U+FFFD rather than failing, which is what the platform's
// converters do with flags 0.
std::string ToUtf8(TextView text);
Text FromUtf8(std::string_view bytes);

// Hands each UTF-8 byte of text to emit, in order, with ToUtf8's rules; for output that must
// not pass through an ordinary string (a secret's bytes).
template <typename Emit> void EncodeUtf8(TextView text, Emit&& emit) {
    const auto code = [&emit](char32_t c) {
        if (c < 0x80) {
            emit(static_cast<char>(c));
        } else if (c < 0x800) {
            emit(static_cast<char>(0xC0 | (c >> 6)));
            emit(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            emit(static_cast<char>(0xE0 | (c >> 12)));
            emit(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            emit(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            emit(static_cast<char>(0xF0 | (c >> 18)));
            emit(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            emit(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            emit(static_cast<char>(0x80 | (c & 0x3F)));
        }
    };
    const auto isHigh = [](char16_t u) { return u >= 0xD800 && u <= 0xDBFF; };
    const auto isLow = [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (isHigh(u) && i + 1 < text.size() && isLow(text[i + 1])) {
            code(0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            code(isHigh(u) || isLow(u) ? char32_t(0xFFFD) : char32_t(u));
        }
    }
}

// ASCII text as UTF-16, for the program's fixed strings.
Text Widen(std::string_view ascii);
