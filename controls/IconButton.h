#pragma once

#include "controls/ButtonIcons.h"
#include "controls/IconButtonFace.h"
#include "controls/IconButtonHost.h"
#include "controls/IconButtonStates.h"
#include "framework/Button.h"

#include <cstdint>

// An owner-drawn push button with an icon at its left and the caption beside it, a hover
// highlight, a sunken face while pressed and corner marks for the focus, painted through
// an off-screen surface. Clicking, keyboard, focus and capture stay with the standard
// control, which sees every message the button does not answer itself.
//
// Use: construct, attach to the control (CButton::SubclassDlgItem), SetIcon, and have the
// parent forward the control's WM_DRAWITEM to DrawItem.
class CIconButton : public CButton, private IconButtonHost {
public:
    CIconButton();
    ~CIconButton() override;

    // Loads the icons from this program's resources and places the normal one `margin`
    // pixels from the left, centred vertically on the window's current height. A pressed or
    // hover id of 0, or one that cannot be loaded, uses the normal icon. When the normal
    // icon cannot be loaded the button has none. The icon always sits at the left
    // (BS_LEFT); `alignment` is accepted for that value only. Call after attaching.
    void SetIcon(unsigned normalIconId, unsigned alignment, unsigned pressedIconId,
                 unsigned hoverIconId);

    void PreSubclassWindow() override;
    void DrawItem(const DRAWITEMSTRUCT& drawItem) override;

    // What a draw request with these flags, rectangle and caption paints.
    ButtonFace FaceFor(std::uint32_t itemState, const RECT& item, TextView caption) const;

    HICON NormalIcon() const { return icons.Normal(); }
    HICON PressedIcon() const { return icons.Pressed(); }
    HICON HoverIcon() const { return icons.Hover(); }
    RECT IconRect() const { return iconRect; }
    bool Hovering() const { return states.Hovering(); }
    bool MouseDown() const { return states.MouseDown(); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::intptr_t PassOn() override;
    void SendPressToSelf() override;
    bool HoldsCapture() override;
    void ReleaseCapture() override;
    bool IsOverButton(CanvasPoint clientPoint) override;
    std::optional<bool> IsCursorOverButton() override;
    bool IsPushed() override;
    void SetPushed(bool pushed) override;
    bool RequestLeaveNotification() override;
    bool WithdrawLeaveNotification() override;
    void Repaint() override;

    struct Message {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    // The message being handled, for PassOn and SendPressToSelf.
    Message current;

    IconButtonStates states{*this}; // hovering, mouseDown
    std::int16_t margin = 3;
    COLORREF textColor;
    ButtonIcons icons;
    RECT iconRect{};
};
