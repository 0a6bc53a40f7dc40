#include "app/LaunchTargets.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FakeWindowsFolder final : public WindowsFolderProvider {
public:
    Text WindowsFolder() const override {
        ++asked;
        return u"C:\\windows";
    }
    mutable int asked = 0;
};

struct ShellCall {
    ShellOwner owner;
    Text file;
    std::optional<Text> parameters;
    bool operator==(const ShellCall&) const = default;
};

class RecordingShell final : public Shell {
public:
    void Open(ShellOwner owner, const Text& file, const std::optional<Text>& parameters) override {
        calls.push_back({owner, file, parameters});
    }
    std::vector<ShellCall> calls;
};

constexpr char16_t webAppUrl[] = u"http://web.example:8080/app";
const Text autoLogon = Text(webAppUrl) + u"/secure/autologon.aspx?sesID=S1&gotoURL=";

} // namespace

TEST(LaunchTargets, EachModeHasItsTarget) {
    struct Case {
        std::int32_t mode;
        LaunchTarget expected;
    };
    const LaunchTarget explorer{u"C:\\windows\\explorer.exe", u"ftp://john:pw@web.example:8080"};
    const Case cases[] = {
        {-48, explorer},
        {0, explorer},
        {1, explorer},
        {2, {autoLogon + u"/file/ShowFolder.aspx", std::nullopt}},
        {3, {autoLogon + u"/secure/AccountBalance.aspx", std::nullopt}},
        {4,
         {autoLogon + u"%2Fads%2FViewShoppingCart.aspx?productID%3D10015%26quantity%3D1",
          std::nullopt}},
        {5, explorer},
        {9, explorer},
    };
    for (const Case& test : cases) {
        FakeWindowsFolder folder;
        RecordingShell shell;
        OpenDestination(shell, folder, test.mode, u"john", u"pw", webAppUrl, u"S1");
        ASSERT_EQ(shell.calls.size(), 1u) << test.mode;
        EXPECT_EQ(shell.calls[0], (ShellCall{0, test.expected.file, test.expected.parameters}))
            << test.mode;
        EXPECT_EQ(folder.asked, LaunchModeOpensWebPage(test.mode) ? 0 : 1) << test.mode;
    }
}

TEST(LaunchTargets, WebAddressesTakeTheirPiecesAsTheyAre) {
    FakeWindowsFolder folder;
    EXPECT_EQ(DestinationTarget(2, u"", u"", u"https://h/", u"", folder).file,
              u"https://h//secure/autologon.aspx?sesID=&gotoURL=/file/ShowFolder.aspx");
    EXPECT_EQ(DestinationTarget(3, u"", u"", u"http://h", u"a b&c", folder).file,
              u"http://h/secure/autologon.aspx?sesID=a b&c&gotoURL=/secure/AccountBalance.aspx");
    EXPECT_EQ(SignUpPageAddress(u"http://h/"), u"http://h//secure/signup.aspx?from=tarnupload");
    EXPECT_EQ(HelpPageAddress(webAppUrl), Text(webAppUrl) + u"/help/FTPHelp.aspx");
    EXPECT_EQ(SignUpPageAddress(u""), u"/secure/signup.aspx?from=tarnupload");
}

TEST(LaunchTargets, PagesForTheWindowsButtonsAreOwnedByTheWindow) {
    RecordingShell shell;
    OpenSignUpPage(shell, 0x1234, u"http://h");
    OpenHelpPage(shell, 0x1234, u"http://h");
    EXPECT_EQ(shell.calls,
              (std::vector<ShellCall>{
                  {0x1234, u"http://h/secure/signup.aspx?from=tarnupload", std::nullopt},
                  {0x1234, u"http://h/help/FTPHelp.aspx", std::nullopt}}));
}

TEST(LaunchTargets, FtpLocationKeepsCredentialsInsideTheirFields) {
    struct Case {
        Text user;
        Text password;
        Text url;
        Text expected;
    };
    const Case cases[] = {
        {u"john", u"", u"http://h", u"ftp://john:@h"},
        {u"a:b", u"p@ss/word", u"https://h:21/x/y", u"ftp://a%3Ab:p%40ss%2Fword@h:21"},
        {u"john\\john's share", u"two words", u"http://h",
         u"ftp://john%5Cjohn's%20share:two%20words@h"},
        {u"q\"?#%", u"[x]{y}<z>|^`", u"http://h",
         u"ftp://q%22%3F%23%25:%5Bx%5D%7By%7D%3Cz%3E%7C%5E%60@h"},
        {u"-._~!$&'()*+,;=Az09", u"\u00E9\u4E2D\U0001F600", u"http://h",
         u"ftp://-._~!$&'()*+,;=Az09:\u00E9\u4E2D\U0001F600@h"},
        {u"tab\tnl\n", u"\x7F", u"http://h", u"ftp://tab%09nl%0A:%7F@h"},
    };
    for (const Case& test : cases)
        EXPECT_EQ(FtpLocation(test.user, test.password, test.url), test.expected);
}
