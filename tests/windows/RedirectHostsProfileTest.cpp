#include "app/win/RedirectHostsProfile.h"
#include "framework/win/WideText.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

class RedirectHostsProfile : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        path = FromWide(folder) + u"tarnftp-profile-test.ini";
    }
    void TearDown() override { DeleteFileW(Wide(path)); }

    void Write(const std::string& bytes) {
        FILE* file = _wfopen(Wide(path), L"wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    Text path;
};

} // namespace

TEST_F(RedirectHostsProfile, ReadsHostsWithTheProfileRules) {
    Write("[redirecthosts]\r\n"
          "host1 =   first.example  \r\n"
          "HOST3=\"third.example:8080/x\"\r\n"
          "[Other]\r\nHost2=not-this-one\r\n");
    RedirectHosts hosts = ReadRedirectHosts(path);
    EXPECT_EQ(hosts[0], u"first.example");
    EXPECT_EQ(hosts[1], u"") << "a missing Host2 stays empty; the list is not compacted";
    EXPECT_EQ(hosts[2], u"third.example:8080/x");
}

TEST_F(RedirectHostsProfile, SingleQuotesAreDroppedAndInnerBlanksKept) {
    Write("[RedirectHosts]\nHost1='a b'\nHost2= ' spaced ' \nHost3=\"unmatched\n");
    RedirectHosts hosts = ReadRedirectHosts(path);
    EXPECT_EQ(hosts[0], u"a b");
    EXPECT_EQ(hosts[1], u" spaced ");
    EXPECT_EQ(hosts[2], u"\"unmatched");
}

TEST_F(RedirectHostsProfile, NoFileOrNoPathGivesEmptyHosts) {
    for (const Text& profile : {path + u".absent", Text()})
        for (const Text& host : ReadRedirectHosts(profile))
            EXPECT_TRUE(host.empty());
}

TEST_F(RedirectHostsProfile, LongValuesAreCutToTheBuffer) {
    Write("[RedirectHosts]\nHost1=" + std::string(5000, 'h') + "\nHost2=b\n");
    RedirectHosts hosts = ReadRedirectHosts(path);
    EXPECT_EQ(hosts[0], Text(4095, u'h'));
    EXPECT_EQ(hosts[1], u"b");
}

TEST(ProfilePath, IsBesideTheExecutable) {
    EXPECT_EQ(ProfilePathBeside(u"C:\\Program Files\\tarn\\tarnftp.exe"),
              u"C:\\Program Files\\tarn\\tarnftp.ini");
    // No folder, no profile: never the root of the current drive.
    EXPECT_EQ(ProfilePathBeside(u"tarnftp.exe"), u"");
    EXPECT_EQ(ProfilePathBeside(u""), u"");
}
