#include "app/linux/ConfigFile.h"
#include "app/ProfileReader.h"
#include "tests/linux/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Ini(const std::string& host) {
    return "[RedirectHosts]\nHost1=" + host + "\n";
}

// Files made with the usual modes, whatever umask the tests were started with: a file its
// group may write is not read.
struct UsualUmask {
    mode_t saved = ::umask(022);
    ~UsualUmask() { ::umask(saved); }
};

} // namespace

TEST(ConfigFile, CandidatesInOrderLeavingOutUnknownFolders) {
    using Paths = std::vector<std::string>;
    EXPECT_EQ(ConfigFileCandidates("/opt/tarn", "/home/u/.config"),
              (Paths{"/opt/tarn/tarnftp.ini", "/home/u/.config/tarnftp/tarnftp.ini",
                     "/etc/tarnftp/tarnftp.ini"}));
    EXPECT_EQ(ConfigFileCandidates("", ""), (Paths{"/etc/tarnftp/tarnftp.ini"}));
}

// Three places, as beside the executable, the user's and the system's; the first file found
// wins whole, even when it cannot be used.
TEST(ConfigFile, TheFirstRegularFileWinsWhole) {
    UsualUmask usualUmask;
    TemporaryFolder temporary;
    const std::vector<std::string> places = {temporary / "exe.ini", temporary / "user.ini",
                                             temporary / "etc.ini"};
    const auto hostOfFirstFound = [&] { return ReadFirstConfigFile(places)[0]; };

    EXPECT_EQ(hostOfFirstFound(), u"") << "no file anywhere";
    WriteFile(places[2], Ini("etc.example"));
    EXPECT_EQ(hostOfFirstFound(), u"etc.example");
    WriteFile(places[1], "[RedirectHosts]\nHost2=user.example\n");
    EXPECT_EQ(ReadFirstConfigFile(places), (RedirectHosts{u"", u"user.example", u""}))
        << "a file without Host1 is not merged with the next one";

    ASSERT_EQ(::mkdir(places[0].c_str(), 0700), 0);
    EXPECT_EQ(hostOfFirstFound(), u"") << "a folder is not a file";
    ASSERT_EQ(::rmdir(places[0].c_str()), 0);
    ASSERT_EQ(::symlink((temporary / "nowhere").c_str(), places[0].c_str()), 0);
    EXPECT_EQ(hostOfFirstFound(), u"") << "a dangling link is not a file";
    ASSERT_EQ(::unlink(places[0].c_str()), 0);
    ASSERT_EQ(::symlink(places[2].c_str(), places[0].c_str()), 0);
    EXPECT_EQ(hostOfFirstFound(), u"etc.example") << "a link to a file is followed";
    ASSERT_EQ(::unlink(places[0].c_str()), 0);

    std::string large = Ini("exe.example");
    large.resize(maxConfigFileBytes, '\n');
    WriteFile(places[0], large);
    EXPECT_EQ(hostOfFirstFound(), u"exe.example");
    WriteFile(places[0], large + "\n");
    EXPECT_EQ(ReadFirstConfigFile(places), RedirectHosts{}) << "a file too long to read still wins";

    // The system's file that the package installs only explains: a fresh install names no host.
    EXPECT_EQ(RedirectHostsFromProfile(*ReadFile(TARN_SOURCE_DIR "/res/linux/tarnftp.ini")),
              RedirectHosts{});
}

// Whoever may change a file, or replace it in its folder, chooses where the password goes:
// such a file is passed over and the next place is read. Root, which runs the tests, stands
// in for the user; 12345 is another user.
TEST(ConfigFile, AFileOthersMayChangeIsPassedOver) {
    UsualUmask usualUmask;
    TemporaryFolder temporary;
    const std::string planted = temporary / "planted";
    ASSERT_EQ(::mkdir(planted.c_str(), 0755), 0);
    const std::vector<std::string> places = {planted + "/tarnftp.ini", temporary / "next.ini"};
    WriteFile(places[0], Ini("planted.example"));
    WriteFile(places[1], Ini("next.example"));
    const auto hostRead = [&] { return ReadFirstConfigFile(places)[0]; };
    ASSERT_EQ(hostRead(), u"planted.example");

    struct Case {
        const char* what;
        std::string path;
        mode_t mode;
        uid_t owner;
    };
    const std::vector<Case> cases = {
        {"a file others may write", places[0], 0646, 0},
        {"a file its group may write", places[0], 0664, 0},
        {"a file of another user", places[0], 0644, 12345},
        {"a folder others may write", planted, 0757, 0},
        {"a folder others may write, sticky", planted, 01777, 0},
        {"a folder of another user", planted, 0755, 12345},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(::chmod(c.path.c_str(), c.mode), 0);
        if (::chown(c.path.c_str(), c.owner, static_cast<gid_t>(-1)) != 0)
            GTEST_SKIP() << "changing a file's owner needs root";
        EXPECT_EQ(hostRead(), u"next.example") << c.what;
        ASSERT_EQ(::chmod(c.path.c_str(), c.path == planted ? 0755 : 0644), 0);
        ASSERT_EQ(::chown(c.path.c_str(), ::geteuid(), static_cast<gid_t>(-1)), 0);
        EXPECT_EQ(hostRead(), u"planted.example") << c.what;
    }

    // A link in a trusted folder to a file in a folder others may write.
    ASSERT_EQ(::chmod(planted.c_str(), 0777), 0);
    const std::vector<std::string> linked = {temporary / "link.ini", places[1]};
    ASSERT_EQ(::symlink(places[0].c_str(), linked[0].c_str()), 0);
    EXPECT_EQ(ReadFirstConfigFile(linked)[0], u"next.example");
}
