#include "app/linux/ConfigFile.h"
#include "tests/linux/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <csignal>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Ini(const std::string& host) {
    return "[RedirectHosts]\nHost1=" + host + "\n";
}

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
    ::umask(022); // a file its group may write would not be read
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
}

// A file someone else could change is passed over for the next place. Root, which runs the
// tests, stands in for the user; 12345 is another user.
TEST(ConfigFile, AFileOthersMayChangeIsPassedOver) {
    ::umask(022);
    TemporaryFolder temporary;
    const std::string planted = temporary / "planted", link = temporary / "link.ini";
    const std::vector<std::string> places = {planted + "/tarnftp.ini", temporary / "next.ini"};
    ASSERT_EQ(::mkdir(planted.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(planted.c_str(), 01777), 0);
    WriteFile(places[0], Ini("planted.example"));
    WriteFile(places[1], Ini("next.example"));
    ASSERT_EQ(::symlink(places[0].c_str(), link.c_str()), 0);
    EXPECT_EQ(ReadFirstConfigFile(places)[0], u"next.example") << "a folder others may write";
    EXPECT_EQ(ReadFirstConfigFile({link, places[1]})[0], u"next.example") << "a link into it";

    ASSERT_EQ(::chmod(planted.c_str(), 0755), 0);
    if (::chown(places[0].c_str(), 12345, static_cast<gid_t>(-1)) != 0)
        GTEST_SKIP() << "changing a file's owner needs root";
    EXPECT_EQ(ReadFirstConfigFile(places)[0], u"next.example") << "a file of another user";
}

// Another user swaps a link in a folder of theirs that the path crosses, between a folder of
// root's and one of theirs, while the program starts over and over: their file is never read.
TEST(ConfigFile, ALinkSwappedMeanwhileNeverBringsInAnotherUsersFile) {
    constexpr uid_t otherUser = 12345;
    TemporaryFolder temporary;
    ASSERT_EQ(::chmod(temporary.path.c_str(), 0755), 0);
    const std::string trusted = temporary / "trusted", theirs = temporary / "theirs";
    for (const std::string& folder : {trusted, theirs})
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string own = theirs + "/own";
    ASSERT_EQ(::mkdir(own.c_str(), 0755), 0);
    WriteFile(trusted + "/tarnftp.ini", Ini("trusted.example"));
    WriteFile(own + "/tarnftp.ini", Ini("theirs.example"));
    for (const std::string& path : {theirs, own, own + "/tarnftp.ini"})
        if (::chown(path.c_str(), otherUser, otherUser) != 0)
            GTEST_SKIP() << "acting as another user needs root";

    const pid_t swapper = ::fork();
    ASSERT_GE(swapper, 0);
    if (swapper == 0) {
        if (::setgid(otherUser) != 0 || ::setuid(otherUser) != 0)
            ::_exit(1);
        const std::string link = theirs + "/link", next = theirs + "/next";
        for (bool toOwn = false;; toOwn = !toOwn) {
            ::unlink(next.c_str());
            if (::symlink(toOwn ? own.c_str() : trusted.c_str(), next.c_str()) != 0 ||
                ::rename(next.c_str(), link.c_str()) != 0)
                ::_exit(2);
        }
    }
    int trustedReads = 0;
    for (int start = 0; start < 2000; ++start) {
        const Text host = ReadFirstConfigFile({theirs + "/link/tarnftp.ini"})[0];
        ASSERT_NE(host, u"theirs.example") << "start " << start;
        trustedReads += host == u"trusted.example";
    }
    ::kill(swapper, SIGKILL);
    ::waitpid(swapper, nullptr, 0);
    EXPECT_GT(trustedReads, 0);
}
