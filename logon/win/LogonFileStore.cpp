#include "logon/win/LogonFileStore.h"
#include "framework/win/WideText.h"

#include "framework/win/Handles.h"

#include <windows.h>

#include <io.h>
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

// Overwrites range of the file with zeros in place and flushes it to the disk.
bool WipeRange(std::FILE* file, LogonFileRange range) {
    const std::uint8_t zeros[512] = {};
    if (std::fseek(file, static_cast<long>(range.offset), SEEK_SET) != 0)
        return false;
    while (range.length > 0) {
        const std::size_t chunk = std::min<std::uint64_t>(range.length, sizeof zeros);
        if (std::fwrite(zeros, 1, chunk, file) != chunk)
            return false;
        range.length -= chunk;
    }
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
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

LogonFileStore::LogonFileStore(const Clock& clock, Text applicationDataFolder)
    : SavedLogonStore(clock) {
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

void LogonFileStore::ReplaceBytes(const SecretBytes& contents) {
    if (filePath.empty())
        return;
    if (!WriteWholeFile(temporaryPath, contents) ||
        !MoveFileExW(Wide(temporaryPath), Wide(filePath),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(Wide(temporaryPath));
    }
}

void LogonFileStore::ZeroInPlace(WipeRanges wipes) {
    if (filePath.empty())
        return;
    DeleteFileW(Wide(temporaryPath));
    UniqueFile file(_wfopen(Wide(filePath), L"r+b"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return;
    const long size = std::ftell(file.get());
    if (size < 0)
        return;
    for (const LogonFileRange& range : wipes(static_cast<std::uint64_t>(size)))
        if (range.length > 0 && !WipeRange(file.get(), range))
            return;
}

SecretBytes LogonFileStore::ReadBytes() const {
    return filePath.empty() ? SecretBytes() : ReadWholeFile(filePath, maxFileBytes);
}
