#pragma once

#include "app/StorageMounter.h"
#include "app/linux/GvfsMount.h"
#include "app/linux/KdePasswordServer.h"

// The Linux desktop's roads to its file manager (app/StorageMounter.h's rule): GVfs mounts the
// storage on the desktops whose file managers open ftp:// through GVfs, KDE's password server is
// given the logon on KDE's.
class DesktopHandOver final : public StorageMounter {
public:
    HandOverRoad RoadForFileManager(bool rememberLogon) override;
    MountResult Mount(TextView location, const SecretText& password) override;

private:
    HandOverRoad road = HandOverRoad::PasswordInLocation;
    GvfsMount gvfs;
    KdePasswordServer passwordServer;
};

// A session bus is there: DBUS_SESSION_BUS_ADDRESS names one, or the user's runtime folder holds
// its socket. Checked without connecting, so that no bus is started for the question.
bool SessionBusFound();
