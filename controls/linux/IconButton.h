#pragma once

#include "controls/IconButtonFace.h"
#include "controls/IconButtonHover.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

#include <cstdint>

class QEvent;
class QMouseEvent;

// A push button with an icon at its left and the caption beside it, a hover highlight, a
// sunken face while pressed and corner marks for the focus. The core's face paints it and
// the core's hover state follows the mouse; clicking, keyboard, focus, the implicit mouse
// grab and the pressed state while a press is dragged stay with QPushButton, which sees every
// event after the button's own handling.
//
// The face is painted in device pixels, as on the other edition at the screen's density:
// the sizes are the core's for the widget's dots per inch times its device pixel ratio, the
// pens and edges one device pixel, and the icon the image of the icon file nearest that
// size. Only the caption is laid out in the widget's own (logical) pixels, in its font.
class IconButton : public QPushButton {
public:
    explicit IconButton(const QString& text, QWidget* parent);

    // The icons from image files (Qt resources included); each size is drawn from the
    // file's own image for it when the file has one (an .ico's several images). An empty or
    // unreadable pressed or hover file uses the normal icon; when the normal one cannot be
    // read the button has none, and the caption takes the whole width.
    void SetIcon(const QString& normalFile, const QString& pressedFile = {},
                 const QString& hoverFile = {});

    // What a paint with these item_state flags would paint on the button's current size,
    // at `pixelRatio` device pixels per logical pixel; the face's sizes are device pixels.
    ButtonFace FaceFor(std::uint32_t itemState, TextView caption, qreal pixelRatio = 1.0);
    // The item_state flags of the button as it is now.
    std::uint32_t ItemState() const;

    // The face painted into an image of its size in device pixels, which carries the pixel
    // ratio so that it covers the button's logical area: the widget's paint and the tests'.
    QImage PaintFace(const ButtonFace& face, qreal pixelRatio = 1.0) const;

    bool Hovering() const { return hover.Hovering(); }
    // The left button went down on this button and has not come up yet; a lost focus ends
    // the press early.
    bool MouseDown() const { return mouseDown; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    // The icons' images at one size in device pixels, picked again when the size changes
    // (the window moved to a screen of another density).
    struct IconImages {
        int size = 0;
        QPixmap normal;
        QPixmap pressed;
        QPixmap hover;
    };
    const IconImages& ImagesAt(int size);

    IconButtonHover hover;
    // The caption and the hover and pressed focus marks: the button text as the button was
    // made, as on the other edition.
    Colour textColour;
    QIcon normalIcon;
    QIcon pressedIcon;
    QIcon hoverIcon;
    IconImages images;
    bool mouseDown = false;
};
