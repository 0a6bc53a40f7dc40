#pragma once

#include "controls/Canvas.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>

// The canvas on a QPainter: antialiasing off and whole pixels, so every step lands on the
// pixels the GDI canvas paints. The 3-D edges and the disabled icon take their colours from
// the palette (controls/linux/PaletteColours.h); the text is in the painter's font. The
// painter paints device pixels; the text alone is laid out in logical pixels, `pixelRatio`
// device pixels each, so that it is the size of the desktop's other text. The painter's
// state is put back when the canvas goes.
class QtCanvas : public Canvas {
public:
    QtCanvas(QPainter& painter, const QPalette& palette, qreal pixelRatio = 1.0);
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;
    ~QtCanvas() override;

    void FillRect(const CanvasRect& rect, Colour colour) override;
    void DrawEdge(const CanvasRect& rect, EdgeStyle style) override;
    void DrawIcon(CanvasIcon icon, const CanvasRect& rect, IconLook look) override;
    void SetTextColour(Colour colour) override;
    void WriteText(TextView text, const CanvasRect& rect, std::uint32_t format) override;
    bool DrawLines(Colour pen, std::span<const BentLine> lines) override;

private:
    QPainter& painter;
    const QPalette& palette;
    qreal pixelRatio;
    QColor textColour;
};

// An icon as the canvas takes it: the pixmap's address. The pixmap must outlive the drawing.
inline CanvasIcon ToCanvasIcon(const QPixmap& pixmap) {
    return pixmap.isNull() ? CanvasIcon::none
                           : static_cast<CanvasIcon>(reinterpret_cast<std::uintptr_t>(&pixmap));
}
