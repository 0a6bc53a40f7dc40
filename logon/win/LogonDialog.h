#pragma once

#include "app/win/ShellExecuteShell.h"
#include "common/Clock.h"
#include "controls/win/IconButton.h"
#include "framework/win/AccessibleNames.h"
#include "framework/win/Button.h"
#include "framework/win/Dialog.h"
#include "logon/LogonController.h"
#include "logon/win/LogonFileStore.h"

#include <cstdint>

class ServiceSession;

// The logon window: the program's only window. It restores remembered credentials when it
// opens, runs the logon procedure on Logon (or Enter), opens the sign-up and help pages,
// and closes on Cancel or after a successful logon.
class CLogonDialog : public CDialog, private LogonView {
public:
    CLogonDialog(ServiceSession& session, const Clock& clock);

    // Where a successful logon leads (app/LaunchMode.h); 0 until set.
    void SetLaunchMode(LaunchMode mode) { controller.SetLaunchMode(mode); }

protected:
    void DoDataExchange(DataExchange& exchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WORD id, WORD code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void OnSignUpButton();
    void OnHelpButton();
    void ShowTexts();
    void NameEditBoxes();
    void OnDpiChanged(UINT dpi);
    void SetWindowIcons(UINT dpi);

    void CopyControlsToMembers() override;
    Text UserName() const override { return userName; }
    SecretText Password() const override { return password; }
    void ShowMessage(const Text& text) override;
    bool AskYesNo(const Text& text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    bool IsRememberChecked() const override;
    void CloseWithOk() override;

    LogonFileStore store;
    ShellExecuteShell shell;
    WindowsExplorer fileManager;
    LogonController controller;

    Text userName;
    SecretText password;
    HICON applicationIcon; // shared resource icon: never destroyed
    // The window's icons at a density other than the standard one, where the shared icon's
    // size would be stretched.
    UniqueIcon scaledBigIcon;
    UniqueIcon scaledSmallIcon;
    CButton rememberBox;
    CIconButton cancelButton;
    CIconButton logonButton;
    CIconButton signUpButton;
    CIconButton helpButton;
    AccessibleNames accessibleNames;
};
