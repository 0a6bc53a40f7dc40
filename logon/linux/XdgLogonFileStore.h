#pragma once

#include "common/Clock.h"
#include "logon/SavedLogonStore.h"

#include <string>

// The program's folder for the saved logon file: tarngroupFTP in the user's configuration
// folder (common/linux/XdgConfigHome.h); empty when there is none.
std::string SettingsFolder();

// The saved logon file "settings.bin" in the program's folder, with the same bytes and rules
// as the Windows edition's (SavedLogonStore). With an empty folder path every operation does
// nothing.
//
// settings.bin and its temporary file are only ever used as files in the folder: a symbolic
// link or anything else in their place is never followed, read or written through, so a
// planted link cannot send the credentials elsewhere. The folder itself may be a link.
// A folder, or a settings.bin, that another user owns is neither read nor written: nothing is
// restored from it and nothing saved or forgotten in it.
class XdgLogonFileStore final : public SavedLogonStore {
public:
    XdgLogonFileStore(const Clock& clock, std::string folderPath);

    // Creates the folder and, when it is missing, its parent (the user's configuration folder),
    // each with mode 0700; nothing further up, so a home folder that does not exist is never
    // made. A folder of that name that exists, is the user's own and is open to others is
    // narrowed to 0700: the saved file's name and times are nobody else's business, and nobody
    // else may replace it.
    void EnsureFolder() override;

    const std::string& FolderPath() const { return folderPath; }
    const std::string& FilePath() const { return filePath; }
    const std::string& TemporaryPath() const { return temporaryPath; }

private:
    SecretBytes ReadBytes() const override;
    // Mode 0600, flushed to the disk before it is renamed over settings.bin.
    void ReplaceBytes(const SecretBytes& contents) override;
    void ZeroInPlace(WipeRanges wipes) override;

    std::string folderPath;
    std::string filePath;
    std::string temporaryPath;
};
