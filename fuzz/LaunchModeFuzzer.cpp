// Input: a whole command line, program name first.
#include "app/LaunchMode.h"
#include "fuzz/FuzzInput.h"

namespace {

bool IsBlankOrControl(char16_t unit) {
    return unit >= 1 && unit <= 32;
}

// The arguments are what follows the program's name and the blanks behind it, and nothing
// more was taken than that.
void CheckArgumentsText(TextView commandLine, TextView arguments) {
    FUZZ_REQUIRE(commandLine.ends_with(arguments));
    FUZZ_REQUIRE(arguments.empty() || !IsBlankOrControl(arguments[0]));
    TextView taken = commandLine.substr(0, commandLine.size() - arguments.size());
    while (!taken.empty() && IsBlankOrControl(taken.back()))
        taken.remove_suffix(1);
    if (commandLine.starts_with(u'"')) {
        // Up to the closing quotation mark, or the whole line when there is none.
        if (commandLine.find(u'"', 1) == TextView::npos) {
            FUZZ_REQUIRE(arguments.empty());
            return;
        }
        FUZZ_REQUIRE(taken.size() >= 2 && taken.back() == u'"' &&
                     taken.substr(1, taken.size() - 2).find(u'"') == TextView::npos);
        return;
    }
    for (char16_t unit : taken)
        FUZZ_REQUIRE(unit > 32);
    FUZZ_REQUIRE(taken.size() == commandLine.size() || commandLine[taken.size()] <= 32);
}

// The mode is the first non-blank unit less 48, so it stays within what 16 bits less 48 allow.
void CheckLaunchMode(TextView arguments) {
    const std::int32_t mode = LaunchModeFromArguments(arguments).Value();
    FUZZ_REQUIRE(mode >= -48 && mode <= 65535 - 48);
    const std::size_t first = arguments.find_first_not_of(u" \t");
    const char16_t unit = first == TextView::npos ? 0 : arguments[first];
    FUZZ_REQUIRE(mode == std::int32_t(unit) - 48);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text commandLine = UnitsFromBytes({data, size});
    const Text arguments = ArgumentsText(commandLine);
    CheckArgumentsText(commandLine, arguments);
    CheckLaunchMode(arguments);
    CheckLaunchMode(commandLine);
    return 0;
}
