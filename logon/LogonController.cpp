#include "logon/LogonController.h"

#include "logon/LogonProcedure.h"
#include "webclient/ServiceSession.h"

LogonController::LogonController(ServiceSession& session, LogonStore& store, Shell& shell,
                                 const FileManagerLocator& fileManager, StorageMounter* mounter)
    : session(session), store(store), shell(shell), fileManager(fileManager), mounter(mounter) {}

LogonInfo LogonController::RestoreLogonInfo() const {
    return store.LoadLogonInfo();
}

void LogonController::OnLogon(LogonView& view) {
    LogonProcedure procedure(
        view, session, store,
        [this, &view](LaunchMode mode, const Text& user, const SecretText& password) {
            OpenDestination(shell, view, fileManager, mode, user, password.view(),
                            session.GetWebAppUrl(), session.SessionId().view(), mounter,
                            view.IsRememberChecked());
        });
    procedure.OnOK(launchMode);
}

void LogonController::OnSignUp(MessageSink& sink, ShellOwner owner) {
    OpenSignUpPage(shell, sink, owner, session.GetWebAppUrl());
}

void LogonController::OnHelp(MessageSink& sink, ShellOwner owner) {
    OpenHelpPage(shell, sink, owner, session.GetWebAppUrl());
}
