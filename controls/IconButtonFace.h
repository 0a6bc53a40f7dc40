#pragma once

#include "controls/Canvas.h"
#include "controls/FaceMetrics.h"

#include <cstdint>

// The system colours one draw request paints with; read afresh for every request.
struct FaceColours {
    Colour buttonFace = 0;
    Colour buttonShadow = 0;
    Colour grayText = 0;
    Colour buttonHighlight = 0;
    Colour infoBackground = 0;
};

// The icons of a button. `pressed` and `hover` may be the same icon as `normal`; with no
// normal icon all three are none.
struct FaceIcons {
    CanvasIcon normal = CanvasIcon::none;
    CanvasIcon pressed = CanvasIcon::none;
    CanvasIcon hover = CanvasIcon::none;
};

// Everything one draw request of the icon button paints from.
struct ButtonFace {
    std::uint32_t itemState = 0; // item_state flags
    CanvasRect item;             // the client area; left and top are 0
    TextView caption;
    bool hovering = false;
    FaceMetrics metrics;   // the pixel sizes at the window's screen density
    Colour textColour = 0; // caption in the enabled states, hover and pressed focus marks
    FaceIcons icons;
    CanvasRect iconRect;
    FaceColours colours;
};

// Where the icon goes: its own size, `margin` from the left edge and centred vertically,
// never above the top edge.
CanvasRect IconRectFor(std::int32_t iconWidth, std::int32_t iconHeight, std::int32_t buttonHeight,
                       std::int32_t margin);

// The caption's rectangle: margin + caption gap in from both sides, and right of the icon
// when there is one.
CanvasRect CaptionRect(const ButtonFace& face);

// Paints the whole face: fill, icon, frame, focus and hover marks, caption.
void PaintButtonFace(Canvas& canvas, const ButtonFace& face);
