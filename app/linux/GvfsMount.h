#pragma once

#include "app/StorageMounter.h"

// Mounts the storage through GIO, so that GVfs holds the logon: the file managers that open
// ftp:// through GVfs drop a password given inside the location and ask the user again, while
// a location without one opens the mount made here. The password goes to GVfs in memory and
// stands on no command line.
class GvfsMount final {
public:
    // Whether GVfs runs for this session (it needs the session bus) and opens ftp:// (its FTP
    // backend is installed). The first call starts GVfs's daemon when it is not running yet.
    static VfsFtp FtpSupport();
    // Waits at most a minute, the windows painting meanwhile; then the mount is cancelled.
    // When the user cancels the wait, the mount is cancelled and WaitCancelled thrown.
    MountResult Mount(TextView location, const SecretText& password);
};
