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

// Hands each UTF-8 byte of text to putByte, in order, with ToUtf8's rules; for output that must
// not pass through an ordinary string (a secret's bytes).
template <typename PutByte> void EncodeUtf8(TextView text, PutByte&& putByte) {
    const auto code = [&putByte](char32_t c) {
        if (c < 0x80) {
            putByte(static_cast<char>(c));
        } else if (c < 0x800) {
            putByte(static_cast<char>(0xC0 | (c >> 6)));
            putByte(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            putByte(static_cast<char>(0xE0 | (c >> 12)));
            putByte(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            putByte(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            putByte(static_cast<char>(0xF0 | (c >> 18)));
            putByte(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            putByte(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            putByte(static_cast<char>(0x80 | (c & 0x3F)));
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

// Hands each UTF-16 unit of bytes decoded as UTF-8 to putUnit, in order, with FromUtf8's rules; for
// input that must not become an ordinary string (a secret's bytes).
template <typename PutUnit> void DecodeUtf8(std::string_view bytes, PutUnit&& putUnit) {
    constexpr char32_t replacement = 0xFFFD;
    const auto code = [&putUnit](char32_t c) {
        if (c < 0x10000) {
            putUnit(static_cast<char16_t>(c));
        } else {
            c -= 0x10000;
            putUnit(static_cast<char16_t>(0xD800 | (c >> 10)));
            putUnit(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
        }
    };
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        const int extra = lead < 0x80             ? 0
                          : (lead & 0xE0) == 0xC0 ? 1
                          : (lead & 0xF0) == 0xE0 ? 2
                          : (lead & 0xF8) == 0xF0 ? 3
                                                  : -1;
        if (extra < 0) {
            code(replacement);
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        std::size_t j = 1;
        for (; j <= std::size_t(extra) && i + j < bytes.size(); ++j) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + j]);
            if ((next & 0xC0) != 0x80)
                break;
            c = (c << 6) | (next & 0x3F);
        }
        constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        const bool complete = j == std::size_t(extra) + 1;
        if (!complete || c < smallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            code(replacement);
            i += complete ? j : (j > 1 ? j : 1);
            continue;
        }
        code(c);
        i += j;
    }
}

// ASCII text as UTF-16, for the program's fixed strings.
Text Widen(std::string_view ascii);
