#pragma once

#include "controls/Canvas.h"
#include "controls/IconButtonFace.h"
#include "framework/win/Handles.h"

#include <optional>

// The canvas on GDI: an off-screen surface of the given size, compatible with the target,
// with the given font (the stock GUI font when none) and a transparent text background.
// CopyToTarget puts the surface on the target at (0, 0) in one transfer. When the surface
// cannot be made, the canvas paints on the target itself (the face may flicker, but it is
// painted), and the target's state is put back when the canvas goes.
class GdiCanvas : public Canvas {
public:
    GdiCanvas(HDC target, int width, int height, HFONT font = nullptr);
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;
    ~GdiCanvas() override;

    void CopyToTarget();

    void FillRect(const CanvasRect& rect, Colour colour) override;
    void DrawEdge(const CanvasRect& rect, EdgeStyle style) override;
    void DrawIcon(CanvasIcon icon, const CanvasRect& rect, IconLook look) override;
    void SetTextColour(Colour colour) override;
    void WriteText(TextView text, const CanvasRect& rect, std::uint32_t format) override;
    bool DrawLines(Colour pen, std::span<const BentLine> lines) override;

private:
    HDC target;
    int width;
    int height;
    UniqueMemoryDc memory;
    UniqueBitmap bitmap;
    std::optional<SelectObjectGuard> bitmapSelection;
    HDC surface = nullptr;
    int savedTargetState = 0;
    std::optional<SelectObjectGuard> fontSelection;
};

inline CanvasIcon ToCanvasIcon(HICON icon) {
    return static_cast<CanvasIcon>(reinterpret_cast<std::uintptr_t>(icon));
}

// The button's system colours as they are now.
FaceColours CurrentFaceColours();

// Paints the face into any DC, the caption in the font (the stock GUI font when none): the
// surface of face.item's size is copied to the DC at (0, 0).
void PaintButtonFaceInto(HDC target, const ButtonFace& face, HFONT font = nullptr);
