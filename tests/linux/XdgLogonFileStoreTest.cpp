#include "logon/linux/XdgLogonFileStore.h"
#include "common/linux/XdgConfigHome.h"
#include "tests/corpus/SettingsCorpus.h"
#include "tests/linux/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Encoded(TextView user, TextView password, std::uint32_t seed) {
    const SecretBytes bytes = EncodeLogonFile(user, password, seed);
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

mode_t Mode(const std::string& path) {
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 01000000;
}

bool Exists(const std::string& path) {
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

class FixedClock final : public Clock {
public:
    std::uint32_t SecondsSince1970() const override { return seconds; }
    std::uint32_t seconds = 1700000000;
};

// The program's folder two levels below a fresh temporary folder, so that parents are made.
class XdgLogonFileStoreTest : public testing::Test {
protected:
    void TearDown() override { ::umask(savedUmask); }

    TemporaryFolder temporary;
    FixedClock clock;
    XdgLogonFileStore store{clock, temporary / "config/tarngroupFTP"};
    mode_t savedUmask = ::umask(022);
};

} // namespace

TEST(XdgConfigHome, FollowsTheXdgRules) {
    EXPECT_EQ(ConfigHomeFrom("/x/conf", "/home/u"), "/x/conf");
    EXPECT_EQ(ConfigHomeFrom(nullptr, "/home/u"), "/home/u/.config");
    EXPECT_EQ(ConfigHomeFrom("", "/home/u"), "/home/u/.config");
    EXPECT_EQ(ConfigHomeFrom("relative/conf", "/home/u"), "/home/u/.config");
    EXPECT_EQ(ConfigHomeFrom(nullptr, "relative"), "");
    EXPECT_EQ(ConfigHomeFrom(nullptr, nullptr), "");

    // Without an absolute HOME: the account's home from the password database.
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/";
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", "relative", 1);
    EXPECT_EQ(ConfigHome(), std::string(::getpwuid(::geteuid())->pw_dir) + "/.config");
    ::setenv("HOME", home.c_str(), 1);
}

TEST_F(XdgLogonFileStoreTest, SavesPrivatelyReadsBackAndForgetsInPlace) {
    // Under 0277 the created folders would lose their owner's rights unless the store sets
    // them; under umask 0 nothing narrows the modes the store asks for.
    ::umask(0277);
    store.EnsureFolder();
    EXPECT_EQ(Mode(temporary / "config"), 0700u);
    EXPECT_EQ(Mode(store.FolderPath()), 0700u);
    ::umask(0);
    for (const SavedLogonCase& test : savedLogonCases) {
        clock.seconds += 1;
        store.SaveLogonInfo(test.user, SecretText(test.password));
        EXPECT_EQ(ReadFile(store.FilePath()), Encoded(test.user, test.password, clock.seconds))
            << test.what;
        EXPECT_EQ(Mode(store.FilePath()), 0600u) << test.what;
        LogonInfo restored = store.LoadLogonInfo();
        EXPECT_EQ(restored.user, test.user) << test.what;
        EXPECT_EQ(restored.password, test.password) << test.what;
        EXPECT_FALSE(Exists(store.TemporaryPath())) << test.what;
    }

    // Everything behind the filler is zeroed in place; the length stays.
    std::string forgotten = *ReadFile(store.FilePath());
    std::fill(forgotten.begin() + 400, forgotten.end(), '\0');
    store.ForgetLogonInfo();
    EXPECT_EQ(ReadFile(store.FilePath()), forgotten);
    EXPECT_TRUE(store.LoadLogonInfo().user.empty());

    // A missing file stays missing, and a temporary one left behind goes.
    ASSERT_EQ(::unlink(store.FilePath().c_str()), 0);
    WriteFile(store.TemporaryPath(), Encoded(u"john", u"secret", clock.seconds));
    store.ForgetLogonInfo();
    EXPECT_FALSE(Exists(store.FilePath()));
    EXPECT_FALSE(Exists(store.TemporaryPath()));

    // U+0100 cannot be stored: the credentials are forgotten instead.
    store.SaveLogonInfo(u"x\u0100y", u"pw");
    EXPECT_FALSE(Exists(store.FilePath()));
    store.SaveLogonInfo(u"john", u"pw");
    store.SaveLogonInfo(u"john", u"p\u0100w");
    std::string disarmed = Encoded(u"john", u"pw", clock.seconds);
    std::fill(disarmed.begin() + 400, disarmed.end(), '\0');
    EXPECT_EQ(ReadFile(store.FilePath()), disarmed);
}

TEST_F(XdgLogonFileStoreTest, NarrowsAnExistingFolderOfItsOwn) {
    ASSERT_EQ(::mkdir((temporary / "config").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(store.FolderPath().c_str(), 0775), 0);
    store.EnsureFolder();
    EXPECT_EQ(Mode(store.FolderPath()), 0700u);
    EXPECT_EQ(Mode(temporary / "config"), 0755u) << "the user's own folders are left alone";

    // A home folder that does not exist is not made up.
    XdgLogonFileStore homeless(clock, temporary / "gone/home/.config/tarngroupFTP");
    homeless.EnsureFolder();
    EXPECT_FALSE(Exists(temporary / "gone"));
}

// Root, which runs the tests, stands in for the user; 12345 is another user.
TEST_F(XdgLogonFileStoreTest, LeavesAnotherUsersFolderAlone) {
    store.EnsureFolder();
    store.SaveLogonInfo(u"john", u"pw");
    const std::string before = *ReadFile(store.FilePath());
    ASSERT_EQ(::chmod(store.FolderPath().c_str(), 0777), 0);
    if (::chown(store.FolderPath().c_str(), 12345, 12345) != 0)
        GTEST_SKIP() << "changing a folder's owner needs root";
    EXPECT_TRUE(store.LoadLogonInfo().user.empty());
    store.SaveLogonInfo(u"jane", u"pw");
    EXPECT_EQ(ReadFile(store.FilePath()), before);
}

TEST_F(XdgLogonFileStoreTest, AFailedSaveLeavesThePreviousFileWhole) {
    store.EnsureFolder();
    store.SaveLogonInfo(u"john", u"pw");
    const std::string before = *ReadFile(store.FilePath());
    clock.seconds += 10;

    // The disk fills up while the temporary file is written: the write stops after 100 bytes.
    struct sigaction ignore = {}, previous;
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    rlimit limit, small = {100, 100};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    small.rlim_max = limit.rlim_max;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    store.SaveLogonInfo(u"someone else", u"other");
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_EQ(ReadFile(store.FilePath()), before);
    EXPECT_FALSE(Exists(store.TemporaryPath()));

    // A folder where the temporary file belongs.
    ASSERT_EQ(::mkdir(store.TemporaryPath().c_str(), 0700), 0);
    store.SaveLogonInfo(u"someone else", u"other");
    EXPECT_EQ(ReadFile(store.FilePath()), before);
    EXPECT_EQ(store.LoadLogonInfo().user, u"john");
    ASSERT_EQ(::rmdir(store.TemporaryPath().c_str()), 0);

    // A folder where the file belongs: nothing is written, nothing restored, nothing left.
    ASSERT_EQ(::unlink(store.FilePath().c_str()), 0);
    ASSERT_EQ(::mkdir(store.FilePath().c_str(), 0700), 0);
    store.SaveLogonInfo(u"john", u"pw");
    store.ForgetLogonInfo();
    EXPECT_TRUE(store.LoadLogonInfo().user.empty());
    EXPECT_EQ(Mode(store.FilePath()) & S_IFMT, 0u);
    EXPECT_FALSE(Exists(store.TemporaryPath()));
}

TEST_F(XdgLogonFileStoreTest, NeverFollowsALinkOrReadsAnOddFile) {
    store.EnsureFolder();
    const std::string victim = temporary / "victim";
    const std::string victimBytes = Encoded(u"victim", u"pw", 1);
    WriteFile(victim, victimBytes);

    // A link at the file's name: not read, not written in place, replaced by the save.
    ASSERT_EQ(::symlink(victim.c_str(), store.FilePath().c_str()), 0);
    EXPECT_TRUE(store.LoadLogonInfo().user.empty());
    store.ForgetLogonInfo();
    store.SaveLogonInfo(u"john", u"pw");
    EXPECT_EQ(ReadFile(victim), victimBytes);
    EXPECT_EQ(Mode(store.FilePath()), 0600u);
    EXPECT_EQ(store.LoadLogonInfo().user, u"john");

    // A link at the temporary name: removed, never written through.
    ASSERT_EQ(::symlink(victim.c_str(), store.TemporaryPath().c_str()), 0);
    store.SaveLogonInfo(u"jane", u"pw");
    EXPECT_EQ(ReadFile(victim), victimBytes);
    EXPECT_EQ(store.LoadLogonInfo().user, u"jane");

    // A FIFO at the file's name would block an ordinary open.
    ASSERT_EQ(::unlink(store.FilePath().c_str()), 0);
    ASSERT_EQ(::mkfifo(store.FilePath().c_str(), 0600), 0);
    EXPECT_TRUE(store.LoadLogonInfo().user.empty());
    store.ForgetLogonInfo();

    // An armed file too long to read whole.
    ASSERT_EQ(::unlink(store.FilePath().c_str()), 0);
    std::string padded = Encoded(u"john", u"pw", clock.seconds);
    padded.resize(XdgLogonFileStore::maxFileBytes + 1, '\x55');
    WriteFile(store.FilePath(), padded);
    EXPECT_TRUE(store.LoadLogonInfo().user.empty());
}

TEST_F(XdgLogonFileStoreTest, WithoutAFolderNothingIsWrittenOrRestored) {
    store.SaveLogonInfo(u"john", u"pw");
    EXPECT_FALSE(Exists(store.FolderPath()));
    EXPECT_TRUE(store.LoadLogonInfo().user.empty());

    XdgLogonFileStore nowhere(clock, "");
    nowhere.EnsureFolder();
    nowhere.SaveLogonInfo(u"john", u"pw");
    nowhere.ForgetLogonInfo();
    EXPECT_TRUE(nowhere.LoadLogonInfo().user.empty());
}

TEST_F(XdgLogonFileStoreTest, ReadsTheWindowsEditionsFileAndWritesTheSameBytes) {
    const std::string windowsSaved = *ReadFile(TARN_SETTINGS_CORPUS "/windows-saved.bin");
    store.EnsureFolder();
    WriteFile(store.FilePath(), windowsSaved);
    LogonInfo restored = store.LoadLogonInfo();
    EXPECT_EQ(restored.user, corpusUser);
    EXPECT_EQ(restored.password, corpusPassword);

    clock.seconds = windowsSavedSeed;
    store.SaveLogonInfo(corpusUser, SecretText(corpusPassword));
    EXPECT_EQ(ReadFile(store.FilePath()), windowsSaved);
    clock.seconds = linuxSavedSeed;
    store.SaveLogonInfo(corpusUser, SecretText(corpusPassword));
    EXPECT_EQ(ReadFile(store.FilePath()), ReadFile(TARN_SETTINGS_CORPUS "/linux-saved.bin"));
}
