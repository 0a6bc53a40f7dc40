#pragma once

#include "controls/IconButtonFace.h"
#include "controls/win/ButtonIcons.h"
#include "controls/win/IconButtonHost.h"
#include "controls/win/IconButtonStates.h"
#include "framework/win/Button.h"

#include <cstdint>
#include <optional>

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

    // Loads the icons from this program's resources at the size for the window's screen
    // density and places the normal one `margin` pixels from the left, centred vertically
    // on the window's current height. A pressed or hover id of 0, or one that cannot be
    // loaded, uses the normal icon. When the normal icon cannot be loaded the button has
    // none. The icon always sits at the left. Call after attaching.
    void SetIcon(unsigned normalIconId, unsigned pressedIconId, unsigned hoverIconId);

    // The window now shows at `dpi` dots per inch: the pixel sizes, the caption font and
    // the icons follow, and the icon is placed again on the window's current height.
    void OnDpiChanged(UINT dpi);

    void PreSubclassWindow() override;
    void DrawItem(const DRAWITEMSTRUCT& drawItem) override;

    // What a draw request with these flags, rectangle and caption paints.
    ButtonFace FaceFor(std::uint32_t itemState, const RECT& item, TextView caption) const;

    HICON NormalIcon() const { return icons.Normal(); }
    HICON PressedIcon() const { return icons.Pressed(); }
    HICON HoverIcon() const { return icons.Hover(); }
    RECT IconRect() const { return iconRect; }
    HFONT CaptionFont() const { return captionFont.get(); }
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

    void UseDpi(UINT dpi);
    void LoadIcons();

    struct IconIds {
        unsigned normal = 0;
        unsigned pressed = 0;
        unsigned hover = 0;
    };

    IconButtonStates states{*this}; // hovering, mouseDown
    FaceMetrics metrics;            // margin and the other pixel sizes
    UniqueFont captionFont;         // none: the stock GUI font
    COLORREF textColor;
    std::optional<IconIds> iconIds; // what SetIcon was given, to load again at another density
    ButtonIcons icons;
    RECT iconRect{};
};
