#include "logon/win/LogonDialog.h"

#include "common/UserTexts.h"
#include "framework/win/WideText.h"
#include "framework/win/WinApp.h"
#include "framework/win/WindowDpi.h"
#include "logon/LogonCaptions.h"
#include "res/resource.h"

static_assert(IDS_LOGON_SERVER_UNAVAILABLE == UserTexts::logonServerUnavailableId &&
                  IDS_LOGON_FAILED == UserTexts::logonFailedId,
              "the string table and the texts' home name the same entries");

namespace {

CWinApp& App() {
    return *CWinApp::Current();
}

// Posted by OnInitDialog and handled before the window shows, since the dialog manager shows
// the window only once its queue has first run dry: a screen reader's first look at the focused
// box finds its name. The price is COM and oleacc loaded before the window shows.
constexpr UINT nameEditBoxesMessage = WM_APP + 1;

} // namespace

CLogonDialog::CLogonDialog(ServiceSession& session, const Clock& clock)
    : CDialog(IDD_LOGON), store(clock, GetApplicationDataFolder()),
      controller(session, store, shell, fileManager),
      applicationIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

void CLogonDialog::DoDataExchange(DataExchange& exchange) {
    exchange.TextField(IDC_USERNAME, userName);
    exchange.TextField(IDC_PASSWORD, password);
    exchange.Attach(IDC_REMEMBER, rememberBox);
    exchange.Attach(IDCANCEL, cancelButton);
    exchange.Attach(IDOK, logonButton);
    exchange.Attach(IDC_SIGNUP, signUpButton);
    exchange.Attach(ID_HELP, helpButton);
}

BOOL CLogonDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    App().SetMainWindow(Handle());
    ShowTexts();

    SetWindowIcons(WindowDpi(Handle()));

    cancelButton.SetIcon(IDI_CANCEL, 0, 0);
    logonButton.SetIcon(IDI_LOGON, 0, 0);
    signUpButton.SetIcon(IDI_HELP, 0, 0);
    helpButton.SetIcon(IDI_HELP, 0, 0);

    // A taskbar button, since no visible main window of the application has one.
    HWND mainWindow = App().MainWindow();
    if (!mainWindow || !IsWindowVisible(mainWindow)) {
        LONG_PTR extended = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
        SetWindowLongPtrW(Handle(), GWL_EXSTYLE, extended | WS_EX_APPWINDOW);
    }

    LogonInfo remembered = controller.RestoreLogonInfo();
    userName = std::move(remembered.user);
    password = std::move(remembered.password);
    if (!userName.empty()) {
        UpdateData(FALSE);
        SendMessageW(rememberBox.GetSafeHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    }
    PostMessageW(Handle(), nameEditBoxesMessage, 0, 0);
    return TRUE;
}

void CLogonDialog::OnOK() {
    controller.OnLogon(*this);
}

bool CLogonDialog::OnCommand(WORD id, WORD code) {
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_SIGNUP:
        OnSignUpButton();
        return true;
    case ID_HELP:
        OnHelpButton();
        return true;
    default:
        return false;
    }
}

bool CLogonDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    switch (message) {
    case nameEditBoxesMessage:
        NameEditBoxes();
        result = 0;
        return true;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam));
        // Not handled, so that the dialog manager lays the template out again at the new density.
        return false;
    case WM_DESTROY:
        accessibleNames.Clear();
        return false;
    default:
        return false;
    }
}

// The template's texts are the English ones; the user's language's go in before the window
// shows. The controls were made in the template's order, so the children stand in it.
void CLogonDialog::ShowTexts() {
    SetWindowTextW(Handle(), Wide(LogonCaptions::title));
    HWND control = GetWindow(Handle(), GW_CHILD);
    for (const auto& caption : LogonCaptions::rows) {
        if (!control)
            break;
        if (caption)
            SetWindowTextW(control, Wide(*caption));
        control = GetWindow(control, GW_HWNDNEXT);
    }
}

// Each edit box comes before its label in the tab order, so a screen reader, which names an
// edit box after the label in front of it, would announce them without a name.
void CLogonDialog::NameEditBoxes() {
    accessibleNames.Set(GetDlgItem(Handle(), IDC_USERNAME), UserTexts::userNameBox);
    accessibleNames.Set(GetDlgItem(Handle(), IDC_PASSWORD), UserTexts::passwordBox);
}

void CLogonDialog::OnDpiChanged(UINT dpi) {
    SetWindowIcons(dpi);
    for (CIconButton* button : {&cancelButton, &logonButton, &signUpButton, &helpButton})
        button->OnDpiChanged(dpi);
}

// The shared icon at the standard density; elsewhere images of the sizes the window's
// large and small icons are drawn at.
void CLogonDialog::SetWindowIcons(UINT dpi) {
    HICON bigIcon = applicationIcon;
    HICON smallIcon = applicationIcon;
    UniqueIcon newBig;
    UniqueIcon newSmall;
    if (dpi != USER_DEFAULT_SCREEN_DPI) {
        const auto load = [dpi](int size) {
            const int scaled = MulDiv(size, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
            return UniqueIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                            MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                            IMAGE_ICON, scaled, scaled, 0)));
        };
        newBig = load(32);
        newSmall = load(16);
        if (newBig && newSmall)
            bigIcon = newBig.get(), smallIcon = newSmall.get();
    }
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    // The icons the window showed until now are destroyed only once it has let them go.
    scaledBigIcon = std::move(newBig);
    scaledSmallIcon = std::move(newSmall);
}

void CLogonDialog::OnSignUpButton() {
    controller.OnSignUp(*this, reinterpret_cast<ShellOwner>(Handle()));
}

void CLogonDialog::OnHelpButton() {
    controller.OnHelp(*this, reinterpret_cast<ShellOwner>(Handle()));
}

void CLogonDialog::CopyControlsToMembers() {
    UpdateData(TRUE);
}

void CLogonDialog::ShowMessage(const Text& text) {
    App().ShowMessageBox(Handle(), text, MB_OK);
}

bool CLogonDialog::AskYesNo(const Text& text) {
    return MessageBoxW(Handle(), Wide(text), Wide(App().AppName()), MB_YESNO) == IDYES;
}

void CLogonDialog::BeginWaitCursor() {
    App().BeginWaitCursor();
}

void CLogonDialog::EndWaitCursor() {
    App().EndWaitCursor();
}

bool CLogonDialog::IsRememberChecked() const {
    return SendMessageW(rememberBox.GetSafeHwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CLogonDialog::CloseWithOk() {
    CDialog::OnOK();
}
