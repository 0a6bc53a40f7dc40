#include "app/win/ClientApp.h"

#include "app/LaunchMode.h"
#include "app/win/RedirectHostsProfile.h"
#include "app/win/UsePasvRegistry.h"
#include "common/UserTexts.h"
#include "framework/win/ModulePath.h"
#include "framework/win/UserInterfaceLanguage.h"
#include "framework/win/WideText.h"
#include "logon/win/LogonDialog.h"
#include "webclient/win/WinInetJob.h"

namespace {

// The profile file beside the executable, remembered by the framework, and the hosts in it.
RedirectHosts ReadHostsBesideExecutable(CWinApp& app) {
    app.SetProfileName(ProfilePathBeside(ModulePath()));
    return ReadRedirectHosts(app.ProfileName());
}

void CALLBACK PrepareExchangeWorker(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    PrepareWinInetWorker();
}

} // namespace

CClientApp::CClientApp() : session(ReadHostsBesideExecutable(*this), exchange, messageSink) {
    UserTexts::UseCatalog(UserInterfaceCatalog());
    WriteUsePasvSetting();
}

CClientApp::~CClientApp() = default;

BOOL CClientApp::InitInstance() {
    // A thread timer's message comes only once the queue is idle, the window shown and painted:
    // the exchanges' worker starts then, while the user types, not when the first one begins.
    SetTimer(nullptr, 0, 0, &PrepareExchangeWorker);
    logonWindow = std::make_unique<CLogonDialog>(session, clock);
    logonWindow->SetLaunchMode(LaunchModeFromArguments(ArgumentsText(FromWide(GetCommandLineW()))));
    logonWindow->DoModal();
    return FALSE;
}

int CClientApp::ExitInstance() {
    logonWindow.reset();
    return CWinApp::ExitInstance();
}
