#include "app/StorageMounter.h"

#include <string_view>

namespace {

// XDG_CURRENT_DESKTOP is a list of names separated by colons.
bool NamesKde(const char* desktops) {
    std::string_view rest = desktops ? desktops : "";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        if (rest.substr(0, colon) == "KDE")
            return true;
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return false;
}

} // namespace

bool MountsBeforeHandOver(const char* xdgCurrentDesktop, const char* kdeFullSession,
                          bool eventLoopRunsMounts, const std::function<bool()>& vfsOpensFtp) {
    if (NamesKde(xdgCurrentDesktop) || (kdeFullSession && *kdeFullSession))
        return false;
    return eventLoopRunsMounts && vfsOpensFtp();
}
