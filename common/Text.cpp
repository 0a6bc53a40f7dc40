#include "common/Text.h"

#include <algorithm>

namespace {

constexpr char32_t replacement = 0xFFFD;

void AppendUtf16(Text& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 | (c >> 10));
        out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    }
}

} // namespace

std::string ToUtf8(TextView text) {
    std::string out;
    out.reserve(text.size());
    EncodeUtf8(text, [&out](char byte) { out += byte; });
    return out;
}

Text FromUtf8(std::string_view bytes) {
    Text out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        int extra = lead < 0x80             ? 0
                    : (lead & 0xE0) == 0xC0 ? 1
                    : (lead & 0xF0) == 0xE0 ? 2
                    : (lead & 0xF8) == 0xF0 ? 3
                                            : -1;
        if (extra < 0) {
            AppendUtf16(out, replacement);
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        size_t j = 1;
        for (; j <= size_t(extra) && i + j < bytes.size(); ++j) {
            unsigned char next = static_cast<unsigned char>(bytes[i + j]);
            if ((next & 0xC0) != 0x80)
                break;
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        bool complete = j == size_t(extra) + 1;
        if (!complete || c < smallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            AppendUtf16(out, replacement);
            i += complete ? j : std::max<size_t>(j, 1);
            continue;
        }
        AppendUtf16(out, c);
        i += j;
    }
    return out;
}

Text Widen(std::string_view ascii) {
    return Text(ascii.begin(), ascii.end());
}
