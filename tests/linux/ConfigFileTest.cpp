#include "app/linux/ConfigFile.h"
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
