#pragma once

#include "controls/Canvas.h"

#include <cstdint>
#include <optional>

// What the icon button's mouse handling asks of the standard push-button control it
// subclasses: the message being handled, the capture, the pushed state, the leave
// notification. The tests' host records the calls.
class IconButtonHost {
public:
    virtual ~IconButtonHost() = default;

    // Hands the message being handled on to the standard push-button control and returns
    // its result. The control's own press, release and click happen in here, with the draw
    // requests they issue.
    virtual std::intptr_t PassOn() = 0;

    // Sends the press of the message being handled (a double click's key flags and
    // position) to the button itself, as a plain left-button press.
    virtual void SendPressToSelf() = 0;

    // Whether this button holds the mouse capture.
    virtual bool HoldsCapture() = 0;
    virtual void ReleaseCapture() = 0;

    // Whether the window under the point (in the button's client coordinates) is this very
    // button; another window lying over it counts as not over the button.
    virtual bool IsOverButton(CanvasPoint clientPoint) = 0;
    // The same for the cursor's current position; nothing when it cannot be read.
    virtual std::optional<bool> IsCursorOverButton() = 0;

    // The standard control's pushed state. Changing it makes the control issue a new draw
    // request.
    virtual bool IsPushed() = 0;
    virtual void SetPushed(bool pushed) = 0;

    // Asks for one leave notification when the mouse leaves, or withdraws that request.
    // Both return whether the platform accepted.
    virtual bool RequestLeaveNotification() = 0;
    virtual bool WithdrawLeaveNotification() = 0;

    // Schedules a repaint of the whole button, the background erase included.
    virtual void Repaint() = 0;
};
