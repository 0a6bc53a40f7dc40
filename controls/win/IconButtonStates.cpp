#include "controls/win/IconButtonStates.h"

std::intptr_t IconButtonStates::OnMouseMove(CanvasPoint clientPoint) {
    if (Dragging()) {
        const bool over = host.IsOverButton(clientPoint);
        if (host.IsPushed() != over) {
            host.SetPushed(over);
            host.Repaint();
        }
    } else if (hover.OnMouseOver([this] { return host.RequestLeaveNotification(); })) {
        host.Repaint();
    }
    return host.PassOn();
}

std::intptr_t IconButtonStates::OnMouseLeave() {
    hover.OnMouseLeave();
    host.Repaint();
    return 0;
}

std::intptr_t IconButtonStates::OnLButtonDown() {
    hover.OnPress([this] { return host.WithdrawLeaveNotification(); });
    const std::intptr_t result = host.PassOn();
    mouseDown = true;
    return result;
}

std::intptr_t IconButtonStates::OnLButtonUp() {
    mouseDown = false;
    return host.PassOn();
}

std::intptr_t IconButtonStates::OnLButtonDblClk() {
    host.SendPressToSelf();
    return 0;
}

std::intptr_t IconButtonStates::OnKillFocus() {
    if (host.HoldsCapture()) {
        host.ReleaseCapture();
        mouseDown = false;
    }
    return host.PassOn();
}

std::intptr_t IconButtonStates::OnEraseBackground() {
    return 1;
}

std::intptr_t IconButtonStates::OnSetCheck() {
    host.Repaint();
    return 0;
}

std::intptr_t IconButtonStates::OnGetCheck() {
    return 0;
}

std::intptr_t IconButtonStates::OnClearCheck() {
    return 0;
}

bool IconButtonStates::SyncPushedBeforeDraw() {
    if (!Dragging())
        return true;
    const std::optional<bool> over = host.IsCursorOverButton();
    if (!over)
        return true;
    const bool pushed = host.IsPushed();
    if (*over == pushed)
        return true;
    host.SetPushed(*over);
    return false;
}
