#pragma once

#include "common/Clock.h"
#include "framework/win/AppMessageSink.h"
#include "framework/win/WinApp.h"
#include "webclient/ServiceSession.h"
#include "webclient/win/WinInetExchange.h"

#include <memory>

class CLogonDialog;

// The application object: reads the redirect hosts and writes the FTP setting when it
// is made, runs the logon window modally at start-up, and ends without a message loop.
// It owns the process-wide state of the web service client and hands it to the window.
class CClientApp : public CWinApp {
public:
    CClientApp();
    ~CClientApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    SystemClock clock;
    AppMessageSink messageSink{*this};
    // Exchanges wait with the logon window answering.
    WinInetExchange exchange{messageSink, clock, &WinInetAttemptConnect,
                             [this] { return MainWindow(); }};
    ServiceSession session;
    std::unique_ptr<CLogonDialog> logonWindow;
};
