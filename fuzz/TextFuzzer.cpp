// Input, read twice: as UTF-8 bytes, and as little-endian UTF-16 code units.
#include "common/Text.h"
#include "fuzz/FuzzInput.h"

namespace {

constexpr char16_t replacement = 0xFFFD;

bool IsHigh(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLow(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// text with every surrogate that is not part of a pair replaced.
Text WellFormed(TextView text) {
    Text result(text);
    for (std::size_t i = 0; i < result.size(); ++i) {
        if (IsHigh(result[i]) && i + 1 < result.size() && IsLow(result[i + 1]))
            ++i;
        else if (IsHigh(result[i]) || IsLow(result[i]))
            result[i] = replacement;
    }
    return result;
}

// Decoding gives well-formed UTF-16 that survives another trip; when nothing had to be
// replaced, encoding again gives back the very bytes.
void CheckFromUtf8(std::string_view bytes) {
    const Text text = FromUtf8(bytes);
    FUZZ_REQUIRE(WellFormed(text) == text);
    const std::string encoded = ToUtf8(text);
    FUZZ_REQUIRE(FromUtf8(encoded) == text);
    if (text.find(replacement) == Text::npos)
        FUZZ_REQUIRE(encoded == bytes);
}

// Encoding loses nothing but unpaired surrogates, which come back as replacements.
void CheckToUtf8(TextView text) {
    const std::string bytes = ToUtf8(text);
    FUZZ_REQUIRE(bytes.size() <= text.size() * 3);
    FUZZ_REQUIRE(FromUtf8(bytes) == WellFormed(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckFromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    Text units;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        units += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    CheckToUtf8(units);
    return 0;
}
