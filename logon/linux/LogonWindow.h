#pragma once

#include "logon/LogonController.h"
#include "logon/LogonFileCodec.h"

#include <QDialog>

#include <cstdint>
#include <functional>

class IconButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class ServiceSession;

// The logon window: the program's only window. It shows remembered credentials when it
// opens, runs the logon procedure on Logon (or Enter), opens the sign-up and help pages,
// and closes on Cancel (or Esc, or the close box) or after a successful logon. Its size and
// its controls' places come from the dialog template's dialog units in the dialog's font.
class LogonWindow : public QDialog, private LogonView {
public:
    LogonWindow(ServiceSession& session, LogonStore& store, Shell& shell,
                const FileManagerLocator& fileManager, StorageMounter& mounter);
    ~LogonWindow() override;

    // Where a successful logon leads (app/LaunchMode.h); 0 until set.
    void SetLaunchMode(LaunchMode mode) { controller.SetLaunchMode(mode); }

    // The dialog's font: the nearest on this desktop to the template's.
    static QFont DialogFont();

    QLineEdit* UserNameBox() const { return userNameBox; }
    QLineEdit* PasswordBox() const { return passwordBox; }
    QCheckBox* RememberBox() const { return rememberBox; }
    IconButton* LogonButton() const { return logonButton; }
    IconButton* CancelButton() const { return cancelButton; }
    IconButton* SignUpButton() const { return signUpButton; }
    IconButton* HelpButton() const { return helpButton; }

private:
    void MakeControls();
    void OnLogon();
    void OnSignUp();
    void OnHelp();
    // Runs a command; a failure it does not handle is shown in a stop box and the command
    // is abandoned, the window staying open. A wait the user cancelled closes the window as
    // Cancel does.
    void RunReportingFailure(const std::function<void()>& command);

    void CopyControlsToMembers() override;
    Text UserName() const override { return userName; }
    SecretText Password() const override { return password; }
    void ShowMessage(const Text& text) override;
    bool AskYesNo(const Text& text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    bool IsRememberChecked() const override;
    void CloseWithOk() override;

    LogonController controller;

    Text userName;
    SecretText password;
    int waitCursors = 0; // override cursors this window has set and not yet restored

    // Owned by the window through Qt's object tree.
    QLineEdit* userNameBox = nullptr;
    QLineEdit* passwordBox = nullptr;
    IconButton* logonButton = nullptr;
    IconButton* cancelButton = nullptr;
    QLabel* userNameLabel = nullptr;
    QLabel* passwordLabel = nullptr;
    QGroupBox* logonInfoGroup = nullptr;
    QCheckBox* rememberBox = nullptr;
    IconButton* signUpButton = nullptr;
    IconButton* helpButton = nullptr;
};
