#include "common/Text.h"

std::string ToUtf8(TextView text) {
    std::string out;
    out.reserve(text.size());
    EncodeUtf8(text, [&out](char byte) { out += byte; });
    return out;
}

Text FromUtf8(std::string_view bytes) {
    Text out;
    out.reserve(bytes.size());
    DecodeUtf8(bytes, [&out](char16_t unit) { out += unit; });
    return out;
}

Text Widen(std::string_view ascii) {
    return Text(ascii.begin(), ascii.end());
}
