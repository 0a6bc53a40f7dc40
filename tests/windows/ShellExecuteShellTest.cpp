#include "app/win/ShellExecuteShell.h"
#include "app/LaunchTargets.h"
#include "framework/win/WideText.h"

#include "framework/win/Handles.h"

#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

Text BesideThisProgram(const Text& name) {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    Text folder(reinterpret_cast<const char16_t*>(path), length);
    return folder.substr(0, folder.rfind(u'\\') + 1) + name;
}

Text TemporaryPath(const Text& name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return reinterpret_cast<const char16_t*>(folder) + name;
}

// The recorder's log: the command line it was started with, then its arguments as the
// system splits them. Waits for the log, since the shell does not wait for the program.
std::optional<std::vector<Text>> WaitForRecord(const Text& logPath) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (UniqueFile file{_wfopen(Wide(logPath), L"rb")}) {
            std::vector<Text> record(1);
            wchar_t unit;
            while (std::fread(&unit, sizeof unit, 1, file.get()) == 1) {
                if (unit == 0)
                    record.emplace_back();
                else
                    record.back() += static_cast<char16_t>(unit);
            }
            record.pop_back();
            return record;
        }
        Sleep(50);
    }
    return std::nullopt;
}

class ShellExecuteShellTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(GetFileAttributesW(Wide(recorder)), INVALID_FILE_ATTRIBUTES);
        DeleteFileW(Wide(logPath));
        ASSERT_TRUE(SetEnvironmentVariableW(L"TARN_SHELL_RECORDER_LOG", Wide(logPath)));
    }
    void TearDown() override {
        DeleteFileW(Wide(logPath));
        SetEnvironmentVariableW(L"TARN_SHELL_RECORDER_LOG", nullptr);
    }

    Text recorder = BesideThisProgram(u"shell_recorder.exe");
    Text logPath = TemporaryPath(u"tarn-shell-recorder-" +
                                 Widen(std::to_string(GetCurrentProcessId())) + u".log");
};

} // namespace

TEST_F(ShellExecuteShellTest, TheProgramReceivesTheFtpLocationAsOneExactArgument) {
    struct Case {
        Text user;
        Text password;
    };
    const Case cases[] = {
        {u"john", u""},
        {u"john\\john's share", u"two  blanks "},
        {u"quote\"d", u"back\\\\slash\\\"end\\"},
        {u"caf\u00E9 \u4E2D", u"\U0001F600:@/?#%"},
    };
    ShellExecuteShell shell;
    for (const Case& test : cases) {
        const SecretText location =
            FtpLocation(test.user, test.password, u"http://web.example:8080/app");
        DeleteFileW(Wide(logPath));
        shell.Open(0, SecretText(recorder), location);
        auto record = WaitForRecord(logPath);
        ASSERT_TRUE(record) << ToUtf8(location);
        ASSERT_EQ(record->size(), 3u) << ToUtf8(record->at(0));
        EXPECT_EQ(record->at(2), location);
    }
}

TEST_F(ShellExecuteShellTest, AProgramWithoutParametersGetsNoArgument) {
    ShellExecuteShell shell;
    shell.Open(0, SecretText(recorder), std::nullopt);
    auto record = WaitForRecord(logPath);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size(), 2u) << ToUtf8(record->at(0));
}

TEST(WindowsExplorer, IsTheExplorerInTheSystemsWindowsFolder) {
    wchar_t folder[MAX_PATH];
    UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    ASSERT_GT(length, 0u);
    const std::wstring expected = std::wstring(folder) + L"\\explorer.exe";
    const Text explorer = WindowsExplorer().FileManagerPath();
    EXPECT_EQ(CompareStringOrdinal(Wide(explorer), -1, expected.c_str(), -1, TRUE), CSTR_EQUAL);
    EXPECT_NE(GetFileAttributesW(Wide(explorer)), INVALID_FILE_ATTRIBUTES);
}
