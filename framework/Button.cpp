#include "framework/Button.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR buttonSubclassId = 1;

// Asked of a control, answered by its subclass procedure with the bound object.
UINT ObjectQueryMessage() {
    static const UINT message = RegisterWindowMessageW(L"TarnFtp.CButton.Object");
    return message;
}

} // namespace

CButton::~CButton() {
    UnsubclassWindow();
}

bool CButton::SubclassDlgItem(int controlId, HWND dialog) {
    return SubclassWindow(GetDlgItem(dialog, controlId));
}

bool CButton::SubclassWindow(HWND control) {
    if (hwnd || !control || !IsWindow(control))
        return false;
    hwnd = control;
    PreSubclassWindow();
    if (!SetWindowSubclass(control, SubclassProc, buttonSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
        hwnd = nullptr;
        return false;
    }
    return true;
}

void CButton::UnsubclassWindow() {
    if (hwnd)
        RemoveWindowSubclass(hwnd, SubclassProc, buttonSubclassId);
    hwnd = nullptr;
}

CButton* CButton::FromHandle(HWND control) {
    if (!control)
        return nullptr;
    return reinterpret_cast<CButton*>(SendMessageW(control, ObjectQueryMessage(), 0, 0));
}

void CButton::DrawItem(const DRAWITEMSTRUCT&) {}

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT CButton::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CButton::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR refData) {
    auto* button = reinterpret_cast<CButton*>(refData);
    if (message == WM_NCDESTROY) {
        button->UnsubclassWindow();
        return DefSubclassProc(window, message, wParam, lParam);
    }
    if (message == ObjectQueryMessage())
        return reinterpret_cast<LRESULT>(button);
    try {
        return button->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing can be reported from inside a control's window procedure; the message
        // counts as handled.
        return 0;
    }
}
