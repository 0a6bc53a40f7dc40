#include "controls/linux/IconButton.h"

#include "controls/OwnerDrawConstants.h"
#include "controls/linux/PaletteColours.h"
#include "controls/linux/QtCanvas.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

namespace {

QPixmap LoadIcon(const QString& file, int size) {
    if (file.isEmpty())
        return {};
    const QIcon icon(file);
    return icon.isNull() ? QPixmap() : icon.pixmap(QSize(size, size));
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
      metrics(FaceMetricsForDpi(static_cast<std::int32_t>(logicalDpiY()))),
      textColour(ToColour(PaletteColour(palette(), ButtonColour::buttonText))) {
    // Moves without a pressed mouse button are what starts the hover highlight.
    setMouseTracking(true);
    // The caption in the desktop's font for buttons, not the dialog's.
    setFont(QApplication::font("QPushButton"));
}

void IconButton::SetIcon(const QString& normalFile, const QString& pressedFile,
                         const QString& hoverFile) {
    const int size = metrics.iconSize;
    normalIcon = LoadIcon(normalFile, size);
    pressedIcon = normalIcon.isNull() ? QPixmap() : LoadIcon(pressedFile, size);
    hoverIcon = normalIcon.isNull() ? QPixmap() : LoadIcon(hoverFile, size);
    update();
}

CanvasRect IconButton::IconRect() const {
    if (normalIcon.isNull())
        return {};
    return IconRectFor(normalIcon.width(), normalIcon.height(), height(), metrics.margin);
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

ButtonFace IconButton::FaceFor(std::uint32_t itemState, TextView caption) const {
    const auto iconOf = [this](const QPixmap& own) {
        return ToCanvasIcon(own.isNull() ? normalIcon : own);
    };
    ButtonFace face;
    face.itemState = itemState;
    face.item = {0, 0, width(), height()};
    face.caption = caption;
    face.hovering = states.Hovering();
    face.metrics = metrics;
    face.textColour = textColour;
    if (!normalIcon.isNull())
        face.icons = {ToCanvasIcon(normalIcon), iconOf(pressedIcon), iconOf(hoverIcon)};
    face.iconRect = IconRect();
    face.colours = FaceColoursFrom(palette());
    return face;
}

void IconButton::PaintFace(QPainter& painter, const ButtonFace& face) const {
    const QPalette colours = palette();
    QtCanvas canvas(painter, colours);
    PaintButtonFace(canvas, face);
}

void IconButton::paintEvent(QPaintEvent*) {
    // A changed pushed state schedules a paint of its own; this one paints the state as it
    // now is rather than leave the face unpainted until then.
    states.SyncPushedBeforeDraw();
    const QString label = text();
    const Text caption(reinterpret_cast<const char16_t*>(label.utf16()),
                       static_cast<std::size_t>(label.size()));
    QPainter painter(this);
    PaintFace(painter, FaceFor(ItemState(), caption));
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
