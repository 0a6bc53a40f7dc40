#include "framework/win/Dialog.h"

#include "common/CommandFailure.h"
#include "common/UserTexts.h"
#include "framework/win/ModalWait.h"
#include "framework/win/WideText.h"
#include "framework/win/WinApp.h"

namespace {

// The edit box's text goes straight into the member: no other buffer holds a copy. Both
// string kinds keep room for a terminator beyond their size.
template <typename String> void ExchangeText(HWND control, bool saving, String& value) {
    if (!saving) {
        SetWindowTextW(control, Wide(value));
        return;
    }
    int length = GetWindowTextLengthW(control);
    value.clear();
    value.resize(static_cast<size_t>(length));
    int copied = length ? GetWindowTextW(control, WideBuffer(value), length + 1) : 0;
    value.resize(static_cast<size_t>(copied > 0 ? copied : 0));
}

} // namespace

void DataExchange::TextField(int id, Text& value) {
    ExchangeText(GetDlgItem(dialog, id), saving, value);
}

void DataExchange::TextField(int id, SecretText& value) {
    ExchangeText(GetDlgItem(dialog, id), saving, value);
}

void DataExchange::Attach(int id, CButton& control) {
    if (!control.GetSafeHwnd())
        control.SubclassDlgItem(id, dialog);
}

INT_PTR CDialog::DoModal() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    DataExchange exchange(window, saveAndValidate != FALSE);
    DoDataExchange(exchange);
    return TRUE;
}

template <class Handler> void CDialog::RunReportingFailure(Handler handler, TextView noText) {
    // The handler is abandoned; the window stays open, unless the user ended a wait of the
    // handler with Cancel: then the window ends as Cancel ends it.
    std::optional<Text> failure;
    try {
        failure = RunCatchingFailure(handler, noText);
    } catch (const WaitCancelled&) {
        OnCancel();
        return;
    }
    if (failure)
        if (CWinApp* app = CWinApp::Current())
            app->ShowMessageBox(window, *failure, MB_OK | MB_ICONSTOP);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The object arrives with WM_INITDIALOG; messages before it (WM_SETFONT) have none.
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->window = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    }
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!dialog)
        return FALSE;
    INT_PTR result = dialog->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        dialog->window = nullptr;
        dialog->initialised = false;
    }
    return result;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        // While a command waits, the wait cursor shows over the window and its controls, whose
        // own handling asks the window first.
        if (message == WM_SETCURSOR && IsWaiting(window)) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        switch (message) {
        case WM_INITDIALOG: {
            // A failed initialisation is reported like a failed command; the window still
            // opens and answers its commands, so that Cancel, Esc and the close box end it.
            BOOL focusDefault = TRUE;
            RunReportingFailure([&] { focusDefault = OnInitDialog(); }, UserTexts::internalError);
            CenterInWorkArea();
            initialised = true;
            return focusDefault;
        }
        case WM_DRAWITEM: {
            // Owner-draw requests go to the control's own DrawItem.
            const auto* drawItem = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            CButton* button =
                drawItem->CtlType == ODT_BUTTON ? CButton::FromHandle(drawItem->hwndItem) : nullptr;
            if (!button)
                return FALSE;
            button->DrawItem(*drawItem);
            return TRUE;
        }
        case WM_COMMAND:
            // Filling the controls during initialisation must not run command handlers.
            if (initialised)
                DispatchCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return TRUE;
        default: {
            INT_PTR result = 0;
            if (OnMessage(message, wParam, lParam, result)) {
                SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
        }
        }
    } catch (...) {
        // Nothing may unwind through the window system; a failure here ends quietly.
        return FALSE;
    }
}

void CDialog::DispatchCommand(WORD id, WORD code, HWND control) {
    // While a command waits, no other command starts; Cancel ends the wait, and the command
    // that waited then closes the window.
    if (IsWaiting(window)) {
        if (id == IDCANCEL && (code == BN_CLICKED || !control))
            CancelWait(window);
        return;
    }
    RunReportingFailure(
        [&] {
            if (id == IDOK && (code == BN_CLICKED || !control))
                OnOK();
            else if (id == IDCANCEL && (code == BN_CLICKED || !control))
                OnCancel();
            else
                OnCommand(id, code);
        },
        control ? UserTexts::internalError : UserTexts::commandFailed);
}

void CDialog::CenterInWorkArea() {
    // The template gives no position of its own, so the window goes to the middle of the
    // work area of the monitor it is on (or of its owner's, when it has one).
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return;
    MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
    HMONITOR nearest = MonitorFromWindow(parent ? parent : window, MONITOR_DEFAULTTOPRIMARY);
    if (!GetMonitorInfoW(nearest, &monitor))
        return;
    const RECT& area = monitor.rcWork;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(window, nullptr, x < area.left ? area.left : x, y < area.top ? area.top : y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
