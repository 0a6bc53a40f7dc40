#include "logon/win/LogonFileStore.h"
#include "framework/win/WideText.h"

#include "framework/win/Handles.h"
#include "tests/corpus/SettingsCorpus.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

bool Exists(const Text& path) {
    return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const Text& path) {
    DWORD attributes = GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Bytes Encoded(TextView user, TextView password, std::uint32_t seed) {
    const SecretBytes bytes = EncodeLogonFile(user, password, seed);
    return Bytes(bytes.data(), bytes.data() + bytes.size());
}

std::optional<Bytes> ReadFile(const Text& path) {
    UniqueFile file(_wfopen(Wide(path), L"rb"));
    if (!file)
        return std::nullopt;
    Bytes bytes;
    int c;
    while ((c = std::fgetc(file.get())) != EOF)
        bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

void WriteFile(const Text& path, const Bytes& bytes) {
    UniqueFile file(_wfopen(Wide(path), L"wb"));
    ASSERT_TRUE(file);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file.get()), bytes.size());
}

// The build copies the saved-file corpus into the folder of this executable.
Text SettingsCorpusFile(TextView name) {
    wchar_t program[MAX_PATH];
    const Text path = FromWide(program, GetModuleFileNameW(nullptr, program, MAX_PATH));
    return path.substr(0, path.rfind(u'\\') + 1) + u"settings-corpus\\" + Text(name);
}

class FixedClock final : public Clock {
public:
    std::uint32_t SecondsSince1970() const override { return seconds; }
    std::uint32_t seconds = 1700000000;
};

// Works on the real file in the user's application-data folder, and puts back what it found.
class LogonFileStoreTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(appData.empty());
        folderExisted = IsFolder(store.FolderPath());
        original = ReadFile(store.FilePath());
    }

    void TearDown() override {
        RemoveDirectoryW(Wide(store.FolderPath() + u"\\settings.tmp"));
        DeleteFileW(Wide(store.FolderPath() + u"\\settings.tmp"));
        DeleteFileW(Wide(store.FilePath()));
        if (original)
            WriteFile(store.FilePath(), *original);
        if (!folderExisted)
            RemoveDirectoryW(Wide(store.FolderPath()));
    }

    Text appData = GetApplicationDataFolder();
    FixedClock clock;
    LogonFileStore store{clock, appData};
    bool folderExisted = false;
    std::optional<Bytes> original;
};

} // namespace

TEST_F(LogonFileStoreTest, LivesInTheProgramsFolderUnderApplicationData) {
    EXPECT_EQ(store.FilePath(), appData + u"\\tarngroupFTP\\settings.bin");
    store.EnsureFolder();
    EXPECT_TRUE(IsFolder(appData + u"\\tarngroupFTP"));
}

TEST_F(LogonFileStoreTest, SavesTheCodedBytesAndReadsThemBack) {
    store.EnsureFolder();
    for (const SavedLogonCase& test : savedLogonCases) {
        clock.seconds += 1;
        store.SaveLogonInfo(test.user, SecretText(test.password));
        EXPECT_EQ(ReadFile(store.FilePath()), Encoded(test.user, test.password, clock.seconds))
            << test.what;
        LogonInfo restored = store.LoadLogonInfo();
        EXPECT_EQ(restored.user, test.user) << test.what;
        EXPECT_EQ(restored.password, test.password) << test.what;
        EXPECT_FALSE(Exists(store.FolderPath() + u"\\settings.tmp")) << test.what;
    }
    store.SaveLogonInfo(u"ab", u"c");
    EXPECT_EQ(ReadFile(store.FilePath())->size(), 412u);
}

TEST_F(LogonFileStoreTest, ForgetZeroesEverythingBehindTheFillerInPlace) {
    store.EnsureFolder();
    store.SaveLogonInfo(u"john", u"secret");
    Bytes saved = *ReadFile(store.FilePath());
    store.ForgetLogonInfo();
    Bytes forgotten(saved.begin(), saved.begin() + 400);
    forgotten.resize(saved.size(), 0);
    EXPECT_EQ(ReadFile(store.FilePath()), forgotten);
    LogonInfo restored = store.LoadLogonInfo();
    EXPECT_TRUE(restored.user.empty());
    EXPECT_TRUE(restored.password.empty());
}

TEST_F(LogonFileStoreTest, ForgetCreatesNothingAndRemovesALeftoverTemporaryFile) {
    store.EnsureFolder();
    DeleteFileW(Wide(store.FilePath()));
    const Text temporary = store.FolderPath() + u"\\settings.tmp";
    WriteFile(temporary, Encoded(u"john", u"secret", clock.seconds));
    store.ForgetLogonInfo();
    EXPECT_FALSE(Exists(store.FilePath()));
    EXPECT_FALSE(Exists(temporary));

    Bytes shortFile(100, 0x55);
    WriteFile(store.FilePath(), shortFile);
    store.ForgetLogonInfo();
    EXPECT_EQ(ReadFile(store.FilePath()), shortFile);
}

TEST_F(LogonFileStoreTest, AFileOverTheSizeLimitRestoresNothing) {
    store.EnsureFolder();
    for (std::size_t size : {LogonFileStore::maxFileBytes, LogonFileStore::maxFileBytes + 1}) {
        Bytes padded = Encoded(u"john", u"pw", clock.seconds);
        padded.resize(size, 0x55);
        WriteFile(store.FilePath(), padded);
        EXPECT_EQ(store.LoadLogonInfo().user, size <= LogonFileStore::maxFileBytes ? u"john" : u"")
            << size;
    }
}

TEST_F(LogonFileStoreTest, CredentialsWithU0100AreForgottenNotStored) {
    store.EnsureFolder();
    DeleteFileW(Wide(store.FilePath()));
    store.SaveLogonInfo(u"x\u0100y", u"pw");
    EXPECT_FALSE(Exists(store.FilePath()));

    store.SaveLogonInfo(u"john", u"pw");
    store.SaveLogonInfo(u"john", u"p\u0100w");
    Bytes expected = Encoded(u"john", u"pw", clock.seconds);
    std::fill(expected.begin() + 400, expected.end(), 0);
    EXPECT_EQ(ReadFile(store.FilePath()), expected);
    EXPECT_TRUE(store.LoadLogonInfo().user.empty());
}

TEST_F(LogonFileStoreTest, AFailedSaveLeavesThePreviousFileWhole) {
    store.EnsureFolder();
    store.SaveLogonInfo(u"john", u"pw");
    Bytes before = *ReadFile(store.FilePath());
    // A folder where the temporary file belongs makes the save fail before the file is touched.
    ASSERT_TRUE(CreateDirectoryW(Wide(store.FolderPath() + u"\\settings.tmp"), nullptr));
    clock.seconds += 10;
    store.SaveLogonInfo(u"someone else", u"other");
    EXPECT_EQ(ReadFile(store.FilePath()), before);
    EXPECT_EQ(store.LoadLogonInfo().user, u"john");
}

TEST_F(LogonFileStoreTest, WithoutTheFolderNothingIsWrittenOrRestored) {
    if (folderExisted)
        GTEST_SKIP() << "the program's folder exists already";
    store.SaveLogonInfo(u"john", u"pw");
    EXPECT_FALSE(Exists(store.FolderPath()));
    EXPECT_TRUE(store.LoadLogonInfo().user.empty());

    LogonFileStore nowhere(clock, u"");
    nowhere.EnsureFolder();
    nowhere.SaveLogonInfo(u"john", u"pw");
    nowhere.ForgetLogonInfo();
    EXPECT_TRUE(nowhere.LoadLogonInfo().user.empty());
}

TEST_F(LogonFileStoreTest, ReadsTheLinuxEditionsFileAndWritesTheSameBytes) {
    const std::optional<Bytes> linuxSaved = ReadFile(SettingsCorpusFile(u"linux-saved.bin"));
    ASSERT_TRUE(linuxSaved) << "no settings-corpus beside the test program";
    store.EnsureFolder();
    WriteFile(store.FilePath(), *linuxSaved);
    LogonInfo restored = store.LoadLogonInfo();
    EXPECT_EQ(restored.user, corpusUser);
    EXPECT_EQ(restored.password, corpusPassword);

    clock.seconds = linuxSavedSeed;
    store.SaveLogonInfo(corpusUser, SecretText(corpusPassword));
    EXPECT_EQ(ReadFile(store.FilePath()), linuxSaved);
    clock.seconds = windowsSavedSeed;
    store.SaveLogonInfo(corpusUser, SecretText(corpusPassword));
    EXPECT_EQ(ReadFile(store.FilePath()), ReadFile(SettingsCorpusFile(u"windows-saved.bin")));
}

TEST(CreateDirectoryPath, CreatesParentsFirstAndFailsQuietly) {
    wchar_t tempFolder[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, tempFolder), 0u);
    Text base = reinterpret_cast<const char16_t*>(tempFolder);
    base += u"tarn-cdp-" + Widen(std::to_string(GetCurrentProcessId()));
    ASSERT_FALSE(Exists(base));

    EXPECT_TRUE(CreateDirectoryPath(base + u"\\a\\b\\c"));
    EXPECT_TRUE(IsFolder(base + u"\\a\\b\\c"));
    EXPECT_FALSE(CreateDirectoryPath(base + u"\\a\\b\\c"));

    EXPECT_FALSE(CreateDirectoryPath(base + u"\\t\\"));
    EXPECT_TRUE(IsFolder(base + u"\\t"));

    WriteFile(base + u"\\file", {1, 2, 3});
    EXPECT_FALSE(CreateDirectoryPath(base + u"\\file"));
    EXPECT_FALSE(CreateDirectoryPath(base + u"\\file\\below"));
    EXPECT_FALSE(IsFolder(base + u"\\file"));
    EXPECT_FALSE(Exists(base + u"\\file\\below"));

    for (const char16_t* leftAlone : {u"\\", u"\\\\", u"C:", u"tarn-no-backslash"})
        EXPECT_FALSE(CreateDirectoryPath(leftAlone)) << ToUtf8(leftAlone);
    EXPECT_FALSE(Exists(u"tarn-no-backslash"));

    DeleteFileW(Wide(base + u"\\file"));
    for (const char16_t* folder : {u"\\a\\b\\c", u"\\a\\b", u"\\a", u"\\t", u""})
        EXPECT_TRUE(RemoveDirectoryW(Wide(base + folder))) << ToUtf8(folder);
}
