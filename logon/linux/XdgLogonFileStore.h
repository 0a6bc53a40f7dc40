#pragma once

#include "common/Clock.h"
#include "logon/LogonFileCodec.h"
#include "logon/LogonStore.h"

#include <cstddef>
#include <string>

// The program's folder for the saved logon file: tarngroupFTP in the user's configuration
// folder (common/linux/XdgConfigHome.h); empty when there is none.
std::string SettingsFolder();

// The saved logon file "settings.bin" in the program's folder, with the same bytes as the
// Windows edition writes. Nothing is reported: a folder or file that cannot be made, opened,
// read or written leaves the file as it was. With an empty folder path every operation does
// nothing. The clock, which seeds the filler, must outlive the store.
//
// settings.bin and its temporary file are only ever used as files in the folder: a symbolic
// link or anything else in their place is never followed, read or written through, so a
// planted link cannot send the credentials elsewhere. The folder itself may be a link.
// A folder, or a settings.bin, that another user owns is neither read nor written: nothing is
// restored from it and nothing saved or forgotten in it.
class XdgLogonFileStore final : public LogonStore {
public:
    XdgLogonFileStore(const Clock& clock, std::string folderPath);

    // Creates the folder and, when it is missing, its parent (the user's configuration folder),
    // each with mode 0700; nothing further up, so a home folder that does not exist is never
    // made. A folder of that name that exists, is the user's own and is open to others is
    // narrowed to 0700: the saved file's name and times are nobody else's business, and nobody
    // else may replace it.
    void EnsureFolder() override;

    // Writes the whole file, mode 0600, to a temporary file in the same folder, flushes it to
    // the disk and renames it over settings.bin, so a failed or interrupted save (a full disk)
    // leaves the previous file whole. Credentials holding U+0100 cannot be stored and are
    // forgotten instead.
    void SaveLogonInfo(const Text& user, const SecretText& password) override;

    // Zeroes the marker, then the credentials behind it, in place (logon/LogonFileCodec.h);
    // the file keeps its length, and a missing one stays missing. A temporary file left by an
    // interrupted save is removed.
    void ForgetLogonInfo() override;

    // The credentials of an armed file, else two empty texts. A file longer than
    // maxFileBytes is not read to its end and restores nothing.
    LogonInfo LoadLogonInfo() const;
    static constexpr std::size_t maxFileBytes = 1024 * 1024;

    const std::string& FolderPath() const { return folderPath; }
    const std::string& FilePath() const { return filePath; }
    const std::string& TemporaryPath() const { return temporaryPath; }

private:
    const Clock& clock;
    std::string folderPath;
    std::string filePath;
    std::string temporaryPath;
};
