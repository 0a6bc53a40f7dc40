#pragma once

#include "common/Secret.h"
#include "common/Text.h"

#include <functional>

// Where the desktop's file manager takes the storage's logon from a mount rather than from the
// location it is handed, the storage is mounted first, with the password given in memory, and
// the location handed over carries none.
enum class MountOutcome { Mounted, Refused, TimedOut, Failed };

struct MountResult {
    MountOutcome outcome = MountOutcome::Failed;
    Text message; // the platform's own text, for Failed
};

class StorageMounter {
public:
    virtual ~StorageMounter() = default;
    // True when the file manager opens ftp:// locations through the mounts made here. Asked only
    // when the storage is handed over, since finding out may start the desktop's services.
    virtual bool MountsForFileManager() = 0;
    // Mounts location (user and host, no password), answering the first request for a password
    // with password and any further one with a refusal. Returns when the mount is done, refused,
    // has failed or has been given up after its time limit.
    virtual MountResult Mount(TextView location, const SecretText& password) = 0;
};

// The rule that chooses: a desktop session whose file manager takes logons only from the
// location (one that names KDE in XDG_CURRENT_DESKTOP, or sets KDE_FULL_SESSION) is handed the
// location with the password; elsewhere the storage is mounted when the event loop can run the
// mount's callbacks and the desktop's virtual file system opens ftp://. vfsOpensFtp is called
// only when the answer depends on it. The variables' values are null when unset.
bool MountsBeforeHandOver(const char* xdgCurrentDesktop, const char* kdeFullSession,
                          bool eventLoopRunsMounts, const std::function<bool()>& vfsOpensFtp);
