#include "controls/linux/QtCanvas.h"

#include "common/linux/QtText.h"
#include "controls/OwnerDrawConstants.h"
#include "controls/linux/PaletteColours.h"

#include <cstdlib>

namespace {

QRect ToQRect(const CanvasRect& rect) {
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

const QPixmap& ToPixmap(CanvasIcon icon) {
    return *reinterpret_cast<const QPixmap*>(static_cast<std::uintptr_t>(icon));
}

// One ring of a 3-D edge: the top row and the left column in the first colour, then the
// bottom row and the right column in the second, which so takes the top-right and the
// bottom-left corner.
void DrawRing(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// The pixels of a line from `from` towards `to`, the last one left out.
template <typename Plot> void LinePixels(CanvasPoint from, CanvasPoint to, Plot plot) {
    const int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    CanvasPoint at = from;
    while (at != to) {
        plot(at);
        const int twice = 2 * error;
        if (twice >= dy)
            error += dy, at.x += sx;
        if (twice <= dx)
            error += dx, at.y += sy;
    }
}

QImage Tinted(const QImage& mask, const QColor& colour) {
    QImage tinted = mask;
    tinted.setColor(1, colour.rgb());
    return tinted;
}

// The pixels of an icon that the disabled look embosses: those that are opaque and not pure
// white, as when the icon is drawn onto a white one-bit surface.
QImage IconInkMask(const QImage& icon) {
    const QImage argb = icon.convertToFormat(QImage::Format_ARGB32);
    QImage mask(argb.size(), QImage::Format_Indexed8);
    mask.setColorCount(2);
    mask.setColor(0, qRgba(0, 0, 0, 0));
    mask.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = mask.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = line[x];
            out[x] = qAlpha(pixel) >= 128 && (pixel & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
        }
    }
    return mask;
}

} // namespace

QtCanvas::QtCanvas(QPainter& painter, const QPalette& palette, qreal pixelRatio)
    : painter(painter), palette(palette), pixelRatio(pixelRatio), textColour(Qt::black) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setBrush(Qt::NoBrush);
}

QtCanvas::~QtCanvas() {
    painter.restore();
}

void QtCanvas::FillRect(const CanvasRect& rect, Colour colour) {
    if (rect.Width() > 0 && rect.Height() > 0)
        painter.fillRect(ToQRect(rect), ToQColor(colour));
}

// Raised: light top-left and dark bottom-right, the outer ring in the 3-D light and the dark
// shadow, the inner one in the highlight and the shadow. Sunken: the shadow and the highlight
// outside, the dark shadow and the 3-D light inside.
void QtCanvas::DrawEdge(const CanvasRect& rect, EdgeStyle style) {
    const auto colour = [this](ButtonColour c) { return PaletteColour(palette, c); };
    const QRect outer = ToQRect(rect);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    if (style == EdgeStyle::raised) {
        DrawRing(painter, outer, colour(ButtonColour::light3d), colour(ButtonColour::darkShadow3d));
        DrawRing(painter, inner, colour(ButtonColour::buttonHighlight),
                 colour(ButtonColour::buttonShadow));
    } else {
        DrawRing(painter, outer, colour(ButtonColour::buttonShadow),
                 colour(ButtonColour::buttonHighlight));
        DrawRing(painter, inner, colour(ButtonColour::darkShadow3d), colour(ButtonColour::light3d));
    }
}

// The disabled look embosses the icon's ink: once a pixel right and down in the highlight,
// then in place in the shadow.
void QtCanvas::DrawIcon(CanvasIcon icon, const CanvasRect& rect, IconLook look) {
    if (icon == CanvasIcon::none || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    const QPixmap& pixmap = ToPixmap(icon);
    const QRect target = ToQRect(rect);
    if (look == IconLook::normal) {
        painter.drawPixmap(target, pixmap);
        return;
    }
    const QImage mask = IconInkMask(pixmap.toImage().scaled(target.size()));
    painter.drawImage(target.topLeft() + QPoint(1, 1),
                      Tinted(mask, PaletteColour(palette, ButtonColour::buttonHighlight)));
    painter.drawImage(target.topLeft(),
                      Tinted(mask, PaletteColour(palette, ButtonColour::buttonShadow)));
}

void QtCanvas::SetTextColour(Colour colour) {
    textColour = ToQColor(colour);
}

void QtCanvas::WriteText(TextView text, const CanvasRect& rect, std::uint32_t format) {
    int flags = Qt::TextShowMnemonic;
    flags |= (format & text_format::center) ? Qt::AlignHCenter : Qt::AlignLeft;
    flags |= (format & text_format::verticalCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    if (format & text_format::singleLine)
        flags |= Qt::TextSingleLine;
    painter.setPen(textColour);
    painter.save();
    painter.scale(pixelRatio, pixelRatio);
    const QRectF logical(rect.left / pixelRatio, rect.top / pixelRatio, rect.Width() / pixelRatio,
                         rect.Height() / pixelRatio);
    painter.drawText(logical, flags, ToQString(text));
    painter.restore();
}

bool QtCanvas::DrawLines(Colour pen, std::span<const BentLine> lines) {
    const QColor colour = ToQColor(pen);
    for (const BentLine& line : lines)
        for (std::size_t i = 0; i + 1 < line.size(); ++i)
            LinePixels(line[i], line[i + 1],
                       [&](CanvasPoint p) { painter.fillRect(QRect(p.x, p.y, 1, 1), colour); });
    return true;
}
