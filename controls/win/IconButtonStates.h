#pragma once

#include "controls/Canvas.h"
#include "controls/IconButtonHover.h"
#include "controls/win/IconButtonHost.h"

#include <cstdint>

// The icon button's mouse handling on the standard push-button control: the hover
// highlight, and the pressed state while the mouse is dragged. Each On... handles one message of
// the button and returns the message's result; the messages the standard control sees as well are
// handed on through the host at the point where the order matters: the hover request is withdrawn
// before a press is passed on, the press is noted after it, and the release is noted before it is
// passed on, so the draw requests the control issues while handling them see the right flags.
class IconButtonStates {
public:
    explicit IconButtonStates(IconButtonHost& host) : host(host) {}

    // The mouse is over the button and a leave notification has been requested.
    bool Hovering() const { return hover.Hovering(); }
    // The left button went down on this button and has not come up yet.
    bool MouseDown() const { return mouseDown; }

    std::intptr_t OnMouseMove(CanvasPoint clientPoint);
    std::intptr_t OnMouseLeave();
    std::intptr_t OnLButtonDown();
    std::intptr_t OnLButtonUp();
    std::intptr_t OnLButtonDblClk();
    std::intptr_t OnKillFocus();
    std::intptr_t OnEraseBackground();
    // A push button keeps no check state: setting it only repaints, reading or clearing it
    // gives 0 (unchecked).
    std::intptr_t OnSetCheck();
    std::intptr_t OnGetCheck();
    std::intptr_t OnClearCheck();

    // Run first in every draw request: while the button is being dragged, brings the
    // control's pushed state in step with the cursor. Returns false when it changed the
    // state; the control then issues a fresh draw request, and this one paints nothing.
    bool SyncPushedBeforeDraw();

private:
    bool Dragging() { return mouseDown && host.HoldsCapture(); }

    IconButtonHost& host;
    IconButtonHover hover;
    bool mouseDown = false;
};
