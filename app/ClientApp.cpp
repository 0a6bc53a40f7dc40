#include "app/ClientApp.h"

#include "app/LaunchMode.h"
#include "app/RedirectHostsProfile.h"
#include "app/UsePasvRegistry.h"
#include "framework/ModulePath.h"
#include "framework/WideText.h"
#include "logon/LogonDialog.h"

namespace {

// The profile file beside the executable, remembered by the framework, and the hosts in it.
RedirectHosts ReadHostsBesideExecutable(CWinApp& app) {
    app.SetProfileName(ProfilePathBeside(ModulePath()));
    return ReadRedirectHosts(app.ProfileName());
}

} // namespace

CClientApp::CClientApp() : session(ReadHostsBesideExecutable(*this), exchange) {
    WriteUsePasvSetting();
}

CClientApp::~CClientApp() = default;

BOOL CClientApp::InitInstance() {
    logonWindow = std::make_unique<CLogonDialog>(session, clock);
    logonWindow->LaunchMode = LaunchModeFromArguments(ArgumentsText(FromWide(GetCommandLineW())));
    logonWindow->DoModal();
    return FALSE;
}

int CClientApp::ExitInstance() {
    logonWindow.reset();
    return CWinApp::ExitInstance();
}
