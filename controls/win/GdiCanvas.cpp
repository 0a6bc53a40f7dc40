#include "controls/win/GdiCanvas.h"
#include "framework/win/WideText.h"

#include "controls/OwnerDrawConstants.h"

namespace {

RECT ToRect(const CanvasRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

HICON ToIcon(CanvasIcon icon) {
    return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(icon));
}

} // namespace

GdiCanvas::GdiCanvas(HDC target, int width, int height, HFONT font)
    : target(target), width(width), height(height) {
    memory.reset(CreateCompatibleDC(target));
    if (memory)
        bitmap.reset(CreateCompatibleBitmap(target, width, height));
    if (bitmap) {
        bitmapSelection.emplace(memory.get(), bitmap.get());
        surface = memory.get();
    } else {
        surface = target;
        savedTargetState = SaveDC(target);
    }
    SetBkMode(surface, TRANSPARENT);
    fontSelection.emplace(surface, font ? font : GetStockObject(DEFAULT_GUI_FONT));
}

GdiCanvas::~GdiCanvas() {
    fontSelection.reset();
    if (savedTargetState)
        RestoreDC(target, savedTargetState);
}

void GdiCanvas::CopyToTarget() {
    if (surface != target)
        BitBlt(target, 0, 0, width, height, surface, 0, 0, SRCCOPY);
}

void GdiCanvas::FillRect(const CanvasRect& rect, Colour colour) {
    const RECT r = ToRect(rect);
    SetBkColor(surface, colour);
    ExtTextOutW(surface, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void GdiCanvas::DrawEdge(const CanvasRect& rect, EdgeStyle style) {
    RECT r = ToRect(rect);
    ::DrawEdge(surface, &r, style == EdgeStyle::raised ? EDGE_RAISED : EDGE_SUNKEN, BF_RECT);
}

void GdiCanvas::DrawIcon(CanvasIcon icon, const CanvasRect& rect, IconLook look) {
    const UINT flags = DST_ICON | (look == IconLook::disabled ? DSS_DISABLED : DSS_NORMAL);
    DrawStateW(surface, nullptr, nullptr, reinterpret_cast<LPARAM>(ToIcon(icon)), 0, rect.left,
               rect.top, rect.Width(), rect.Height(), flags);
}

void GdiCanvas::SetTextColour(Colour colour) {
    SetTextColor(surface, colour);
}

void GdiCanvas::WriteText(TextView text, const CanvasRect& rect, std::uint32_t format) {
    RECT r = ToRect(rect);
    DrawTextW(surface, WideUnits(text), static_cast<int>(text.size()), &r, format);
}

bool GdiCanvas::DrawLines(Colour pen, std::span<const BentLine> lines) {
    UniquePen solid(CreatePen(PS_SOLID, 1, pen));
    if (!solid)
        return false;
    SelectObjectGuard selection(surface, solid.get());
    for (const BentLine& line : lines) {
        MoveToEx(surface, line[0].x, line[0].y, nullptr);
        LineTo(surface, line[1].x, line[1].y);
        LineTo(surface, line[2].x, line[2].y);
    }
    return true;
}

FaceColours CurrentFaceColours() {
    return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_GRAYTEXT),
            GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_INFOBK)};
}

void PaintButtonFaceInto(HDC target, const ButtonFace& face, HFONT font) {
    GdiCanvas canvas(target, face.item.Width(), face.item.Height(), font);
    PaintButtonFace(canvas, face);
    canvas.CopyToTarget();
}

static_assert(text_format::caption == (DT_CENTER | DT_VCENTER | DT_SINGLELINE));
static_assert(item_state::selected == ODS_SELECTED && item_state::disabled == ODS_DISABLED &&
              item_state::focus == ODS_FOCUS && item_state::defaultButton == ODS_DEFAULT);
