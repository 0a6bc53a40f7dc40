#include "app/LaunchMode.h"

#include <gtest/gtest.h>

TEST(ArgumentsText, DropsTheProgramNameAndTheSeparatorsAfterIt) {
    struct Case {
        const char16_t* commandLine;
        const char16_t* arguments;
    };
    for (const Case& c : {
             Case{u"tarnftp.exe", u""},
             Case{u"tarnftp.exe 3", u"3"},
             Case{u"tarnftp.exe \t\r\n 34", u"34"},
             Case{u"\"C:\\Program Files\\tarnftp.exe\" 2 x", u"2 x"},
             Case{u"\"C:\\a b\\tarnftp.exe\"4", u"4"},
             Case{u"\"unterminated 2", u""},
             Case{u"", u""},
             Case{u"C:\\tarnftp.exe\x01\x1F"
                  u"9",
                  u"9"},
         }) {
        EXPECT_EQ(ArgumentsText(c.commandLine), c.arguments) << "line: " << ToUtf8(c.commandLine);
    }
}

TEST(LaunchMode, IsTheFirstNonBlankUnitMinusTheCodeOfZero) {
    struct Case {
        const char16_t* arguments;
        std::int32_t mode;
    };
    for (const Case& c : {
             Case{u"", -48},
             Case{u"   \t ", -48},
             Case{u" \t 3", 3},
             Case{u"34", 3},
             Case{u"4a", 4},
             Case{u"x", 72},
             Case{u"\"3\"", -14},
             Case{u"-2", -3},
             Case{u"\r3", 13 - 48}, // only blanks and tabs are skipped here
             Case{u"\uFFFF", 0xFFFF - 48},
         }) {
        EXPECT_EQ(LaunchModeFromArguments(c.arguments).Value(), c.mode) << ToUtf8(c.arguments);
    }
}

TEST(LaunchMode, FollowsFromTheWholeCommandLine) {
    EXPECT_EQ(LaunchModeFromArguments(ArgumentsText(u"tarnftp.exe")).Value(), -48);
    EXPECT_EQ(LaunchModeFromArguments(ArgumentsText(u"\"tarnftp.exe\"   2")).Value(), 2);
}
