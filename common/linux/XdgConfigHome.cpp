#include "common/linux/XdgConfigHome.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

bool IsAbsolute(const char* path) {
    return path && path[0] == '/';
}

} // namespace

std::string ConfigHomeFrom(const char* xdgConfigHome, const char* home) {
    if (IsAbsolute(xdgConfigHome))
        return xdgConfigHome;
    if (IsAbsolute(home))
        return std::string(home) + "/.config";
    return {};
}

std::string AccountHome() {
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 4096);
    passwd entry;
    passwd* found = nullptr;
    // The entry may not fit the suggested size; grow the buffer while the call says so.
    while (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
           buffer.size() < 1024 * 1024)
        buffer.resize(2 * buffer.size());
    return found && IsAbsolute(found->pw_dir) ? found->pw_dir : std::string();
}

std::string ConfigHome() {
    const char* home = std::getenv("HOME");
    return ConfigHomeFrom(std::getenv("XDG_CONFIG_HOME"),
                          IsAbsolute(home) ? home : AccountHome().c_str());
}
