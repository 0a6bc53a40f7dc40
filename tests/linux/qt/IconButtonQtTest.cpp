#include "controls/OwnerDrawConstants.h"
#include "controls/linux/IconButton.h"
#include "controls/linux/QtCanvas.h"
#include "tests/IconButtonPixelGeometry.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace item_state;

// Every colour the face can use, each its own, so that a pixel tells where it came from.
const QColor face(0xF0, 0xF0, 0xF0), light(0xFF, 0xFF, 0xFF), shadow(0xA0, 0xA0, 0xA0),
    light3d(0xE3, 0xE3, 0xE3), darkShadow(0x69, 0x69, 0x69), info(0xFF, 0x00, 0xFF),
    gray(0x6D, 0x6D, 0x6D), text(0x00, 0x00, 0x80),
    iconOutline(iconOutlineRed, iconOutlineGreen, iconOutlineBlue);

QPalette TestPalette() {
    QPalette palette;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Button, face);
        palette.setColor(group, QPalette::Light, light);
        palette.setColor(group, QPalette::Dark, shadow);
        palette.setColor(group, QPalette::Midlight, light3d);
        palette.setColor(group, QPalette::Shadow, darkShadow);
        palette.setColor(group, QPalette::ToolTipBase, info);
        palette.setColor(group, QPalette::ButtonText, text);
    }
    palette.setColor(QPalette::Disabled, QPalette::Text, gray);
    return palette;
}

// The logon button painted into an image, as the GDI tests paint it into a bitmap.
class IconButtonPixels : public testing::Test {
protected:
    IconButtonPixels() {
        parent.setPalette(TestPalette());
        button = new IconButton(QStringLiteral("Logon"), &parent);
        button->resize(g.width, g.height);
        button->SetIcon(QStringLiteral(":/icons/logon.ico"));
    }

    void Paint(std::uint32_t itemState, bool hovering = false) {
        image.fill(Qt::red);
        QPainter painter(&image);
        ButtonFace drawn = button->FaceFor(itemState, u"Logon");
        drawn.hovering = hovering;
        button->PaintFace(painter, drawn);
    }
    QColor Pixel(int x, int y) const { return image.pixelColor(x, y); }
    std::vector<PixelPoint> PixelsOf(const QColor& colour) const {
        std::vector<PixelPoint> found;
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if (Pixel(x, y) == colour)
                    found.push_back({x, y});
        return found;
    }
    // The face as text, one letter per colour, for failure messages.
    std::string Dump() const {
        std::map<QRgb, char> letters;
        std::string dump = "\n";
        for (int y = 0; y < g.height; ++y, dump += '\n')
            for (int x = 0; x < g.width; ++x)
                dump += letters.try_emplace(image.pixel(x, y), char('a' + letters.size() % 26))
                            .first->second;
        return dump;
    }
    std::vector<PixelPoint> Marks(int inset) const {
        return CornerMarkPixels(g, g.width, g.height, inset);
    }

    const FaceGeometry& g = at96;
    const int w = g.width, h = g.height;
    QWidget parent;
    IconButton* button = nullptr;
    QImage image{g.width, g.height, QImage::Format_RGB32};
};

TEST_F(IconButtonPixels, IdleFaceHasTheFlatFrameTheIconAndTheCaption) {
    Paint(0);
    EXPECT_EQ(Pixel(0, 0), light);
    EXPECT_EQ(Pixel(w - 2, 0), light);
    EXPECT_EQ(Pixel(w - 1, 0), shadow);
    EXPECT_EQ(Pixel(0, h - 1), shadow);
    EXPECT_EQ(Pixel(2, 2), face);
    EXPECT_EQ(Pixel(g.icon.left + g.outline.x, g.icon.top + g.outline.y), iconOutline);
    EXPECT_TRUE(PixelsOf(info).empty()) << Dump();
    const auto captionPixels = PixelsOf(text);
    ASSERT_FALSE(captionPixels.empty()) << Dump();
    for (PixelPoint p : captionPixels)
        EXPECT_TRUE(p.x >= g.captionLeft && p.x < g.captionRight) << p.x << "," << p.y;
}

TEST_F(IconButtonPixels, FocusedFaceHasTheInfoColourCornerMarksOfTheExample) {
    Paint(focus);
    EXPECT_EQ(PixelsOf(info), Marks(0)) << Dump();
    EXPECT_EQ(Pixel(w - g.markFar + 1, h - g.markFar), face);
}

TEST_F(IconButtonPixels, HotFaceIsLightWithMarksInTheTextColour) {
    Paint(focus, true);
    EXPECT_EQ(Pixel(2, 2), light);
    EXPECT_TRUE(PixelsOf(info).empty());
    for (PixelPoint p : Marks(0))
        EXPECT_EQ(Pixel(p.x, p.y), text) << p.x << "," << p.y;
}

TEST_F(IconButtonPixels, PressedFaceIsSunkenWithContentsMovedByTheInset) {
    Paint(selected | focus);
    EXPECT_EQ(Pixel(0, 0), shadow);
    EXPECT_EQ(Pixel(w - 1, h - 1), light);
    EXPECT_EQ(Pixel(2, 2), light);
    EXPECT_EQ(Pixel(g.icon.left + g.inset + g.outline.x, g.icon.top + g.inset + g.outline.y),
              iconOutline);
    for (PixelPoint p : Marks(g.inset))
        EXPECT_EQ(Pixel(p.x, p.y), text) << p.x << "," << p.y;
}

// Each ring of a 3-D edge: its top row and left column in one colour, then its bottom row
// and right column in the other, which so owns the top-right and bottom-left corners.
TEST_F(IconButtonPixels, EdgesPaintEachRingAsTheSystemDrawsIt) {
    struct Ring {
        int at;
        QColor topLeft, bottomRight;
    };
    const auto check = [&](const std::vector<Ring>& rings) {
        for (const Ring& r : rings) {
            const int right = w - 1 - r.at, bottom = h - 1 - r.at;
            EXPECT_EQ(Pixel(r.at, r.at), r.topLeft) << r.at;
            EXPECT_EQ(Pixel(right - 1, r.at), r.topLeft) << r.at;
            EXPECT_EQ(Pixel(r.at, bottom - 1), r.topLeft) << r.at;
            EXPECT_EQ(Pixel(right, r.at), r.bottomRight) << r.at;
            EXPECT_EQ(Pixel(r.at, bottom), r.bottomRight) << r.at;
            EXPECT_EQ(Pixel(right, bottom), r.bottomRight) << r.at;
        }
    };
    // The default button: sunken outside, raised one pixel in, over the sunken inner ring.
    Paint(defaultButton);
    check({{0, shadow, light}, {1, light3d, darkShadow}, {2, light, shadow}});
    EXPECT_EQ(Pixel(w - 4, h / 2), face) << Dump();
    Paint(selected);
    check({{0, shadow, light}, {1, darkShadow, light3d}});
    Paint(disabled);
    check({{0, light3d, darkShadow}, {1, light, shadow}});
}

// The disabled icon is the icon's ink embossed: the highlight a pixel right and down, the
// shadow in place on top of it.
TEST_F(IconButtonPixels, DisabledFaceIsEmbossedWithoutMarks) {
    Paint(disabled | focus, true);
    EXPECT_EQ(Pixel(2, 2), face);
    EXPECT_TRUE(PixelsOf(info).empty()) << Dump();
    EXPECT_FALSE(PixelsOf(gray).empty());
    EXPECT_TRUE(PixelsOf(text).empty());

    const QImage ink = IconInkMask(button->NormalIcon().toImage());
    const auto inked = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < ink.width() && y < ink.height() && ink.pixelIndex(x, y);
    };
    EXPECT_TRUE(inked(g.outline.x, g.outline.y));
    int embossed = 0;
    for (int y = 0; y <= ink.height(); ++y)
        for (int x = 0; x <= ink.width(); ++x) {
            const QColor expected = inked(x, y) ? shadow : inked(x - 1, y - 1) ? light : face;
            embossed += expected != face;
            EXPECT_EQ(Pixel(g.icon.left + x, g.icon.top + y), expected) << x << "," << y << Dump();
        }
    EXPECT_GT(embossed, 20);
}

// Mouse input sent to a shown button, the cursor moved with it as the platform moves it.
class IconButtonMouse : public testing::Test {
protected:
    IconButtonMouse() {
        window.resize(200, 100);
        button = new IconButton(QStringLiteral("Logon"), &window);
        button->setGeometry(10, 10, 75, 23);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        window.show();
        QApplication::processEvents();
    }
    void Send(QEvent::Type type, int x, int y) {
        const QPoint at(x, y);
        QCursor::setPos(button->mapToGlobal(at));
        if (type != QEvent::MouseMove)
            leftHeld = type == QEvent::MouseButtonPress;
        const Qt::MouseButton which = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = leftHeld ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, at, button->mapToGlobal(at), which, held, Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }

    QWidget window;
    IconButton* button = nullptr;
    int clicks = 0;
    bool leftHeld = false;
};

TEST_F(IconButtonMouse, HoverPressDragOffAndBackReleaseOutside) {
    Send(QEvent::MouseMove, 5, 5);
    EXPECT_TRUE(button->Hovering());
    EXPECT_EQ(button->ItemState() & selected, 0u);
    Send(QEvent::MouseButtonPress, 5, 5);
    EXPECT_FALSE(button->Hovering());
    EXPECT_TRUE(button->MouseDown());
    EXPECT_TRUE(button->isDown());
    Send(QEvent::MouseMove, 5, 60);
    EXPECT_FALSE(button->isDown());
    Send(QEvent::MouseMove, 6, 6);
    EXPECT_TRUE(button->isDown());
    Send(QEvent::MouseMove, 5, 60);
    Send(QEvent::MouseButtonRelease, 5, 60);
    EXPECT_FALSE(button->MouseDown());
    EXPECT_EQ(clicks, 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_FALSE(button->Hovering());

    Send(QEvent::MouseButtonPress, 5, 5);
    Send(QEvent::MouseButtonRelease, 5, 5);
    EXPECT_EQ(clicks, 1);
}

TEST_F(IconButtonMouse, LosingTheFocusWhilePressedGivesNoClick) {
    Send(QEvent::MouseButtonPress, 5, 5);
    ASSERT_TRUE(button->isDown());
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(button, &focusOut);
    EXPECT_FALSE(button->MouseDown());
    EXPECT_FALSE(button->isDown());
    Send(QEvent::MouseMove, 6, 6);
    EXPECT_FALSE(button->isDown());
    Send(QEvent::MouseButtonRelease, 5, 5);
    EXPECT_EQ(clicks, 0);
}

// The space bar presses the button as the mouse does, without the mouse's states.
TEST_F(IconButtonMouse, SpacePressesAndClicksAsAPushButton) {
    button->setFocus();
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_EQ(button->ItemState() & (selected | focus), selected | focus);
    EXPECT_FALSE(button->MouseDown());
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    button->setEnabled(false);
    EXPECT_EQ(button->ItemState() & (selected | disabled), disabled);
}

} // namespace
