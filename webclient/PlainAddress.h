#pragma once

#include "common/Text.h"

// What the service's answers may hold as an address. The web application's address becomes
// part of the logon request's first line, and later of what the shell is handed: the shell
// opens anything it has a handler for (files, shares, every registered protocol) and the
// browser receives a web address inside its own command line, so only plain http and https
// addresses pass, checked when the address arrives and again before the shell gets it.

// True for "http://" or "https://" (lower case), a host of A-Z a-z 0-9 . -, an optional
// ":" and 1 to 5 digits, then nothing or "/", "?" or "#" followed by printable ASCII other
// than a blank and " < > \ ^ ` { | }. At most 2048 units.
bool IsPlainWebAddress(TextView address);

// True for a host of A-Z a-z 0-9 . - with an optional ":" and 1 to 5 digits: nothing that
// could end or split the explorer's argument.
bool IsPlainFtpHost(TextView host);

// The box shown instead of using an address that is not plain. It names only the scheme
// and the host of the web application's address (never its path, where a session id may
// follow), shortened and with anything but printable ASCII shown as "?".
Text RefusedAddressMessage(TextView webAppUrl);
