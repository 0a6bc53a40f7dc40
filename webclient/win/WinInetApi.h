#pragma once

#include "framework/win/Handles.h"

#include <windows.h>
#include <wininet.h>

// The WinInet functions the program calls, bound at the first exchange from the system
// folder's wininet.dll. The program does not import WinInet: it stays out of start-up, and a
// wininet.dll beside the executable is never loaded.
#define TARN_WININET_FUNCTIONS(X)                                                                  \
    X(HttpOpenRequestW)                                                                            \
    X(HttpSendRequestW)                                                                            \
    X(InternetAttemptConnect)                                                                      \
    X(InternetCloseHandle)                                                                         \
    X(InternetConnectW)                                                                            \
    X(InternetGetLastResponseInfoW)                                                                \
    X(InternetOpenW)                                                                               \
    X(InternetQueryDataAvailable)                                                                  \
    X(InternetReadFile)                                                                            \
    X(InternetSetOptionW)

struct WinInetApi {
#define TARN_WININET_MEMBER(function) decltype(&::function) function = nullptr;
    TARN_WININET_FUNCTIONS(TARN_WININET_MEMBER)
#undef TARN_WININET_MEMBER
};

// The table, WinInet loaded on the first call. When the library or one of its functions
// cannot be had, throws CommandFailure with the error code and the system's text for it;
// a later call tries again.
const WinInetApi& WinInet();

// The table when WinInet is already loaded, else null; never loads it and never throws.
const WinInetApi* LoadedWinInet() noexcept;

// InternetAttemptConnect through the table: the exchange's default connectivity check.
DWORD WINAPI WinInetAttemptConnect(DWORD reserved);

// An internet handle exists only once WinInet is loaded.
inline void CloseInternetHandle(HINTERNET handle) {
    if (const WinInetApi* api = LoadedWinInet())
        api->InternetCloseHandle(handle);
}
using UniqueInternet = UniqueHandle<HINTERNET, CloseInternetHandle>;
