#include "app/linux/DesktopHandOver.h"

#include "common/linux/EventLoopWait.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

bool SessionBusFound() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address)
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat status;
    return runtime && *runtime == '/' &&
           ::stat((std::string(runtime) + "/bus").c_str(), &status) == 0 &&
           S_ISSOCK(status.st_mode);
}

HandOverRoad DesktopHandOver::RoadForFileManager(bool rememberLogon) {
    DesktopSession session;
    session.xdgCurrentDesktop = std::getenv("XDG_CURRENT_DESKTOP");
    session.kdeFullSession = std::getenv("KDE_FULL_SESSION");
    session.sessionBus = SessionBusFound();
    // GIO calls back through GLib's main loop.
    session.eventLoopRunsMounts = EventLoopRunsGlib();
    session.rememberLogon = rememberLogon;
    session.vfs = &GvfsMount::FtpSupport;
    session.walletEnabled = &KdePasswordServer::WalletEnabled;
    session.passwordServerOnBus = &KdePasswordServer::OnBus;
    road = ChooseHandOverRoad(session);
    return road;
}

MountResult DesktopHandOver::Mount(TextView location, const SecretText& password) {
    return road == HandOverRoad::PasswordServerFirst ? passwordServer.Mount(location, password)
                                                     : gvfs.Mount(location, password);
}
