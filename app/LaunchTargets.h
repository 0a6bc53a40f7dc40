#pragma once

#include "app/LaunchMode.h"
#include "app/Shell.h"
#include "app/StorageMounter.h"
#include "common/MessageSink.h"
#include "common/Text.h"

#include <cstdint>
#include <optional>

// What the shell is handed to reach a destination: a document or program, and for a
// program its parameters.
struct LaunchTarget {
    SecretText file;
    std::optional<SecretText> parameters;

    bool operator==(const LaunchTarget&) const = default;
};

// The automatic-logon address of a web page. The web application's address and the session
// identifier go in as they are; no slash is added or removed where they meet.
SecretText AutoLogonAddress(const WebPageMode& page, TextView webAppUrl, TextView sessionId);

// "ftp://" + user + ":" + password + "@" + the host of the web application's address.
// In user and password every ASCII character outside A-Z a-z 0-9 - . _ ~ becomes %XX in upper
// case, so that ":", "@", "/" cannot move the location to another host, and a blank,
// quotation mark, "," or "=" cannot split the explorer's command line, which it cuts into
// fields at those. Non-ASCII characters stay as they are.
SecretText FtpLocation(TextView user, TextView password, TextView webAppUrl);

// The storage without a password: "ftp://" + user + "@" + the host + "/", the user encoded as in
// FtpLocation; "ftp://" + the host + "/" for an empty user.
SecretText FtpStorageLocation(TextView user, TextView webAppUrl);

// The target of a launch mode after a logon. The file manager is asked for only when it is
// the target.
LaunchTarget DestinationTarget(LaunchMode launchMode, TextView user, TextView password,
                               TextView webAppUrl, TextView sessionId,
                               const FileManagerLocator& fileManager);

Text SignUpPageAddress(TextView webAppUrl);
Text HelpPageAddress(TextView webAppUrl);

// Open the targets through the shell; the destination without an owner window. A web
// address that is not plain (webclient/PlainAddress.h), or for the explorer an ftp host that is
// not, is not handed to the shell: the sink shows why instead. An empty web application
// address opens nothing and shows nothing, since the exchange that could not get it has
// already said why.
// With a mounter, it chooses the road for the file manager (rememberLogon: the user asked for the
// logon to be remembered). Where the storage is mounted first, or its logon given to the
// desktop's password server, it is handed over without the password (an empty user name mounts
// nothing); a mount that fails is shown in the sink and nothing is handed over, as on a desktop
// that cannot open ftp:// at all.
void OpenDestination(Shell& shell, MessageSink& sink, const FileManagerLocator& fileManager,
                     LaunchMode launchMode, TextView user, TextView password, TextView webAppUrl,
                     TextView sessionId, StorageMounter* mounter = nullptr,
                     bool rememberLogon = false);
void OpenSignUpPage(Shell& shell, MessageSink& sink, ShellOwner owner, TextView webAppUrl);
void OpenHelpPage(Shell& shell, MessageSink& sink, ShellOwner owner, TextView webAppUrl);
