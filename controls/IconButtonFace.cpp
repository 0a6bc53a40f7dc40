#include "controls/IconButtonFace.h"

#include "controls/CornerMarks.h"
#include "controls/OwnerDrawConstants.h"

#include <algorithm>

namespace {

bool Has(std::uint32_t itemState, std::uint32_t flag) {
    return (itemState & flag) != 0;
}

// The light top row and left column (each short of its last pixel) and the dark right column
// and bottom row (each whole) of the idle face's one-pixel frame.
void DrawFlatFrame(Canvas& canvas, const CanvasRect& r, const FaceColours& colours) {
    canvas.FillRect({r.left, r.top, r.right - 1, r.top + 1}, colours.buttonHighlight);
    canvas.FillRect({r.left, r.top, r.left + 1, r.bottom - 1}, colours.buttonHighlight);
    canvas.FillRect({r.right - 1, r.top, r.right, r.bottom}, colours.buttonShadow);
    canvas.FillRect({r.left, r.bottom - 1, r.right, r.bottom}, colours.buttonShadow);
}

void PaintDisabled(Canvas& canvas, const ButtonFace& face, CanvasRect& caption) {
    canvas.FillRect(face.item, face.colours.buttonFace);
    if (face.icons.normal != CanvasIcon::none)
        canvas.DrawIcon(face.icons.normal, face.iconRect, IconLook::disabled);
    canvas.DrawEdge(face.item, EdgeStyle::raised);
    // An embossed caption: a light copy, then the gray one a pixel up and left of it.
    canvas.SetTextColour(face.colours.buttonHighlight);
    canvas.WriteText(face.caption, caption, text_format::caption);
    canvas.SetTextColour(face.colours.grayText);
    caption = caption.Moved(-1, -1);
}

// Returns the rectangle the focus marks go on.
CanvasRect PaintPressed(Canvas& canvas, const ButtonFace& face, CanvasRect& caption) {
    canvas.FillRect(face.item, face.colours.buttonHighlight);
    if (face.hovering)
        DrawCornerMarks(canvas, face.item, face.textColour, 0, face.metrics);
    const std::int32_t inset = face.metrics.inset;
    if (face.icons.pressed != CanvasIcon::none)
        canvas.DrawIcon(face.icons.pressed, face.iconRect.Moved(inset, inset), IconLook::normal);
    caption = caption.Moved(inset, inset);
    canvas.DrawEdge(face.item, EdgeStyle::sunken);
    return face.item;
}

// Returns the rectangle the focus marks go on; `marksDrawn` tells whether hover marks were.
CanvasRect PaintRaised(Canvas& canvas, const ButtonFace& face, bool& marksDrawn) {
    if (face.hovering) {
        canvas.FillRect(face.item, face.colours.buttonHighlight);
        DrawCornerMarks(canvas, face.item, face.textColour, 0, face.metrics);
        marksDrawn = true;
    } else {
        canvas.FillRect(face.item, face.colours.buttonFace);
    }

    CanvasIcon icon = face.icons.normal;
    if (face.hovering && face.icons.hover != CanvasIcon::none)
        icon = face.icons.hover;
    if (icon != CanvasIcon::none)
        canvas.DrawIcon(icon, face.iconRect, IconLook::normal);

    if (!Has(face.itemState, item_state::defaultButton)) {
        DrawFlatFrame(canvas, face.item, face.colours);
        return face.item;
    }
    canvas.DrawEdge(face.item, EdgeStyle::sunken);
    const CanvasRect inner = face.item.Shrunk(1);
    canvas.DrawEdge(inner, EdgeStyle::raised);
    return inner;
}

void PaintFocus(Canvas& canvas, const ButtonFace& face, const CanvasRect& frame, bool marksDrawn) {
    if (!Has(face.itemState, item_state::focus) || face.metrics.margin <= 0)
        return;
    if (!face.hovering && !Has(face.itemState, item_state::selected))
        DrawCornerMarks(canvas, frame, face.colours.infoBackground, 0, face.metrics);
    else if (!marksDrawn)
        DrawCornerMarks(canvas, frame, face.textColour, face.metrics.inset, face.metrics);
}

} // namespace

CanvasRect IconRectFor(std::int32_t iconWidth, std::int32_t iconHeight, std::int32_t buttonHeight,
                       std::int32_t margin) {
    const std::int32_t top = std::max(0, buttonHeight / 2 - iconHeight / 2);
    return CanvasRect{0, 0, iconWidth, iconHeight}.Moved(margin, top);
}

CanvasRect CaptionRect(const ButtonFace& face) {
    const CanvasRect& r = face.item;
    const std::int32_t inset = face.metrics.margin + face.metrics.captionGap;
    CanvasRect caption{r.left + inset, r.top, r.right - inset, r.bottom};
    if (face.icons.normal != CanvasIcon::none)
        caption.left += face.iconRect.Width();
    return caption;
}

void PaintButtonFace(Canvas& canvas, const ButtonFace& face) {
    CanvasRect caption = CaptionRect(face);
    if (Has(face.itemState, item_state::disabled)) {
        PaintDisabled(canvas, face, caption);
    } else {
        bool marksDrawn = false;
        const CanvasRect frame = Has(face.itemState, item_state::selected)
                                     ? PaintPressed(canvas, face, caption)
                                     : PaintRaised(canvas, face, marksDrawn);
        PaintFocus(canvas, face, frame, marksDrawn);
        // Every enabled caption is in the button's text colour, focused or not: the surface
        // starts with the platform's default colour, which need not be the button text's.
        canvas.SetTextColour(face.textColour);
    }
    canvas.WriteText(face.caption, caption, text_format::caption);
}
