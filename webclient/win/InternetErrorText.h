#pragma once

#include "common/Text.h"

#include <windows.h>

// The text the user is shown for a WinInet or system error code: WinInet's own message
// table first, then the system's, both in the system's default language; for
// ERROR_INTERNET_EXTENDED_ERROR the server's last response information instead. At most
// 511 characters, line breaks kept. Empty when no text is found: the caller then shows
// its own fallback.
Text InternetErrorText(DWORD code);
