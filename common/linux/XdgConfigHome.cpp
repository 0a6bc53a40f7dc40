#include "common/linux/XdgConfigHome.h"

#include <cstdlib>

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

std::string ConfigHome() {
    return ConfigHomeFrom(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}
