#include "framework/win/ModalWait.h"

#include "framework/win/WinApp.h"

#include <utility>
#include <vector>

namespace {

// The waits running on the window's thread, innermost first. Only that thread touches them.
struct RunningWait {
    HWND window;
    RunningWait* outer;
    bool cancelled = false;
};
RunningWait* innermost = nullptr;

// How long a wait first blocks without running messages: most exchanges end sooner, and the
// window then is not repainted disabled and enabled again. It stays far below the time after
// which a window counts as not answering.
constexpr DWORD quietWaitMs = 250;

RunningWait* WaitOver(HWND window) {
    for (RunningWait* wait = innermost; wait; wait = wait->outer)
        if (wait->window == window)
            return wait;
    return nullptr;
}

// Every control of the window but Cancel disabled, the focus on Cancel and the wait cursor
// shown, for as long as it lives; then each control it disabled is enabled again and the
// focus goes back to the control that had it.
class ControlsDisabled {
public:
    explicit ControlsDisabled(HWND window) : window(window) {
        HWND cancel = GetDlgItem(window, IDCANCEL);
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) {
            focusBefore = focus;
            // Moved before the controls are disabled: a disabled control that keeps the focus
            // would leave the keyboard (Escape, Tab) nowhere.
            if (cancel && focus != cancel && IsWindowEnabled(cancel))
                SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cancel), TRUE);
        }
        for (HWND child = GetWindow(window, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (child != cancel && IsWindowEnabled(child)) {
                EnableWindow(child, FALSE);
                disabled.push_back(child);
            }
        }
        if (CWinApp* app = CWinApp::Current())
            app->BeginWaitCursor();
    }

    ~ControlsDisabled() {
        if (CWinApp* app = CWinApp::Current())
            app->EndWaitCursor();
        for (HWND child : disabled)
            if (IsWindow(child))
                EnableWindow(child, TRUE);
        if (focusBefore && IsWindow(focusBefore) && GetFocus() != focusBefore &&
            IsChild(window, GetFocus()))
            SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focusBefore), TRUE);
    }

    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    HWND window;
    HWND focusBefore = nullptr;
    std::vector<HWND> disabled;
};

class WaitRegistered {
public:
    explicit WaitRegistered(RunningWait& wait) : wait(wait) { innermost = &wait; }
    ~WaitRegistered() { innermost = wait.outer; }
    WaitRegistered(const WaitRegistered&) = delete;
    WaitRegistered& operator=(const WaitRegistered&) = delete;

private:
    RunningWait& wait;
};

} // namespace

WaitEnd WaitWithWindowAnswering(HWND window, HANDLE done, DWORD limitMs) {
    if (!window || !IsWindow(window))
        return WaitForSingleObject(done, limitMs) == WAIT_OBJECT_0 ? WaitEnd::Done
                                                                   : WaitEnd::TimedOut;
    const ULONGLONG end = GetTickCount64() + limitMs;
    if (WaitForSingleObject(done, limitMs < quietWaitMs ? limitMs : quietWaitMs) == WAIT_OBJECT_0)
        return WaitEnd::Done;
    RunningWait wait{window, innermost};
    WaitRegistered registered(wait);
    ControlsDisabled controls(window);
    for (;;) {
        if (wait.cancelled || !IsWindow(window))
            return WaitEnd::Cancelled;
        if (WaitForSingleObject(done, 0) == WAIT_OBJECT_0)
            return WaitEnd::Done;
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return WaitEnd::TimedOut;
        MsgWaitForMultipleObjectsEx(1, &done, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        MSG message;
        while (!wait.cancelled && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Left for the loop outside, which ends on it as well.
                PostQuitMessage(static_cast<int>(message.wParam));
                return WaitEnd::Cancelled;
            }
            if (!IsDialogMessageW(window, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
}

bool IsWaiting(HWND window) {
    return WaitOver(window) != nullptr;
}

void CancelWait(HWND window) {
    if (RunningWait* wait = WaitOver(window))
        wait->cancelled = true;
}
