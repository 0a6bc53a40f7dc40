#include "controls/linux/IconButton.h"

#include "controls/OwnerDrawConstants.h"
#include "controls/linux/PaletteColours.h"
#include "controls/linux/QtCanvas.h"

#include <QApplication>
#include <QCursor>
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

// Puts the outer event back when the inner one is done.
class CurrentEvent {
public:
    CurrentEvent(QEvent*& slot, QEvent* event) : slot(slot), outer(std::exchange(slot, event)) {}
    CurrentEvent(const CurrentEvent&) = delete;
    CurrentEvent& operator=(const CurrentEvent&) = delete;
    ~CurrentEvent() { slot = outer; }

private:
    QEvent*& slot;
    QEvent* outer;
};

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
    face.hovering = states.Hovering();
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
    // A changed pushed state schedules a paint of its own; this one paints the state as it
    // now is rather than leave the face unpainted until then.
    states.SyncPushedBeforeDraw();
    const QString label = text();
    const Text caption(reinterpret_cast<const char16_t*>(label.utf16()),
                       static_cast<std::size_t>(label.size()));
    const qreal pixelRatio = devicePixelRatio();
    const QImage face = PaintFace(FaceFor(ItemState(), caption, pixelRatio), pixelRatio);
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), face);
}

void IconButton::mouseMoveEvent(QMouseEvent* event) {
    // The standard button keeps getting the moves of a press it has let go of; off the
    // button they are no hover.
    if (!holdsMouse && !rect().contains(event->position().toPoint())) {
        QPushButton::mouseMoveEvent(event);
        return;
    }
    CurrentEvent current(this->current, event);
    const QPoint at = event->position().toPoint();
    states.OnMouseMove({at.x(), at.y()});
}

void IconButton::leaveEvent(QEvent* event) {
    CurrentEvent current(this->current, event);
    states.OnMouseLeave();
}

void IconButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QPushButton::mousePressEvent(event);
        return;
    }
    CurrentEvent current(this->current, event);
    holdsMouse = true;
    states.OnLButtonDown();
}

void IconButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QPushButton::mouseReleaseEvent(event);
        return;
    }
    CurrentEvent current(this->current, event);
    holdsMouse = false;
    states.OnLButtonUp();
}

// Qt delivers the second press of a double click as a press of its own before this event,
// so the press the other edition makes of the double click has already happened.
void IconButton::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void IconButton::focusOutEvent(QFocusEvent* event) {
    CurrentEvent current(this->current, event);
    states.OnKillFocus();
}

std::intptr_t IconButton::PassOn() {
    switch (current->type()) {
    case QEvent::MouseMove:
        QPushButton::mouseMoveEvent(static_cast<QMouseEvent*>(current));
        break;
    case QEvent::MouseButtonPress:
        QPushButton::mousePressEvent(static_cast<QMouseEvent*>(current));
        break;
    case QEvent::MouseButtonRelease:
        QPushButton::mouseReleaseEvent(static_cast<QMouseEvent*>(current));
        break;
    case QEvent::FocusOut:
        QPushButton::focusOutEvent(static_cast<QFocusEvent*>(current));
        break;
    default:
        break;
    }
    return 0;
}

// Not reached: double clicks arrive as presses already (mouseDoubleClickEvent).
void IconButton::SendPressToSelf() {}

bool IconButton::HoldsCapture() {
    return holdsMouse;
}

// The standard button forgets its press as at a release off the button: no click.
void IconButton::ReleaseCapture() {
    holdsMouse = false;
    QMouseEvent away(QEvent::MouseButtonRelease, QPointF(-1, -1), mapToGlobal(QPointF(-1, -1)),
                     Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QPushButton::mouseReleaseEvent(&away);
}

bool IconButton::IsOverButton(CanvasPoint clientPoint) {
    const QPoint point(clientPoint.x, clientPoint.y);
    return rect().contains(point) && QApplication::widgetAt(mapToGlobal(point)) == this;
}

std::optional<bool> IconButton::IsCursorOverButton() {
    const QPoint point = mapFromGlobal(QCursor::pos());
    return IsOverButton({point.x(), point.y()});
}

bool IconButton::IsPushed() {
    return isDown();
}

void IconButton::SetPushed(bool pushed) {
    setDown(pushed);
}

// Qt tells every widget when the mouse leaves it, unasked.
bool IconButton::RequestLeaveNotification() {
    return true;
}

bool IconButton::WithdrawLeaveNotification() {
    return true;
}

void IconButton::Repaint() {
    update();
}
