#include "logon/linux/XdgLogonFileStore.h"

#include "common/linux/FileDescriptor.h"
#include "common/linux/Ownership.h"
#include "common/linux/XdgConfigHome.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <span>

namespace {

constexpr mode_t folderMode = S_IRWXU;         // 0700
constexpr mode_t fileMode = S_IRUSR | S_IWUSR; // 0600

// Creates the folder with exactly folderMode: a umask that took the owner's own rights away
// would leave a folder nothing can be made in. True when it was created here.
bool CreateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), folderMode) != 0)
        return false;
    ::chmod(path.c_str(), folderMode);
    return true;
}

// Creates the folder at path and, first, its parent when that is missing; true when the folder
// was created here. A failure to create the parent is passed over: the folder's creation tells.
bool CreateFolderAndParent(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0)
        CreateFolder(path.substr(0, slash));
    return CreateFolder(path);
}

// A new file at path holding bytes, mode 0600 whatever the umask, flushed to the disk. A link
// or file left at path is removed first (unlink removes a link, never what it points to),
// and the file is then created exclusively, so nothing already there is written through.
bool WriteNewFile(const std::string& path, const SecretBytes& bytes) {
    ::unlink(path.c_str());
    FileDescriptor file(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, fileMode));
    if (!file)
        return false;
    const bool written = ::fchmod(file.get(), fileMode) == 0 &&
                         WriteAll(file.get(), bytes.span()) && ::fsync(file.get()) == 0;
    return file.Close() && written;
}

// Overwrites range of the file with zeros in place and flushes it to the disk.
bool WipeRange(int fd, LogonFileRange range) {
    const std::uint8_t zeros[512] = {};
    while (range.length > 0) {
        const std::size_t chunk = range.length < sizeof zeros ? range.length : sizeof zeros;
        const ssize_t written = ::pwrite(fd, zeros, chunk, static_cast<off_t>(range.offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        range.offset += static_cast<std::uint64_t>(written);
        range.length -= static_cast<std::uint64_t>(written);
    }
    return ::fsync(fd) == 0;
}

// Makes a rename in the folder durable.
void SyncFolder(const std::string& path) {
    FileDescriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder)
        ::fsync(folder.get());
}

} // namespace

std::string SettingsFolder() {
    const std::string configHome = ConfigHome();
    return configHome.empty() ? std::string() : configHome + "/tarngroupFTP";
}

XdgLogonFileStore::XdgLogonFileStore(const Clock& clock, std::string folder)
    : SavedLogonStore(clock), folderPath(std::move(folder)) {
    if (folderPath.empty())
        return;
    filePath = folderPath + "/settings.bin";
    temporaryPath = folderPath + "/settings.tmp";
}

void XdgLogonFileStore::EnsureFolder() {
    if (folderPath.empty())
        return;
    if (CreateFolderAndParent(folderPath))
        return;
    // A folder that was there only loses the rights of others.
    FileDescriptor folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat status;
    if (folder && ::fstat(folder.get(), &status) == 0 && status.st_uid == ::geteuid() &&
        (status.st_mode & 077) != 0)
        ::fchmod(folder.get(), status.st_mode & 07700);
}

void XdgLogonFileStore::ReplaceBytes(const SecretBytes& contents) {
    if (filePath.empty() || !IsUsersOwnFolder(folderPath))
        return;
    if (!WriteNewFile(temporaryPath, contents) ||
        ::rename(temporaryPath.c_str(), filePath.c_str()) != 0) {
        ::unlink(temporaryPath.c_str());
        return;
    }
    SyncFolder(folderPath);
}

void XdgLogonFileStore::ZeroInPlace(WipeRanges wipes) {
    if (filePath.empty() || !IsUsersOwnFolder(folderPath))
        return;
    ::unlink(temporaryPath.c_str());
    FileDescriptor file(::open(filePath.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat status;
    if (!file || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        !IsUsersOwn(status))
        return;
    for (const LogonFileRange& range : wipes(static_cast<std::uint64_t>(status.st_size)))
        if (range.length > 0 && !WipeRange(file.get(), range))
            return;
}

SecretBytes XdgLogonFileStore::ReadBytes() const {
    if (filePath.empty() || !IsUsersOwnFolder(folderPath))
        return {};
    const FileDescriptor file = OpenRegularFile(filePath.c_str(), O_NOFOLLOW);
    if (!file || !IsUsersOwnFile(file.get()))
        return {};
    SecretBytes bytes;
    if (!ReadAtMost(file.get(), maxFileBytes, [&bytes](std::span<const std::uint8_t> chunk) {
            bytes.append({chunk.data(), chunk.size()});
        }))
        return {};
    return bytes;
}
