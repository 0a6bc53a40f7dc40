#pragma once

#include "common/Secret.h"
#include "common/Text.h"

#include <functional>

// Where the desktop's file manager takes the storage's logon from a mount or a password server
// rather than from the location it is handed, the storage is mounted (or the logon given to the
// server) first, with the password given in memory, and the location handed over carries none.
enum class MountOutcome { Mounted, Refused, TimedOut, Failed };

struct MountResult {
    MountOutcome outcome = MountOutcome::Failed;
    Text message; // the platform's own text, for Failed
};

// How the storage is handed to the desktop's file manager.
enum class HandOverRoad {
    PasswordInLocation,   // the location carries the password
    MountFirst,           // the desktop's virtual file system mounts the storage first
    PasswordServerFirst,  // the desktop's password server is given the logon first
    DesktopCannotOpenFtp, // nothing on the desktop opens ftp://: nothing is handed over
};

class StorageMounter {
public:
    virtual ~StorageMounter() = default;
    // The road the storage takes to the file manager; rememberLogon tells whether the user asked
    // for the logon to be remembered. Asked only when the storage is handed over, since finding
    // out may start the desktop's services.
    virtual HandOverRoad RoadForFileManager(bool rememberLogon) = 0;
    // Makes the storage open without a password on the road chosen (MountFirst or
    // PasswordServerFirst): location holds user and host, no password. A request for a password
    // gets password the first time and a refusal after. Returns when done, refused, failed or
    // given up after its time limit; throws WaitCancelled when the user ends the wait.
    virtual MountResult Mount(TextView location, const SecretText& password) = 0;
};

// What the desktop session offers, for the rule that chooses the road. The variables' values are
// null when unset; the functions are called only when the answer depends on them, since each
// may start one of the desktop's services.
enum class VfsFtp { NotRunning, WithoutFtp, OpensFtp };
struct DesktopSession {
    const char* xdgCurrentDesktop = nullptr;
    const char* kdeFullSession = nullptr;
    bool sessionBus = false;
    bool eventLoopRunsMounts = false; // the event loop runs the VFS's callbacks
    bool rememberLogon = false;
    std::function<VfsFtp()> vfs;
    // The password server keeps every logon it is given in the wallet when the wallet is on.
    std::function<bool()> walletEnabled;
    std::function<bool()> passwordServerOnBus;
};

// The rule that chooses. Without a session bus the location carries the password. A session
// that names KDE (in XDG_CURRENT_DESKTOP, or KDE_FULL_SESSION set) has a file manager that
// takes logons from its password server: it is given the logon when there is one on the bus and
// keeping the password matches what the user asked (the wallet off, or the logon to be
// remembered); otherwise the location carries the password. Elsewhere the storage is mounted
// when the event loop runs the mount's callbacks and the VFS opens ftp://; a VFS that runs but
// does not open ftp:// gets nothing, since the file manager would only fail.
HandOverRoad ChooseHandOverRoad(const DesktopSession& session);
