#include "app/ProfileReader.h"
#include "tests/corpus/IniCorpus.h"

#include <gtest/gtest.h>

#include <string>

namespace {

RedirectHosts Hosts(const std::array<std::string, 3>& utf8) {
    return {FromUtf8(utf8[0]), FromUtf8(utf8[1]), FromUtf8(utf8[2])};
}

} // namespace

// The same files and hosts as the Windows suite's test of the platform's own reader.
TEST(ProfileReader, ReadsTheCorpusAsThePlatformDoes) {
    const std::vector<IniCase> cases = ReadIniCorpus(TARN_INI_CORPUS);
    ASSERT_GE(cases.size(), 5u);
    for (const IniCase& row : cases) {
        const std::string bytes = ReadFileBytes(std::filesystem::path(TARN_INI_CORPUS) / row.file);
        EXPECT_EQ(RedirectHostsFromProfile(bytes), Hosts(row.hosts)) << row.file;
    }
}

// Files outside the ASCII corpus, where the platforms' readers may differ.
TEST(ProfileReader, ReadsUtf8AndOldLineEnds) {
    const struct {
        std::string bytes;
        std::array<std::string, 3> hosts;
    } rows[] = {
        {"\xEF\xBB\xBF[RedirectHosts]\nHost1=h\xC3\xB4te.example\n",
         {"h\xC3\xB4te.example", "", ""}},
        {"[RedirectHosts]\rHost1=a\rHost2=b", {"a", "b", ""}},
        // The first section of the name counts; a later one is not merged into it.
        {"[RedirectHosts]\nHost1=a\n[redirecthosts]\nHost1=b\nHost2=c\n", {"a", "", ""}},
        // Quotes are dropped before the value is cut, so no character of it is lost.
        {"[RedirectHosts]\nHost1=\"" + std::string(4095, 'q') + "\"\n",
         {std::string(4095, 'q'), "", ""}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(RedirectHostsFromProfile(row.bytes), Hosts(row.hosts)) << row.bytes.substr(0, 60);
}
