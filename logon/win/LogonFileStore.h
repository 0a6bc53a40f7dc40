#pragma once

#include "common/Clock.h"
#include "common/Text.h"
#include "logon/SavedLogonStore.h"

// Creates the folder path, parents first, and returns true when it created its last folder.
// A path without a backslash (a drive, a bare name) and the paths "\" and "\\" are left alone;
// a trailing backslash is harmless; a file in the way makes the creation fail quietly.
bool CreateDirectoryPath(const Text& path);

// The per-user application-data folder; empty when the system names none.
Text GetApplicationDataFolder();

// The saved logon file "tarngroupFTP\settings.bin" under an application-data folder, its rules
// those of SavedLogonStore. With an empty application-data folder every operation does nothing.
class LogonFileStore final : public SavedLogonStore {
public:
    LogonFileStore(const Clock& clock, Text applicationDataFolder);

    // The program's folder under the application-data folder.
    void EnsureFolder() override;

    const Text& FolderPath() const { return folderPath; }
    const Text& FilePath() const { return filePath; }

private:
    SecretBytes ReadBytes() const override;
    void ReplaceBytes(const SecretBytes& contents) override;
    void ZeroInPlace(WipeRanges wipes) override;

    Text folderPath;
    Text filePath;
    Text temporaryPath;
};
