#pragma once

#include "common/Clock.h"
#include "common/MessageSink.h"
#include "framework/win/Handles.h"
#include "webclient/Exchange.h"
#include "webclient/win/WinInetApi.h"

#include <windows.h>

// PostRequest over WinInet: an HTTP/1.0 POST whose body is the url's query in UTF-8, the
// answer decoded from UTF-8 up to its first NUL. Handled failures are shown through the
// sink. The internet session outlives an exchange that failed, so that the next one
// reuses it, and is closed after an exchange that ends normally.
class WinInetExchange final : public Exchange {
public:
    // The check that the computer can reach the network; replaceable because it cannot be
    // made to fail on demand.
    using AttemptConnect = DWORD(WINAPI*)(DWORD reserved);

    WinInetExchange(MessageSink& sink, const Clock& clock,
                    AttemptConnect attemptConnect = &WinInetAttemptConnect);

    SecretText PostRequest(TextView url) override;

    bool HasOpenSession() const { return static_cast<bool>(apiSession); }

private:
    HINTERNET Session(const WinInetApi& api);

    MessageSink& sink;
    const Clock& clock;
    AttemptConnect attemptConnect;
    UniqueInternet apiSession;
};
