#include "app/linux/ConfigFile.h"

#include "app/ProfileReader.h"
#include "common/UserTexts.h"
#include "common/linux/FileDescriptor.h"
#include "common/linux/Ownership.h"
#include "common/linux/XdgConfigHome.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

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

// Whoever may change the file, or replace it or a link to it in its folder, chooses where the
// password is sent.
bool IsTrusted(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved && NobodyElseMayChange(path) && NobodyElseMayChange(FolderOf(path)) &&
           NobodyElseMayChange(FolderOf(resolved.get()));
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
        if (!IsRegularFile(path) || !IsTrusted(path))
            continue;
        std::string bytes;
        const FileDescriptor file = OpenRegularFile(path.c_str());
        if (!file || !ReadAtMost(file.get(), maxConfigFileBytes,
                                 [&bytes](std::span<const std::uint8_t> chunk) {
                                     bytes.append(reinterpret_cast<const char*>(chunk.data()),
                                                  chunk.size());
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
