#include "webclient/win/InternetErrorText.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

namespace {

struct ErrorTextCase {
    DWORD code;
    const char* startsWith; // nullptr: no text at all
};

class InternetErrorTextTest : public ::testing::TestWithParam<ErrorTextCase> {};

TEST_P(InternetErrorTextTest, FindsTheTextInTheRightTable) {
    const ErrorTextCase& c = GetParam();
    const Text text = InternetErrorText(c.code);
    if (!c.startsWith) {
        EXPECT_TRUE(text.empty());
        return;
    }
    EXPECT_EQ(text.substr(0, std::char_traits<char>::length(c.startsWith)), Widen(c.startsWith));
    EXPECT_LE(text.size(), 511u);
}

INSTANTIATE_TEST_SUITE_P(Codes, InternetErrorTextTest,
                         ::testing::Values(
                             // WinInet's own table.
                             ErrorTextCase{ERROR_INTERNET_CANNOT_CONNECT,
                                           "The attempt to connect to the server failed."},
                             ErrorTextCase{ERROR_INTERNET_NAME_NOT_RESOLVED,
                                           "The server name could not be resolved."},
                             // Not in WinInet's table: the system's.
                             ErrorTextCase{ERROR_FILE_NOT_FOUND, "File not found."},
                             // In neither table.
                             ErrorTextCase{0x2FFFFFFF, nullptr}));

} // namespace
