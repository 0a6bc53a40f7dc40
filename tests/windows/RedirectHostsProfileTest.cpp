#include "app/win/RedirectHostsProfile.h"
#include "framework/win/WideText.h"
#include "tests/corpus/IniCorpus.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <vector>

namespace {

// The build copies the corpus into the folder of this executable.
std::filesystem::path CorpusFolder() {
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    return std::filesystem::path(std::wstring(program, length)).parent_path() / "ini-corpus";
}

} // namespace

// The platform's reader gives the hosts that the corpus expects, as the portable reader does.
TEST(RedirectHostsProfileCorpus, GivesTheExpectedHosts) {
    const std::filesystem::path folder = CorpusFolder();
    const std::vector<IniCase> cases = ReadIniCorpus(folder);
    ASSERT_GE(cases.size(), 5u) << "no ini-corpus/expected.txt beside the test program";
    for (const IniCase& row : cases) {
        const RedirectHosts hosts = ReadRedirectHosts(FromWide((folder / row.file).c_str()));
        for (size_t i = 0; i < hosts.size(); ++i)
            EXPECT_EQ(hosts[i], FromUtf8(row.hosts[i])) << row.file << " Host" << i + 1;
    }
}

TEST(RedirectHostsProfile, NoFileOrNoPathGivesEmptyHosts) {
    for (const Text& profile : {FromWide((CorpusFolder() / "absent.ini").c_str()), Text()})
        for (const Text& host : ReadRedirectHosts(profile))
            EXPECT_TRUE(host.empty());
}

TEST(ProfilePath, IsBesideTheExecutable) {
    EXPECT_EQ(ProfilePathBeside(u"C:\\Program Files\\tarn\\tarnftp.exe"),
              u"C:\\Program Files\\tarn\\tarnftp.ini");
    // No folder, no profile: never the root of the current drive.
    EXPECT_EQ(ProfilePathBeside(u"tarnftp.exe"), u"");
    EXPECT_EQ(ProfilePathBeside(u""), u"");
}
