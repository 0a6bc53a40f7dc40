#include "logon/linux/LogonWindow.h"

#include "common/CommandFailure.h"
#include "common/UserTexts.h"
#include "common/WaitCancelled.h"
#include "common/linux/EventLoopWait.h"
#include "common/linux/QtText.h"
#include "controls/linux/IconButton.h"
#include "logon/LogonCaptions.h"
#include "logon/LogonTemplate.h"
#include "logon/linux/DialogUnits.h"
#include "logon/linux/MessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <utility>

namespace {

// The dialog template's rows, by the names the window gives their widgets, and each row's
// rectangle in dialog units.
enum class TemplateRow {
#define TEMPLATE_ROW_NAME(name, ...) name,
    LOGON_TEMPLATE_CONTROLS(TEMPLATE_ROW_NAME)
#undef TEMPLATE_ROW_NAME
};

struct TemplateControl {
    QRect units;
};

constexpr TemplateControl templateControls[] = {
#define TEMPLATE_CONTROL(name, caption, id, windowClass, style, x, y, width, height)               \
    {QRect(x, y, width, height)},
    LOGON_TEMPLATE_CONTROLS(TEMPLATE_CONTROL)
#undef TEMPLATE_CONTROL
};

const TemplateControl& ControlOf(TemplateRow row) {
    return templateControls[static_cast<std::size_t>(row)];
}

QString CaptionOf(TemplateRow row) {
    const auto& caption = LogonCaptions::rows[static_cast<std::size_t>(row)];
    return caption ? ToQString(*caption) : QString();
}

const QString applicationIcon = QStringLiteral(":/icons/app.ico");
const QString logonIcon = QStringLiteral(":/icons/logon.ico");
const QString cancelIcon = QStringLiteral(":/icons/cancel.ico");
const QString helpIcon = QStringLiteral(":/icons/help.ico");

} // namespace

LogonWindow::LogonWindow(ServiceSession& session, LogonStore& store, Shell& shell,
                         const FileManagerLocator& fileManager, StorageMounter& mounter)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      controller(session, store, shell, fileManager, &mounter) {
    setWindowTitle(ToQString(LogonCaptions::title));
    setWindowIcon(QIcon(applicationIcon));
    setFont(DialogFont());
    MakeControls();

    // A remembered user name shows both credentials and the box checked; a password alone
    // stays in the member, and the next logon takes the (empty) boxes' contents.
    LogonInfo restored = controller.RestoreLogonInfo();
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
    QFont font(QStringLiteral("DejaVu Sans"), LOGON_TEMPLATE_POINT_SIZE);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void LogonWindow::MakeControls() {
    const DialogBaseUnits base = BaseUnitsOf(font(), this);
    setFixedSize(
        DialogUnitsToPixels(QRect(0, 0, LOGON_TEMPLATE_WIDTH, LOGON_TEMPLATE_HEIGHT), base).size());
    QWidget* controls[std::size(templateControls)] = {};
    const auto place = [&](QWidget* control, TemplateRow row) {
        control->setGeometry(DialogUnitsToPixels(ControlOf(row).units, base));
        controls[static_cast<std::size_t>(row)] = control;
    };

    userNameBox = new QLineEdit(this);
    place(userNameBox, TemplateRow::userNameBox);
    userNameBox->setAccessibleName(ToQString(UserTexts::userNameBox));
    passwordBox = new QLineEdit(this);
    place(passwordBox, TemplateRow::passwordBox);
    passwordBox->setEchoMode(QLineEdit::Password);
    passwordBox->setAccessibleName(ToQString(UserTexts::passwordBox));

    logonButton = new IconButton(CaptionOf(TemplateRow::logonButton), this);
    place(logonButton, TemplateRow::logonButton);
    logonButton->setDefault(true);
    cancelButton = new IconButton(CaptionOf(TemplateRow::cancelButton), this);
    place(cancelButton, TemplateRow::cancelButton);

    userNameLabel = new QLabel(CaptionOf(TemplateRow::userNameLabel), this);
    place(userNameLabel, TemplateRow::userNameLabel);
    userNameLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    passwordLabel = new QLabel(CaptionOf(TemplateRow::passwordLabel), this);
    place(passwordLabel, TemplateRow::passwordLabel);
    passwordLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);

    // The group frame is lowered below the boxes it surrounds, since a later sibling would
    // lie on top.
    logonInfoGroup = new QGroupBox(CaptionOf(TemplateRow::logonInfoGroup), this);
    place(logonInfoGroup, TemplateRow::logonInfoGroup);
    logonInfoGroup->lower();

    rememberBox = new QCheckBox(CaptionOf(TemplateRow::rememberBox), this);
    place(rememberBox, TemplateRow::rememberBox);
    signUpButton = new IconButton(CaptionOf(TemplateRow::signUpButton), this);
    place(signUpButton, TemplateRow::signUpButton);
    helpButton = new IconButton(CaptionOf(TemplateRow::helpButton), this);
    place(helpButton, TemplateRow::helpButton);

    // The template's order is the tab order of the controls that take the focus.
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (!(control->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }

    cancelButton->SetIcon(cancelIcon);
    logonButton->SetIcon(logonIcon);
    signUpButton->SetIcon(helpIcon);
    helpButton->SetIcon(helpIcon);

    connect(logonButton, &QPushButton::clicked, this, [this] { OnLogon(); });
    // During a wait Cancel ends the wait, and the command that waited then closes the window.
    cancelButton->setProperty(endsWaitsProperty, true);
    connect(cancelButton, &QPushButton::clicked, this, [this] {
        if (!CancelRunningWait())
            reject();
    });
    connect(signUpButton, &QPushButton::clicked, this, [this] { OnSignUp(); });
    connect(helpButton, &QPushButton::clicked, this, [this] { OnHelp(); });
}

void LogonWindow::RunReportingFailure(const std::function<void()>& command) {
    // A command that reaches the window during a wait other than by its input (an assistive
    // technology's action) would otherwise run inside the waiting one.
    if (WaitIsRunning())
        return;
    try {
        if (const std::optional<Text> failure = RunCatchingFailure(command))
            ShowMessageBox(this, *failure, QMessageBox::Critical);
    } catch (const WaitCancelled&) {
        reject();
    }
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
        controller.OnLogon(*this);
    });
}

void LogonWindow::OnSignUp() {
    RunReportingFailure([this] { controller.OnSignUp(*this, static_cast<ShellOwner>(winId())); });
}

void LogonWindow::OnHelp() {
    RunReportingFailure([this] { controller.OnHelp(*this, static_cast<ShellOwner>(winId())); });
}

void LogonWindow::CopyControlsToMembers() {
    userName = FromQString(userNameBox->text());
    const QString typed = passwordBox->text();
    password = SecretText(ViewOf(typed));
}

void LogonWindow::ShowMessage(const Text& text) {
    ShowMessageBox(this, text, QMessageBox::Warning);
}

bool LogonWindow::AskYesNo(const Text& text) {
    return AskYesNoBox(this, text);
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
