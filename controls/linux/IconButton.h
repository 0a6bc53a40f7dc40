#pragma once

#include "controls/IconButtonFace.h"
#include "controls/IconButtonHost.h"
#include "controls/IconButtonStates.h"

#include <QPixmap>
#include <QPushButton>

#include <cstdint>
#include <optional>

class QEvent;
class QMouseEvent;

// A push button with an icon at its left and the caption beside it, a hover highlight, a
// sunken face while pressed and corner marks for the focus. The core's face paints it and
// the core's states follow the mouse; clicking, keyboard, focus and the implicit mouse grab
// stay with QPushButton, which sees every event after the button's own handling.
class IconButton : public QPushButton, private IconButtonHost {
public:
    explicit IconButton(const QString& text, QWidget* parent);

    // The icons from image files (Qt resources included), at the button's icon size. An
    // empty or unreadable pressed or hover file uses the normal icon; when the normal one
    // cannot be read the button has none, and the caption takes the whole width.
    void SetIcon(const QString& normalFile, const QString& pressedFile = {},
                 const QString& hoverFile = {});

    // What a paint with these item_state flags would paint, on the button's current size.
    ButtonFace FaceFor(std::uint32_t itemState, TextView caption) const;
    // The item_state flags of the button as it is now.
    std::uint32_t ItemState() const;

    // Paints the face into any painter: the widget's paint, and the tests' images.
    void PaintFace(QPainter& painter, const ButtonFace& face) const;

    bool Hovering() const { return states.Hovering(); }
    bool MouseDown() const { return states.MouseDown(); }
    const QPixmap& NormalIcon() const { return normalIcon; }
    CanvasRect IconRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

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

    // The event being handled, for PassOn and SendPressToSelf; events nest.
    QEvent* current = nullptr;

    IconButtonStates states{*this};
    FaceMetrics metrics;
    // The caption and the hover and pressed focus marks: the button text as the button was
    // made, as on the other edition.
    Colour textColour;
    QPixmap normalIcon;
    QPixmap pressedIcon;
    QPixmap hoverIcon;
    // The standard button holds the mouse from a press on it until the release; a lost
    // focus gives it up early.
    bool holdsMouse = false;
};
