#pragma once

#include <windows.h>

// The framework's button: binds to an existing control of a dialog and subclasses it (its
// window procedure is replaced, the object is kept in a window property), so a derived
// class sees the control's messages before the standard control does and paints it when
// the dialog forwards the control's owner-draw requests.
//
// The control is unhooked when the object goes or when the window is destroyed, whichever
// comes first. No exception leaves the window procedure.
class CButton {
public:
    CButton() = default;
    CButton(const CButton&) = delete;
    CButton& operator=(const CButton&) = delete;
    virtual ~CButton();

    // Binds to the dialog's control with this id, or to this control. Runs
    // PreSubclassWindow, then hooks the control. False when there is no such control, the
    // object is bound already, or the hook cannot be set.
    bool SubclassDlgItem(int controlId, HWND dialog);
    bool SubclassWindow(HWND control);
    // Unhooks the control and forgets it; the window itself stays.
    void UnsubclassWindow();

    HWND GetSafeHwnd() const { return hwnd; }

    // The button object bound to this control, or null.
    static CButton* FromHandle(HWND control);

    // The attach hook: the window is known (GetSafeHwnd) but not hooked yet.
    virtual void PreSubclassWindow() {}
    // The draw hook, for each owner-draw request of this control.
    virtual void DrawItem(const DRAWITEMSTRUCT& drawItem);

protected:
    // Each message of the control; the default hands it on to the standard control.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Hands the message on to the standard control.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd = nullptr;
    WNDPROC standardProc = nullptr;
};
