#pragma once

#include "app/LaunchTargets.h"
#include "app/StorageMounter.h"
#include "logon/LogonStore.h"
#include "logon/LogonView.h"

#include <cstdint>

class ServiceSession;

// What both logon windows do behind their buttons, written once. Logon runs the logon
// procedure and, after a successful logon, opens the destination the launch mode selects
// (mounting the storage first where a mounter is given and asks for it); Sign Up and Help open
// their pages. A window copies its controls, shows boxes and closes; a CommandFailure passes on
// to the window's command dispatch. Everything handed in must outlive this object.
class LogonController {
public:
    LogonController(ServiceSession& session, LogonStore& store, Shell& shell,
                    const FileManagerLocator& fileManager, StorageMounter* mounter = nullptr);

    // Where a successful logon leads (app/LaunchMode.h); 0 until set.
    void SetLaunchMode(LaunchMode mode) { launchMode = mode; }

    // The remembered logon the window shows when it opens.
    LogonInfo RestoreLogonInfo() const;

    void OnLogon(LogonView& view);
    void OnSignUp(MessageSink& sink, ShellOwner owner);
    void OnHelp(MessageSink& sink, ShellOwner owner);

private:
    ServiceSession& session;
    LogonStore& store;
    Shell& shell;
    const FileManagerLocator& fileManager;
    StorageMounter* mounter;
    LaunchMode launchMode;
};
