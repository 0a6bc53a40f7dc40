#include "app/linux/Arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(LaunchModeFromArgv, TheFirstCharacterOfTheJoinedArguments) {
    struct Case {
        std::vector<std::string> arguments;
        std::int32_t mode;
    };
    const Case cases[] = {
        {{}, -48},
        {{"34"}, 3},
        {{"", "4"}, 4},        // an empty first argument leaves a blank in front
        {{" \t2", "x"}, 2},    // blanks and tabs inside an argument are skipped too
        {{"\"3\""}, '"' - 48}, // a quotation mark the shell kept is the first character
        {{"-style", "fusion"}, '-' - 48},
        {{"\xC3\xA9"}, 0xE9 - 48}, // UTF-8 decoded
        {{"\xFF"
          "2"},
         0xFFFD - 48},
    };
    for (const Case& test : cases) {
        std::vector<char*> argv = {const_cast<char*>("tarnftp")};
        for (const std::string& argument : test.arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        EXPECT_EQ(LaunchModeFromArgv(static_cast<int>(argv.size() - 1), argv.data()).Value(),
                  test.mode)
            << testing::PrintToString(test.arguments);
    }
}
