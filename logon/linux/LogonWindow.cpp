#include "logon/linux/LogonWindow.h"

#include "app/LaunchTargets.h"
#include "common/CommandFailure.h"
#include "common/UserTexts.h"
#include "common/linux/QtText.h"
#include "controls/linux/IconButton.h"
#include "logon/LogonProcedure.h"
#include "logon/linux/DialogUnits.h"
#include "logon/linux/MessageBoxes.h"
#include "webclient/ServiceSession.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <utility>

namespace {

// The dialog template: its size and each control's rectangle, in dialog units.
constexpr QSize templateSize(194, 107);
constexpr QRect userNameRect(67, 22, 98, 12);
constexpr QRect passwordRect(67, 42, 98, 12);
constexpr QRect logonRect(53, 89, 40, 14);
constexpr QRect cancelRect(7, 89, 40, 14);
constexpr QRect userNameLabelRect(23, 24, 41, 8);
constexpr QRect passwordLabelRect(29, 44, 35, 8);
constexpr QRect logonInfoRect(7, 7, 178, 55);
constexpr QRect rememberRect(51, 68, 88, 10);
constexpr QRect signUpRect(99, 89, 40, 14);
constexpr QRect helpRect(145, 89, 40, 14);

constexpr int templatePointSize = 10;

const QString applicationIcon = QStringLiteral(":/icons/app.ico");
const QString logonIcon = QStringLiteral(":/icons/logon.ico");
const QString cancelIcon = QStringLiteral(":/icons/cancel.ico");
const QString helpIcon = QStringLiteral(":/icons/help.ico");

} // namespace

LogonWindow::LogonWindow(ServiceSession& session, LogonStore& store, LogonInfo restored,
                         Shell& shell, const FileManagerLocator& fileManager,
                         StorageMounter& mounter)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      session(session), store(store), shell(shell), fileManager(fileManager), mounter(mounter) {
    setWindowTitle(QStringLiteral("TarnGroup FTP Logon"));
    setWindowIcon(QIcon(applicationIcon));
    setFont(DialogFont());
    MakeControls();

    // A remembered user name shows both credentials and the box checked; a password alone
    // stays in the member, and the next logon takes the (empty) boxes' contents.
    userName = std::move(restored.user);
    password = std::move(restored.password);
    if (!userName.empty()) {
        userNameBox->setText(ToQString(userName));
        passwordBox->setText(ToQString(password.view()));
        rememberBox->setChecked(true);
    }
    userNameBox->setFocus();
}

LogonWindow::~LogonWindow() {
    while (waitCursors > 0)
        EndWaitCursor();
}

QFont LogonWindow::DialogFont() {
    QFont font(QStringLiteral("DejaVu Sans"), templatePointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void LogonWindow::MakeControls() {
    const DialogBaseUnits base = BaseUnitsOf(font(), this);
    const auto place = [base](QWidget* control, const QRect& units) {
        control->setGeometry(DialogUnitsToPixels(units, base));
    };
    setFixedSize(DialogUnitsToPixels(QRect(QPoint(0, 0), templateSize), base).size());

    // Made in the template's order, which is the tab order; the group frame is lowered
    // below the boxes it surrounds, since a later sibling would lie on top.
    userNameBox = new QLineEdit(this);
    place(userNameBox, userNameRect);
    userNameBox->setAccessibleName(ToQString(UserTexts::userNameBox));
    passwordBox = new QLineEdit(this);
    place(passwordBox, passwordRect);
    passwordBox->setEchoMode(QLineEdit::Password);
    passwordBox->setAccessibleName(ToQString(UserTexts::passwordBox));

    logonButton = new IconButton(QStringLiteral("Logon"), this);
    place(logonButton, logonRect);
    logonButton->setDefault(true);
    cancelButton = new IconButton(QStringLiteral("Cancel"), this);
    place(cancelButton, cancelRect);

    userNameLabel = new QLabel(QStringLiteral("Username:"), this);
    place(userNameLabel, userNameLabelRect);
    userNameLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    passwordLabel = new QLabel(QStringLiteral("Password:"), this);
    place(passwordLabel, passwordLabelRect);
    passwordLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);

    logonInfoGroup = new QGroupBox(QStringLiteral("TarnFTP Logon Info:"), this);
    place(logonInfoGroup, logonInfoRect);
    logonInfoGroup->lower();

    rememberBox = new QCheckBox(QStringLiteral("Remember Logon Info"), this);
    place(rememberBox, rememberRect);
    signUpButton = new IconButton(QStringLiteral("Sign Up"), this);
    place(signUpButton, signUpRect);
    helpButton = new IconButton(QStringLiteral("Help"), this);
    place(helpButton, helpRect);

    QWidget* const tabOrder[] = {userNameBox, passwordBox,  logonButton, cancelButton,
                                 rememberBox, signUpButton, helpButton};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);

    cancelButton->SetIcon(cancelIcon);
    logonButton->SetIcon(logonIcon);
    signUpButton->SetIcon(helpIcon);
    helpButton->SetIcon(helpIcon);

    connect(logonButton, &QPushButton::clicked, this, [this] { OnLogon(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { reject(); });
    connect(signUpButton, &QPushButton::clicked, this, [this] { OnSignUp(); });
    connect(helpButton, &QPushButton::clicked, this, [this] { OnHelp(); });
}

void LogonWindow::RunReportingFailure(const std::function<void()>& command) {
    Text text;
    try {
        command();
        return;
    } catch (const CommandFailure& failure) {
        text = !failure.message.empty() ? failure.message : Text(UserTexts::internalError);
    } catch (...) {
        text = UserTexts::internalError;
    }
    ShowMessageBox(this, text, QMessageBox::Critical);
}

void LogonWindow::OnLogon() {
    RunReportingFailure([this] {
        // Whatever way the procedure ends, the window's wait cursors end with it.
        struct WaitCursorsEnd {
            LogonWindow& window;
            ~WaitCursorsEnd() {
                while (window.waitCursors > 0)
                    window.EndWaitCursor();
            }
        } end{*this};
        LogonProcedure procedure(*this, session, store,
                                 [this](std::int32_t mode, const Text& user, const SecretText& pw) {
                                     OpenDestination(shell, *this, fileManager, mode, user,
                                                     pw.view(), session.GetWebAppUrl(),
                                                     session.SessionId().view(), &mounter);
                                 });
        procedure.OnOK(launchMode);
    });
}

void LogonWindow::OnSignUp() {
    RunReportingFailure([this] {
        OpenSignUpPage(shell, *this, static_cast<ShellOwner>(winId()), session.GetWebAppUrl());
    });
}

void LogonWindow::OnHelp() {
    RunReportingFailure([this] {
        OpenHelpPage(shell, *this, static_cast<ShellOwner>(winId()), session.GetWebAppUrl());
    });
}

void LogonWindow::CopyControlsToMembers() {
    userName = FromQString(userNameBox->text());
    const QString typed = passwordBox->text();
    password = SecretText(TextView(reinterpret_cast<const char16_t*>(typed.utf16()),
                                   static_cast<std::size_t>(typed.size())));
}

void LogonWindow::ShowMessage(const Text& text) {
    ShowMessageBox(this, text, QMessageBox::Warning);
}

bool LogonWindow::AskYesNo(const Text& text) {
    return AskYesNoBox(this, text);
}

Text LogonWindow::LoadResourceString(unsigned id) const {
    if (id == UserTexts::logonServerUnavailableId)
        return UserTexts::logonServerUnavailable;
    if (id == UserTexts::logonFailedId)
        return UserTexts::logonFailed;
    return {};
}

void LogonWindow::BeginWaitCursor() {
    ++waitCursors;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void LogonWindow::EndWaitCursor() {
    if (waitCursors == 0)
        return;
    --waitCursors;
    QApplication::restoreOverrideCursor();
}

bool LogonWindow::IsRememberChecked() const {
    return rememberBox->isChecked();
}

void LogonWindow::CloseWithOk() {
    CopyControlsToMembers();
    accept();
}
