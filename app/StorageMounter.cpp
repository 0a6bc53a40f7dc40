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

HandOverRoad ChooseHandOverRoad(const DesktopSession& session) {
    using enum HandOverRoad;
    if (!session.sessionBus)
        return PasswordInLocation;
    if (NamesKde(session.xdgCurrentDesktop) ||
        (session.kdeFullSession && *session.kdeFullSession)) {
        // The password server writes what it is given into an enabled wallet: a logon the user
        // did not ask to remember must not land there.
        if (!session.rememberLogon && session.walletEnabled())
            return PasswordInLocation;
        return session.passwordServerOnBus() ? PasswordServerFirst : PasswordInLocation;
    }
    if (!session.eventLoopRunsMounts)
        return PasswordInLocation;
    switch (session.vfs()) {
    case VfsFtp::OpensFtp:
        return MountFirst;
    case VfsFtp::WithoutFtp:
        return DesktopCannotOpenFtp;
    default:
        return PasswordInLocation;
    }
}
