#pragma once

#include "app/StorageMounter.h"

// KDE's password server (kiod's kpasswdserver module) on the session bus. KDE's file manager
// and its FTP worker look a logon up there before they ask the user, so the storage's logon is
// given to it in memory and the location handed over carries no password.
class KdePasswordServer final {
public:
    // A password server runs on the session bus or can be started there.
    static bool OnBus();
    // The wallet is enabled for the user: its own setting (kwalletrc under the configuration
    // folder) does not switch it off, and a running wallet service does not say it is off. The
    // password server then writes every logon it is given into the wallet.
    static bool WalletEnabled();
    // Gives the server user, host, port (left out when it is FTP's own) and password of
    // location, for any window. Waits at most a minute, the windows painting meanwhile: a
    // wallet prompt left open holds the answer.
    MountResult Mount(TextView location, const SecretText& password);
};
