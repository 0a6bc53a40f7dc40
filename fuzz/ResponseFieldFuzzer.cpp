// Input: the field name, a line feed, then the response text.
#include "fuzz/FuzzInput.h"
#include "webclient/ResponseField.h"

namespace {

constexpr TextView lowerEnd = u"</p>";
constexpr TextView upperEnd = u"</P>";

bool HasEndMarker(TextView text) {
    return text.find(lowerEnd) != TextView::npos || text.find(upperEnd) != TextView::npos;
}

// The value read from start must be the text after the first name at or after start and one
// separator, up to the first end marker behind it.
void CheckField(TextView response, TextView name, std::size_t start) {
    const TextView value = GetResponseField(response, name, start);
    FUZZ_REQUIRE(!HasEndMarker(value));
    const std::size_t found = response.find(name, start);
    if (found == TextView::npos) {
        FUZZ_REQUIRE(value.empty());
        return;
    }
    const std::size_t valueStart = found + name.size() + 1;
    if (valueStart > response.size()) {
        FUZZ_REQUIRE(value.empty());
        return;
    }
    const TextView rest = response.substr(valueStart);
    if (!HasEndMarker(rest)) {
        FUZZ_REQUIRE(value.empty());
        return;
    }
    FUZZ_REQUIRE(rest.starts_with(value));
    const TextView after = rest.substr(value.size());
    FUZZ_REQUIRE(after.starts_with(lowerEnd) || after.starts_with(upperEnd));
    // No earlier marker, not even one that begins inside the value and ends behind it.
    FUZZ_REQUIRE(!HasEndMarker(rest.substr(0, value.size() + lowerEnd.size() - 1)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text input = UnitsFromBytes({data, size});
    const std::size_t lineFeed = input.find(u'\n');
    const TextView name = lineFeed == Text::npos ? TextView() : TextView(input).substr(0, lineFeed);
    const TextView response =
        lineFeed == Text::npos ? TextView(input) : TextView(input).substr(lineFeed + 1);

    CheckField(response, name, 0);
    // Later start positions: at the first match (same value), just past it (the next match), and
    // beyond the end of the text (nothing).
    const std::size_t first = response.find(name);
    if (first != TextView::npos) {
        FUZZ_REQUIRE(GetResponseField(response, name, first) == GetResponseField(response, name));
        CheckField(response, name, first + 1);
    }
    FUZZ_REQUIRE(GetResponseField(response, name, response.size() + 1).empty());
    return 0;
}
