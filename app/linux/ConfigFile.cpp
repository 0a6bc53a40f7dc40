#include "app/linux/ConfigFile.h"

#include "app/ProfileReader.h"
#include "common/UserTexts.h"
#include "common/linux/FileDescriptor.h"
#include "common/linux/Ownership.h"
#include "common/linux/XdgConfigHome.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdint>
#include <span>
#include <string>

namespace {

constexpr char fileName[] = "tarnftp.ini";

bool IsRegularFile(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool NobodyElseMayChange(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && NobodyElseMayChange(status);
}

// Where the open file really lies, links resolved; empty when it cannot be told.
std::string RealPathOf(int fd) {
    char path[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path || path[0] != '/')
        return {};
    return std::string(path, static_cast<std::size_t>(length));
}

// The folder the open file lies in is one nobody else may change, and holds the file under the
// name it was found by. The folder is opened and then looked at, so that a link swapped in the
// meantime shows as a different file rather than a different folder.
bool LiesInTrustedFolder(int fd, const struct stat& file) {
    const std::string real = RealPathOf(fd);
    if (real.empty())
        return false;
    const FileDescriptor folder(
        ::open(FolderOf(real).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    struct stat folderStatus, entry;
    return folder && ::fstat(folder.get(), &folderStatus) == 0 &&
           NobodyElseMayChange(folderStatus) &&
           ::fstatat(folder.get(), real.c_str() + real.rfind('/') + 1, &entry,
                     AT_SYMLINK_NOFOLLOW) == 0 &&
           entry.st_dev == file.st_dev && entry.st_ino == file.st_ino;
}

enum class Candidate { Missing, Refused, Unreadable, Taken };

// Opens the candidate first and checks the file that was opened, so that what is read is what
// was checked: whoever may change the file, or replace it or a link to it in its folder,
// chooses where the password is sent.
Candidate OpenCandidate(const std::string& path, FileDescriptor& file) {
    file.reset(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!file) {
        // A file there that cannot be opened is taken all the same and gives no hosts.
        return errno == EACCES && IsRegularFile(path) && NobodyElseMayChange(path) &&
                       NobodyElseMayChange(FolderOf(path))
                   ? Candidate::Unreadable
                   : Candidate::Missing;
    }
    struct stat status;
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return Candidate::Missing;
    return NobodyElseMayChange(status) && NobodyElseMayChange(FolderOf(path)) &&
                   LiesInTrustedFolder(file.get(), status)
               ? Candidate::Taken
               : Candidate::Refused;
}

} // namespace

std::vector<std::string> ConfigFileCandidates(const std::string& executableFolder,
                                              const std::string& configHome) {
    std::vector<std::string> candidates;
    if (!executableFolder.empty())
        candidates.push_back(executableFolder + "/" + fileName);
    if (!configHome.empty())
        candidates.push_back(configHome + "/tarnftp/" + fileName);
    candidates.push_back(std::string("/etc/tarnftp/") + fileName);
    return candidates;
}

RedirectHosts ReadFirstConfigFile(const std::vector<std::string>& candidates) {
    for (const std::string& path : candidates) {
        FileDescriptor file;
        const Candidate candidate = OpenCandidate(path, file);
        if (candidate == Candidate::Missing || candidate == Candidate::Refused)
            continue;
        std::string bytes;
        if (candidate == Candidate::Unreadable ||
            !ReadAtMost(file.get(), maxConfigFileBytes,
                        [&bytes](std::span<const std::uint8_t> chunk) {
                            bytes.append(reinterpret_cast<const char*>(chunk.data()), chunk.size());
                        }))
            return {};
        return RedirectHostsFromProfile(bytes);
    }
    return {};
}

std::string ExecutableFolder() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path)
        return {};
    const std::string executable(path, static_cast<std::size_t>(length));
    return executable.substr(0, executable.rfind('/'));
}

Text NoRedirectHostText(const std::vector<std::string>& candidates) {
    Text text = UserTexts::noRedirectHost;
    for (const std::string& path : candidates)
        text += u"\n" + FromUtf8(path);
    return text;
}

std::vector<std::string> ConfiguredCandidates() {
    return ConfigFileCandidates(ExecutableFolder(), ConfigHome());
}
