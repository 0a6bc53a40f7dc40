#pragma once

#include "common/Clock.h"
#include "common/MessageSink.h"
#include "framework/win/Handles.h"
#include "webclient/Exchange.h"
#include "webclient/win/WinInetApi.h"

#include <windows.h>

#include <functional>

// PostRequest over WinInet: an HTTP/1.0 POST whose body is the url's query in UTF-8, the
// answer decoded from UTF-8 up to its first NUL. Handled failures are shown through the
// sink. The internet session outlives an exchange that failed, so that the next one
// reuses it, and is closed after an exchange that ends normally.
//
// WinInet runs on a worker thread (webclient/win/WinInetJob.h), while the window the exchange
// waits for keeps answering (framework/win/ModalWait.h). At the time limit the exchange ends as
// a handled failure and a worker still blocked is left to end by itself; when the user cancels
// the wait, PostRequest throws WaitCancelled.
class WinInetExchange final : public Exchange {
public:
    // The check that the computer can reach the network; replaceable because it cannot be
    // made to fail on demand.
    using AttemptConnect = DWORD(WINAPI*)(DWORD reserved);
    // The window that waits for an exchange, asked at each one; none: no window answers.
    using WaitWindow = std::function<HWND()>;

    WinInetExchange(MessageSink& sink, const Clock& clock,
                    AttemptConnect attemptConnect = &WinInetAttemptConnect,
                    WaitWindow waitWindow = {});

    SecretText PostRequest(TextView url) override;

    bool HasOpenSession() const { return static_cast<bool>(apiSession); }

private:
    MessageSink& sink;
    const Clock& clock;
    AttemptConnect attemptConnect;
    WaitWindow waitWindow;
    UniqueInternet apiSession;
};
