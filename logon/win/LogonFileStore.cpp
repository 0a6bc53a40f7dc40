#include "logon/win/LogonFileStore.h"
#include "framework/win/WideText.h"

#include "framework/win/Handles.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

bool WriteWholeFile(const Text& path, const SecretBytes& bytes) {
    UniqueFile file(_wfopen(Wide(path), L"wb"));
    if (!file)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    written = std::fflush(file.get()) == 0 && written;
    // The close can fail too (a full disk shows only then), so it is checked, not left to reset.
    return std::fclose(file.release()) == 0 && written;
}

// The whole file, or nothing when it is longer than limit bytes; no more than limit + 1
// bytes of it are read either way.
SecretBytes ReadWholeFile(const Text& path, std::size_t limit) {
    SecretBytes bytes;
    UniqueFile file(_wfopen(Wide(path), L"rb"));
    if (!file)
        return bytes;
    std::uint8_t chunk[4096];
    std::size_t got;
    while (bytes.size() <= limit &&
           (got = std::fread(chunk, 1, std::min(sizeof chunk, limit + 1 - bytes.size()),
                             file.get())) > 0)
        bytes.append({chunk, got});
    WipeMemory(chunk, sizeof chunk);
    if (bytes.size() > limit)
        bytes.clear();
    return bytes;
}

} // namespace

bool CreateDirectoryPath(const Text& path) {
    std::size_t lastBackslash = path.rfind(u'\\');
    if (lastBackslash == Text::npos || path == u"\\" || path == u"\\\\")
        return false;
    CreateDirectoryPath(path.substr(0, lastBackslash));
    DWORD attributes = GetFileAttributesW(Wide(path));
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return CreateDirectoryW(Wide(path), nullptr) != FALSE;
    return false;
}

Text GetApplicationDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, TRUE))
        return {};
    return FromWide(folder);
}

LogonFileStore::LogonFileStore(const Clock& clock, Text applicationDataFolder) : clock(clock) {
    if (applicationDataFolder.empty())
        return;
    folderPath = applicationDataFolder + u"\\tarngroupFTP";
    filePath = folderPath + u"\\settings.bin";
    temporaryPath = folderPath + u"\\settings.tmp";
}

void LogonFileStore::EnsureFolder() {
    if (!folderPath.empty())
        CreateDirectoryPath(folderPath);
}

void LogonFileStore::SaveLogonInfo(const Text& user, const SecretText& password) {
    if (filePath.empty())
        return;
    if (!CanStoreInLogonFile(user) || !CanStoreInLogonFile(password)) {
        ForgetLogonInfo();
        return;
    }
    const SecretBytes contents = EncodeLogonFile(user, password, clock.SecondsSince1970());
    if (!WriteWholeFile(temporaryPath, contents) ||
        !MoveFileExW(Wide(temporaryPath), Wide(filePath),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(Wide(temporaryPath));
    }
}

void LogonFileStore::ForgetLogonInfo() {
    if (filePath.empty())
        return;
    // The temporary file of an interrupted save may hold coded credentials too.
    DeleteFileW(Wide(temporaryPath));
    UniqueFile file(_wfopen(Wide(filePath), L"r+b"));
    if (!file)
        return;
    // A file too short to hold a marker is not armed; writing one would only lengthen it.
    if (std::fseek(file.get(), 0, SEEK_END) != 0 ||
        std::ftell(file.get()) < static_cast<long>(logonFileMarkerOffset + 2) ||
        std::fseek(file.get(), static_cast<long>(logonFileMarkerOffset), SEEK_SET) != 0)
        return;
    const std::uint8_t forgotten[2] = {logonFileForgotten & 0xFF, logonFileForgotten >> 8};
    std::fwrite(forgotten, 1, sizeof forgotten, file.get());
}

LogonInfo LogonFileStore::LoadLogonInfo() const {
    if (filePath.empty())
        return {};
    return DecodeLogonFile(ReadWholeFile(filePath, maxFileBytes)).value_or(LogonInfo{});
}
