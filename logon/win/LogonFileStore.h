#pragma once

#include "common/Clock.h"
#include "common/Text.h"
#include "logon/LogonFileCodec.h"
#include "logon/LogonStore.h"

#include <cstddef>

// Creates the folder path, parents first, and returns true when it created its last folder.
// A path without a backslash (a drive, a bare name) and the paths "\" and "\\" are left alone;
// a trailing backslash is harmless; a file in the way makes the creation fail quietly.
bool CreateDirectoryPath(const Text& path);

// The per-user application-data folder; empty when the system names none.
Text GetApplicationDataFolder();

// The saved logon file "tarngroupFTP\settings.bin" under an application-data folder. Nothing
// is reported: a folder or file that cannot be made, opened, read or written leaves the file
// as it was. With an empty application-data folder every operation does nothing. The clock,
// which seeds the filler, must outlive the store.
class LogonFileStore final : public LogonStore {
public:
    LogonFileStore(const Clock& clock, Text applicationDataFolder);

    // The program's folder under the application-data folder.
    void EnsureFolder() override;

    // Writes the whole file through a temporary one in the same folder that then replaces
    // it, so an interrupted save never leaves a cut file. Credentials holding U+0100 cannot
    // be stored and are forgotten instead.
    void SaveLogonInfo(const Text& user, const SecretText& password) override;

    // Zeroes the marker, then the credentials behind it, in place (logon/LogonFileCodec.h);
    // the file keeps its length, and a missing one stays missing. A temporary file left by an
    // interrupted save is removed.
    void ForgetLogonInfo() override;

    // The credentials of an armed file, else two empty texts. A file longer than
    // maxFileBytes is not read to its end and restores nothing.
    LogonInfo LoadLogonInfo() const;
    static constexpr std::size_t maxFileBytes = 1024 * 1024;

    const Text& FolderPath() const { return folderPath; }
    const Text& FilePath() const { return filePath; }

private:
    const Clock& clock;
    Text folderPath;
    Text filePath;
    Text temporaryPath;
};
