#include "app/linux/ConfigFile.h"

#include "app/ProfileReader.h"
#include "common/linux/FileDescriptor.h"
#include "common/linux/XdgConfigHome.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <span>

namespace {

constexpr char fileName[] = "tarnftp.ini";

bool IsRegularFile(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
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
        if (!IsRegularFile(path))
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

RedirectHosts ReadConfiguredRedirectHosts() {
    return ReadFirstConfigFile(ConfigFileCandidates(ExecutableFolder(), ConfigHome()));
}
