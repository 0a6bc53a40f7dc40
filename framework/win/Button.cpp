#include "framework/win/Button.h"

namespace {

// The window property that holds the bound object.
constexpr wchar_t objectProperty[] = L"TarnFtp.CButton";

} // namespace

CButton::~CButton() {
    UnsubclassWindow();
}

bool CButton::SubclassDlgItem(int controlId, HWND dialog) {
    return SubclassWindow(GetDlgItem(dialog, controlId));
}

bool CButton::SubclassWindow(HWND control) {
    if (hwnd || !control || !IsWindow(control) || FromHandle(control))
        return false;
    hwnd = control;
    PreSubclassWindow();
    // The property comes first: the hook may be called as soon as it is in place.
    if (!SetPropW(control, objectProperty, this)) {
        hwnd = nullptr;
        return false;
    }
    SetLastError(0);
    standardProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc)));
    if (!standardProc && GetLastError() != 0) {
        RemovePropW(control, objectProperty);
        hwnd = nullptr;
        return false;
    }
    return true;
}

void CButton::UnsubclassWindow() {
    if (!hwnd)
        return;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(standardProc));
    RemovePropW(hwnd, objectProperty);
    hwnd = nullptr;
    standardProc = nullptr;
}

CButton* CButton::FromHandle(HWND control) {
    return control ? static_cast<CButton*>(GetPropW(control, objectProperty)) : nullptr;
}

void CButton::DrawItem(const DRAWITEMSTRUCT&) {}

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT CButton::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(standardProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CButton::HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CButton* button = FromHandle(window);
    if (!button) {
        // The hook outlived its object (a later subclass kept it in its chain): everything goes
        // to the standard control, which is the class's own procedure.
        auto standard = reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC));
        return CallWindowProcW(standard, window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The standard control gets its last message after the hook is gone.
        WNDPROC standard = button->standardProc;
        button->UnsubclassWindow();
        return CallWindowProcW(standard, window, message, wParam, lParam);
    }
    try {
        return button->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing can be reported from inside a control's window procedure; the message
        // counts as handled.
        return 0;
    }
}
