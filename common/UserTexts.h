#pragma once

#include "common/Text.h"

// Every text the program shows its user, in one place for the core and for each edition's
// edge. The texts of the service's own logon procedure are kept as they have always read.
namespace UserTexts {

// Entries of the program's string table. The Windows edition loads them from its resources
// by these numbers (res/resource.h names the same numbers for the resource script); an
// edition without a string table shows the texts beside them.
inline constexpr unsigned logonServerUnavailableId = 129;
inline constexpr char16_t logonServerUnavailable[] = u"Logon failed, server unavailable.";
inline constexpr unsigned logonFailedId = 130;
inline constexpr char16_t logonFailed[] = u"Logon failed.";

// The logon procedure's refusals and its one question.
inline constexpr char16_t reservedUserName[] =
    u"Please enter a valid username (with published folders) "
    u"and blank password for annonymous logon.";
inline constexpr char16_t nothingEntered[] =
    u"Please enter your username and password to logon. \n\nTo log on annonymously, enter "
    u"a username (with published folders) and blank password.\n\n"
    u"If you received an invitation email, please enter ShareUserName\\ShareName \n(e.g.: "
    u"\"john\\john's share\") as the username and SharePassword as the password.";
inline constexpr char16_t emptyPassword[] =
    u"Password is empty, do you want to logon annonymously?";

// An address from the service that is not handed to the shell; scheme and host follow.
inline constexpr char16_t refusedAddress[] =
    u"The service sent an address that tarnftp does not open.\n\nScheme: ";
inline constexpr char16_t refusedAddressHost[] = u"\nHost: ";

// The Linux desktop's opener (xdg-open) could not be started; the address is not repeated,
// since a location carries the password.
inline constexpr char16_t openerNotStarted[] =
    u"tarnftp could not start xdg-open, which opens addresses on this desktop. Check that "
    u"xdg-utils is installed.";

// No redirect host is configured on Linux; the places tarnftp.ini is looked for follow, one a
// line.
inline constexpr char16_t noRedirectHost[] =
    u"tarnftp has no redirect host to ask. Name one as Host1 in the [RedirectHosts] section of "
    u"tarnftp.ini in one of these places:";

// What the opener's exit status says, for the storage and for a web page. None of them repeats
// the address, which may carry the password or the session id.
inline constexpr char16_t nothingOpensFtp[] =
    u"Nothing on this desktop opens ftp:// locations. Install a file manager that does.";
inline constexpr char16_t nothingOpensWebPages[] =
    u"Nothing on this desktop opens web pages. Install a web browser.";
inline constexpr char16_t storageNotOpened[] = u"The desktop could not open your storage.";
inline constexpr char16_t pageNotOpened[] = u"The desktop could not open the page.";

// Mounting the storage before the file manager opens it; the last one is followed by the
// platform's own text.
inline constexpr char16_t mountRefused[] =
    u"The storage did not accept your password. Open it in your file manager to try again.";
inline constexpr char16_t mountTimedOut[] = u"The storage did not answer in time.";
inline constexpr char16_t mountFailed[] = u"The storage could not be opened: ";
inline constexpr char16_t desktopCannotOpenFtp[] =
    u"This desktop cannot open FTP storage. Install the package gvfs-backends to add it.";

// The exchange's own failures; the platform's texts for its error codes come from it.
inline constexpr char16_t noConnectivity[] =
    u"The computer cannot connect to the Internet. Check the network connection and try again.";
inline constexpr char16_t noErrorMessage[] = u"No error message is available.";
inline constexpr char16_t requestTooLong[] = u"The request is too long to be sent.";
inline constexpr char16_t answerTooLarge[] =
    u"The server's answer is larger than 16 MB. It was not read to the end.";
inline constexpr char16_t serviceTimedOut[] = u"The service did not answer in time.";

// A failure no code handled, when it brings no text of its own: from a control's command,
// and from anything else.
inline constexpr char16_t internalError[] = u"Internal application error.";
inline constexpr char16_t commandFailed[] = u"Command failed.";

// The accessible names of the two edit boxes, whose labels follow them.
inline constexpr char16_t userNameBox[] = u"Username";
inline constexpr char16_t passwordBox[] = u"Password";

} // namespace UserTexts
