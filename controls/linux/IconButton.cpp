#include "controls/linux/IconButton.h"

#include "common/linux/QtText.h"
#include "controls/OwnerDrawConstants.h"
#include "controls/linux/PaletteColours.h"
#include "controls/linux/QtCanvas.h"

#include <QApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace {

// All the images of the file; none when it cannot be read.
QIcon LoadIcon(const QString& file) {
    if (file.isEmpty())
        return {};
    QIcon icon(file);
    return icon.availableSizes().isEmpty() ? QIcon() : icon;
}

// The icon's image nearest `size` device pixels: its own image of that size, else the next
// larger one scaled down (or the largest); a pixel ratio of 1, since the size is already
// in device pixels.
QPixmap ImageOf(const QIcon& icon, int size) {
    return icon.isNull() ? QPixmap() : icon.pixmap(QSize(size, size), 1.0);
}

} // namespace

IconButton::IconButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent),
      textColour(ToColour(PaletteColour(palette(), ButtonColour::buttonText))) {
    // Moves without a pressed mouse button are what starts the hover highlight.
    setMouseTracking(true);
    // The caption in the desktop's font for buttons, not the dialog's.
    setFont(QApplication::font("QPushButton"));
}

void IconButton::SetIcon(const QString& normalFile, const QString& pressedFile,
                         const QString& hoverFile) {
    normalIcon = LoadIcon(normalFile);
    pressedIcon = normalIcon.isNull() ? QIcon() : LoadIcon(pressedFile);
    hoverIcon = normalIcon.isNull() ? QIcon() : LoadIcon(hoverFile);
    images = {};
    update();
}

const IconButton::IconImages& IconButton::ImagesAt(int size) {
    if (images.size != size)
        images = {size, ImageOf(normalIcon, size), ImageOf(pressedIcon, size),
                  ImageOf(hoverIcon, size)};
    return images;
}

std::uint32_t IconButton::ItemState() const {
    std::uint32_t state = 0;
    if (isDown())
        state |= item_state::selected;
    if (!isEnabled())
        state |= item_state::disabled;
    if (hasFocus())
        state |= item_state::focus;
    if (isDefault())
        state |= item_state::defaultButton;
    return state;
}

ButtonFace IconButton::FaceFor(std::uint32_t itemState, TextView caption, qreal pixelRatio) {
    const FaceMetrics metrics = FaceMetricsForDpi(qRound(logicalDpiY() * pixelRatio));
    const QSize device = size() * pixelRatio;
    ButtonFace face;
    face.itemState = itemState;
    face.item = {0, 0, device.width(), device.height()};
    face.caption = caption;
    face.hovering = hover.Hovering();
    face.metrics = metrics;
    face.textColour = textColour;
    if (!normalIcon.isNull()) {
        const IconImages& at = ImagesAt(metrics.iconSize);
        const auto iconOf = [&at](const QPixmap& own) {
            return ToCanvasIcon(own.isNull() ? at.normal : own);
        };
        face.icons = {ToCanvasIcon(at.normal), iconOf(at.pressed), iconOf(at.hover)};
        face.iconRect =
            IconRectFor(metrics.iconSize, metrics.iconSize, device.height(), metrics.margin);
    }
    face.colours = FaceColoursFrom(palette());
    return face;
}

QImage IconButton::PaintFace(const ButtonFace& face, qreal pixelRatio) const {
    QImage image(std::max(face.item.Width(), 0), std::max(face.item.Height(), 0),
                 QImage::Format_RGB32);
    if (image.isNull())
        return image;
    // The caption's font takes its pixel size from the widget's dots per inch, as the
    // widget's own text does.
    constexpr double inchesPerMetre = 1 / 0.0254;
    image.setDotsPerMeterX(qRound(logicalDpiX() * inchesPerMetre));
    image.setDotsPerMeterY(qRound(logicalDpiY() * inchesPerMetre));
    {
        QPainter painter(&image);
        painter.setFont(font());
        const QPalette colours = palette();
        QtCanvas canvas(painter, colours, pixelRatio);
        PaintButtonFace(canvas, face);
    }
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

void IconButton::paintEvent(QPaintEvent*) {
    const QString label = text();
    const qreal pixelRatio = devicePixelRatio();
    const QImage face = PaintFace(FaceFor(ItemState(), ViewOf(label), pixelRatio), pixelRatio);
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), face);
}

void IconButton::mouseMoveEvent(QMouseEvent* event) {
    // Only moves over the button light it: the standard button keeps getting the moves of a
    // press, also of one that a lost focus has ended.
    if (!mouseDown && rect().contains(event->position().toPoint()) && hover.OnMouseOver())
        update();
    QPushButton::mouseMoveEvent(event);
}

void IconButton::leaveEvent(QEvent*) {
    hover.OnMouseLeave();
    update();
}

void IconButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QPushButton::mousePressEvent(event);
        return;
    }
    // Before the standard button paints the pressed face.
    hover.OnPress();
    QPushButton::mousePressEvent(event);
    mouseDown = true;
}

void IconButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        mouseDown = false;
    QPushButton::mouseReleaseEvent(event);
}

// Qt delivers the second press of a double click as a press of its own before this event,
// so the double click is a second press already.
void IconButton::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

// The standard button lets its pressed look go at a lost focus but keeps the press, to take
// it up again at the next move and click at the release: the press ends here instead, as at a
// release off the button, without a click.
void IconButton::focusOutEvent(QFocusEvent* event) {
    if (std::exchange(mouseDown, false)) {
        QMouseEvent away(QEvent::MouseButtonRelease, QPointF(-1, -1), mapToGlobal(QPointF(-1, -1)),
                         Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QPushButton::mouseReleaseEvent(&away);
    }
    QPushButton::focusOutEvent(event);
}

// A window lying over part of the button takes that part: a press dragged there lets the
// button up, and a release there gives no click.
bool IconButton::hitButton(const QPoint& pos) const {
    return QPushButton::hitButton(pos) && QApplication::widgetAt(mapToGlobal(pos)) == this;
}
