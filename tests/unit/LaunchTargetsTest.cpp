#include "app/LaunchTargets.h"
#include "common/UserTexts.h"
#include "webclient/PlainAddress.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FakeFileManager final : public FileManagerLocator {
public:
    Text FileManagerPath() const override {
        ++asked;
        return u"C:\\windows\\explorer.exe";
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
    void Open(ShellOwner owner, const SecretText& file,
              const std::optional<SecretText>& parameters) override {
        calls.push_back({owner, Text(file.view()),
                         parameters ? std::optional<Text>(parameters->view()) : std::nullopt});
    }
    std::vector<ShellCall> calls;
};

class RecordingSink final : public MessageSink {
public:
    void ShowMessage(const Text& text) override { messages.push_back(text); }
    std::vector<Text> messages;
};

// Takes a fixed road with a fixed outcome; records each mount and what the user asked.
struct FakeMounter final : StorageMounter {
    HandOverRoad RoadForFileManager(bool remember) override {
        ++asked;
        remembers = remember;
        return road;
    }
    MountResult Mount(TextView location, const SecretText& password) override {
        mounted.push_back(Text(location) + u" " + Text(password.view()));
        return {outcome, u"No route."};
    }
    HandOverRoad road;
    MountOutcome outcome;
    int asked = 0;
    bool remembers = false;
    std::vector<Text> mounted;
};

constexpr char16_t webAppUrl[] = u"http://web.example:8080/app";
const Text autoLogon = Text(webAppUrl) + u"/secure/autologon.aspx?sesID=S1&gotoURL=";

} // namespace

TEST(LaunchTargets, EachModeHasItsTarget) {
    struct Case {
        std::int32_t mode;
        ShellCall expected;
    };
    const ShellCall explorer{0, u"C:\\windows\\explorer.exe", u"ftp://john:pw@web.example:8080"};
    const Case cases[] = {
        {-48, explorer},
        {0, explorer},
        {1, explorer},
        {2, {0, autoLogon + u"/file/ShowFolder.aspx", std::nullopt}},
        {3, {0, autoLogon + u"/secure/AccountBalance.aspx", std::nullopt}},
        {4,
         {0, autoLogon + u"%2Fads%2FViewShoppingCart.aspx?productID%3D10015%26quantity%3D1",
          std::nullopt}},
        {5, explorer},
        {9, explorer},
    };
    for (const Case& test : cases) {
        FakeFileManager folder;
        RecordingShell shell;
        RecordingSink sink;
        OpenDestination(shell, sink, folder, test.mode, u"john", u"pw", webAppUrl, u"S1");
        ASSERT_EQ(shell.calls.size(), 1u) << test.mode;
        EXPECT_EQ(shell.calls[0], test.expected) << test.mode;
        EXPECT_EQ(folder.asked, LaunchMode(test.mode).OpensWebPage() ? 0 : 1) << test.mode;
    }
}

// Where the file manager reads its logon from a mount or a password server, the storage is
// mounted with the password and handed over without it; a failed mount is said and nothing is
// handed over, as on a desktop that cannot open ftp://. A web page and a host that is not plain
// never ask the desktop (which may start its services).
TEST(LaunchTargets, MountedStorageIsHandedOverWithoutThePassword) {
    using enum MountOutcome;
    using enum HandOverRoad;
    struct Case {
        std::int32_t mode;
        Text user, url;
        HandOverRoad road;
        MountOutcome outcome;
        std::vector<Text> mounted, opened, messages = {};
    };
    const Text host = u"http://h", bad = u"http://h,x=y", mount = u"ftp://jo@h/ p@ ,=";
    const Text page = host + u"/secure/autologon.aspx?sesID=S1&gotoURL=/file/ShowFolder.aspx";
    const Text noRoute = UserTexts::mountFailed + Text(u"No route.");
    const Case cases[] = {
        {0, u"j o", host, MountFirst, Mounted, {u"ftp://j%20o@h/ p@ ,="}, {u"ftp://j%20o@h/"}},
        {0, u"jo", host, PasswordServerFirst, Mounted, {mount}, {u"ftp://jo@h/"}},
        {0, u"", host, MountFirst, Failed, {}, {u"ftp://h/"}},
        {0, u"jo", host, PasswordInLocation, Mounted, {}, {u"ftp://jo:p%40%20%2C%3D@h"}},
        {0, u"jo", host, DesktopCannotOpenFtp, Mounted, {}, {}, {UserTexts::desktopCannotOpenFtp}},
        {0, u"jo", host, MountFirst, Refused, {mount}, {}, {UserTexts::mountRefused}},
        {0, u"jo", host, MountFirst, Failed, {mount}, {}, {noRoute}},
        {2, u"jo", host, MountFirst, Mounted, {}, {page}},
        {0, u"jo", bad, MountFirst, Mounted, {}, {}, {RefusedAddressMessage(bad)}},
    };
    for (const Case& test : cases) {
        FakeFileManager folder;
        FakeMounter mounter;
        mounter.road = test.road;
        mounter.outcome = test.outcome;
        RecordingShell shell;
        RecordingSink sink;
        const bool remember = test.user == u"jo";
        OpenDestination(shell, sink, folder, test.mode, test.user, u"p@ ,=", test.url, u"S1",
                        &mounter, remember);
        std::vector<Text> opened;
        for (const ShellCall& call : shell.calls)
            opened.push_back(call.parameters.value_or(call.file));
        EXPECT_EQ(mounter.mounted, test.mounted) << ToUtf8(test.user);
        EXPECT_EQ(opened, test.opened) << ToUtf8(test.user);
        EXPECT_EQ(sink.messages, test.messages) << ToUtf8(test.user);
        EXPECT_EQ(mounter.asked, test.mode == 0 && test.url == host ? 1 : 0);
        EXPECT_EQ(mounter.remembers, remember && mounter.asked);
    }
}

// The session bus, the session's file manager, the event loop, the desktop's VFS, the wallet and
// the user's box choose; each desktop service is asked only when its answer counts.
TEST(LaunchTargets, TheRoadDependsOnTheSessionTheWalletAndTheVfs) {
    using enum HandOverRoad;
    using enum VfsFtp;
    struct Case {
        const char *desktops, *kdeFullSession;
        bool bus, glibLoop, remember;
        VfsFtp vfs;
        bool wallet, passwordServer;
        HandOverRoad road;
        const char* asked; // v: the VFS, w: the wallet, p: the password server
    };
    const Case cases[] = {
        {nullptr, nullptr, true, true, false, OpensFtp, true, true, MountFirst, "v"},
        {"GNOME", nullptr, true, true, false, WithoutFtp, true, true, DesktopCannotOpenFtp, "v"},
        {"GNOME", nullptr, true, true, false, NotRunning, true, true, PasswordInLocation, "v"},
        {"GNOME", nullptr, false, true, false, OpensFtp, true, true, PasswordInLocation, ""},
        {"GNOME", nullptr, true, false, false, OpensFtp, true, true, PasswordInLocation, ""},
        {"KDEX", nullptr, true, true, false, OpensFtp, false, true, MountFirst, "v"},
        {"X-Generic:KDE", nullptr, true, true, false, OpensFtp, false, true, PasswordServerFirst,
         "wp"},
        {nullptr, "true", true, false, true, OpensFtp, true, true, PasswordServerFirst, "p"},
        {"KDE", nullptr, true, true, false, OpensFtp, true, true, PasswordInLocation, "w"},
        {"KDE", nullptr, true, true, false, OpensFtp, false, false, PasswordInLocation, "wp"},
        {"KDE", nullptr, false, true, true, OpensFtp, false, true, PasswordInLocation, ""},
    };
    for (const Case& test : cases) {
        std::string asked;
        const DesktopSession session{
            .xdgCurrentDesktop = test.desktops,
            .kdeFullSession = test.kdeFullSession,
            .sessionBus = test.bus,
            .eventLoopRunsMounts = test.glibLoop,
            .rememberLogon = test.remember,
            .vfs = [&] { return asked += 'v', test.vfs; },
            .walletEnabled = [&] { return asked += 'w', test.wallet; },
            .passwordServerOnBus = [&] { return asked += 'p', test.passwordServer; }};
        const std::string name = test.desktops ? test.desktops : "(unset)";
        EXPECT_EQ(ChooseHandOverRoad(session), test.road) << name;
        EXPECT_EQ(asked, test.asked) << name;
    }
}

TEST(LaunchTargets, WebAddressesTakeTheirPiecesAsTheyAre) {
    FakeFileManager folder;
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
    RecordingSink sink;
    OpenSignUpPage(shell, sink, 0x1234, u"http://h");
    OpenHelpPage(shell, sink, 0x1234, u"http://h");
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
         u"ftp://john%5Cjohn%27s%20share:two%20words@h"},
        {u"jo,hn", u"pa,ss=x", u"http://h", u"ftp://jo%2Chn:pa%2Css%3Dx@h"},
        {u"q\"?#%", u"[x]{y}<z>|^`", u"http://h",
         u"ftp://q%22%3F%23%25:%5Bx%5D%7By%7D%3Cz%3E%7C%5E%60@h"},
        {u"-._~Az09", u"\u00E9\u4E2D\U0001F600", u"http://h",
         u"ftp://-._~Az09:\u00E9\u4E2D\U0001F600@h"},
        {u"!$&'()*", u"+,;=", u"http://h", u"ftp://%21%24%26%27%28%29%2A:%2B%2C%3B%3D@h"},
        {u"tab\tnl\n", u"\x7F", u"http://h", u"ftp://tab%09nl%0A:%7F@h"},
    };
    for (const Case& test : cases)
        EXPECT_EQ(FtpLocation(test.user, test.password, test.url), test.expected);
}

TEST(LaunchTargets, OnlyPlainWebAddressesAndFtpHostsReachTheShell) {
    enum Opener { Explorer, Mode2, Mode4, SignUp, Help };
    struct Case {
        Opener opener;
        Text url;
        Text sessionId;
        bool opens;
    };
    const Case cases[] = {
        {SignUp, u"http://h", u"", true},
        {Help, u"https://web.example:8080/app", u"", true},
        {SignUp, u"http://a-b.c9:1/x?y=%41&z=1#f!@~", u"", true},
        {Mode4, u"http://h/app", u"S1", true},
        {Mode2, u"http://h", u"a&b=c%20#x", true},
        {Explorer, u"http://h:21/app", u"", true},
        {Explorer, u"https://h", u"", true},
        {SignUp, u"http://host\" --injected \"x", u"", false},
        {SignUp, u"search-ms:query=x&crumb=location:\\\\evil\\share", u"", false},
        {Help, u"file:///C:/windows/system32", u"", false},
        {Help, u"\\\\server\\share", u"", false},
        {SignUp, u"javascript:alert(1)//", u"", false},
        {SignUp, u"HTTP://h", u"", false},
        {SignUp, u"http://user@h", u"", false},
        {SignUp, u"http://h\u00E9.example", u"", false},
        {SignUp, u"http://h/\u00E9", u"", false},
        {SignUp, u"http://h/a\tb", u"", false},
        {SignUp, u"http://h/a b", u"", false},
        {SignUp, u"http://h/{a}", u"", false},
        {Help, u"http://h/a|b", u"", false},
        {Help, u"http://h/a\\b", u"", false},
        {Help, u"http://h/a`b<c>^", u"", false},
        {SignUp, u"http://h:123456", u"", false},
        {SignUp, u"http://", u"", false},
        {Mode2, u"http://h", u"a\" --x \"b", false},
        {Explorer, u"http://host\" --injected \"x", u"", false},
        {Explorer, u"http://h,x=y", u"", false},
        {Explorer, u"search-ms:x", u"", false},
        {Explorer, u"http://h:99x/", u"", false},
        // No address at all: the exchange has already said why.
        {SignUp, u"", u"", false},
        {Mode2, u"", u"S1", false},
        {Explorer, u"", u"", false},
    };
    FakeFileManager folder;
    for (const Case& test : cases) {
        RecordingShell shell;
        RecordingSink sink;
        const Text& url = test.url;
        switch (test.opener) {
        case Explorer:
            OpenDestination(shell, sink, folder, 0, u"u", u"p", url, test.sessionId);
            break;
        case Mode2:
        case Mode4:
            OpenDestination(shell, sink, folder, test.opener == Mode2 ? 2 : 4, u"u", u"p", url,
                            test.sessionId);
            break;
        case SignUp:
            OpenSignUpPage(shell, sink, 1, url);
            break;
        case Help:
            OpenHelpPage(shell, sink, 1, url);
            break;
        }
        const std::string name = ToUtf8(url) + " " + ToUtf8(test.sessionId);
        EXPECT_EQ(shell.calls.size(), test.opens ? 1u : 0u) << name;
        EXPECT_EQ(sink.messages.size(), test.opens || url.empty() ? 0u : 1u) << name;
        for (const Text& message : sink.messages) {
            EXPECT_TRUE(message.starts_with(u"The service sent an address that tarnftp does not "
                                            u"open."))
                << name;
            EXPECT_EQ(message.find(u"/secure"), Text::npos) << name;
            if (!test.sessionId.empty()) {
                EXPECT_EQ(message.find(test.sessionId), Text::npos) << name;
            }
        }
    }

    const Text longest = u"http://h/" + Text(2048 - 9, u'a');
    EXPECT_TRUE(IsPlainWebAddress(longest));
    EXPECT_FALSE(IsPlainWebAddress(longest + u"a"));
}

TEST(LaunchTargets, RefusedAddressNamesOnlySchemeAndHost) {
    const std::pair<Text, Text> cases[] = {
        {u"http://host\" --injected \"x", u"Scheme: http\nHost: host\" --injected \"x"},
        {u"search-ms:query=x", u"Scheme: search-ms\nHost: (none)"},
        {u"\\\\server\\share\\x", u"Scheme: (none)\nHost: server"},
        {u"http://user:pw@h:8080/app?sesID=S", u"Scheme: http\nHost: h:8080"},
        {u"HTTPS://h\u00E9\x01#frag", u"Scheme: HTTPS\nHost: h??"},
        {u"http://" + Text(70, u'x') + u"/p", u"Scheme: http\nHost: " + Text(64, u'x') + u"..."},
    };
    for (const auto& [url, named] : cases)
        EXPECT_EQ(RefusedAddressMessage(url),
                  u"The service sent an address that tarnftp does not open.\n\n" + named)
            << ToUtf8(url);
}
