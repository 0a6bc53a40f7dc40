#include "controls/OwnerDrawConstants.h"
#include "controls/linux/IconButton.h"
#include "controls/linux/QtCanvas.h"
#include "tests/IconButtonPixelGeometry.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QMouseEvent>
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

// The logon button painted as the GDI tests paint it; at pixel ratio 1.5 as at 144 dpi, and so on.
class IconButtonPixels : public testing::TestWithParam<FaceGeometry> {
protected:
    IconButtonPixels() {
        parent.setPalette(TestPalette());
        button = new IconButton(QStringLiteral("Logon"), &parent);
        button->resize(at96.width, at96.height);
        button->SetIcon(QStringLiteral(":/icons/logon.ico"));
    }

    QImage PaintAt(qreal pixelRatio, std::uint32_t itemState, bool hovering, TextView caption) {
        ButtonFace drawn = button->FaceFor(itemState, caption, pixelRatio);
        drawn.hovering = hovering;
        return button->PaintFace(drawn, pixelRatio);
    }
    void Paint(std::uint32_t itemState, bool hovering = false) {
        image = PaintAt(ratio, itemState, hovering, u"Logon");
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

    const FaceGeometry& g = GetParam();
    const qreal ratio = g.dpi / 96.0;
    const int w = g.width, h = g.height;
    QWidget parent;
    IconButton* button = nullptr;
    QImage image;
};

INSTANTIATE_TEST_SUITE_P(PixelRatio, IconButtonPixels, testing::Values(at96, at144, at192),
                         [](const testing::TestParamInfo<FaceGeometry>& info) {
                             return "At" + std::to_string(info.param.dpi);
                         });

TEST_P(IconButtonPixels, IdleFaceHasTheFlatFrameTheIconAndTheCaption) {
    Paint(0);
    ASSERT_EQ(image.size(), QSize(w, h));
    EXPECT_EQ(image.devicePixelRatio(), ratio);
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

TEST_P(IconButtonPixels, FocusedFaceHasTheInfoColourCornerMarksOfTheExample) {
    Paint(focus);
    EXPECT_EQ(PixelsOf(info), Marks(0)) << Dump();
    EXPECT_EQ(Pixel(w - g.markFar + 1, h - g.markFar), face);
}

TEST_P(IconButtonPixels, HotFaceIsLightWithMarksInTheTextColour) {
    Paint(focus, true);
    EXPECT_EQ(Pixel(2, 2), light);
    EXPECT_TRUE(PixelsOf(info).empty());
    for (PixelPoint p : Marks(0))
        EXPECT_EQ(Pixel(p.x, p.y), text) << p.x << "," << p.y;
}

TEST_P(IconButtonPixels, PressedFaceIsSunkenWithContentsMovedByTheInset) {
    Paint(selected | focus);
    EXPECT_EQ(Pixel(0, 0), shadow);
    EXPECT_EQ(Pixel(w - 1, h - 1), light);
    EXPECT_EQ(Pixel(2, 2), light);
    EXPECT_EQ(Pixel(g.icon.left + g.inset + g.outline.x, g.icon.top + g.inset + g.outline.y),
              iconOutline);
    for (PixelPoint p : Marks(g.inset))
        EXPECT_EQ(Pixel(p.x, p.y), text) << p.x << "," << p.y;
}

// The icon's own image for the size (each drawn for itself, so its margins differ a little):
// its ink stays inside the icon's rectangle and grows with the pixel ratio.
TEST_P(IconButtonPixels, IconInkGrowsWithThePixelRatioInsideItsRectangle) {
    const auto inkOf = [this](const QImage& painted) { // inside the flat frame
        QRect ink;
        for (int y = 1; y + 1 < painted.height(); ++y)
            for (int x = 1; x + 1 < painted.width(); ++x)
                ink |= painted.pixelColor(x, y) != face ? QRect(x, y, 1, 1) : QRect();
        return ink;
    };
    const QRect ink = inkOf(image = PaintAt(ratio, 0, false, u""));
    const QRect inkAt1x = inkOf(PaintAt(1.0, 0, false, u""));
    EXPECT_TRUE(QRect(QPoint(g.icon.left, g.icon.top), QPoint(g.icon.right - 1, g.icon.bottom - 1))
                    .contains(ink))
        << Dump();
    EXPECT_NEAR(ink.width() / (inkAt1x.width() * ratio), 1.0, 0.1);
    EXPECT_NEAR(ink.height() / (inkAt1x.height() * ratio), 1.0, 0.1);
}

// The caption embossed in gray, no marks; the icon's emboss is among the recorded faces.
TEST_P(IconButtonPixels, DisabledFaceIsEmbossedWithoutMarks) {
    Paint(disabled | focus, true);
    EXPECT_EQ(Pixel(2, 2), face);
    EXPECT_TRUE(PixelsOf(info).empty()) << Dump();
    EXPECT_FALSE(PixelsOf(gray).empty());
    EXPECT_TRUE(PixelsOf(text).empty());
}

// Every recorded GDI face, caption aside, pixel for pixel, painted with the colours it was
// recorded with.
TEST(IconButtonFaces, AreTheFacesGdiPaints) {
    const QImage record(QStringLiteral(TARN_FACES_CORPUS "/gdi-faces.png"));
    ASSERT_FALSE(record.isNull());
    const auto recorded = [&record](int index) {
        for (std::size_t i = 0; i < recordedColours.size(); ++i)
            if (recordedColours[i] == index)
                return record.pixelColor(static_cast<int>(i), 0);
        return QColor();
    };
    QPalette palette;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Button, recorded(15));
        palette.setColor(group, QPalette::Dark, recorded(16));
        palette.setColor(group, QPalette::ButtonText, recorded(18));
        palette.setColor(group, QPalette::Light, recorded(20));
        palette.setColor(group, QPalette::Shadow, recorded(21));
        palette.setColor(group, QPalette::Midlight, recorded(22));
        palette.setColor(group, QPalette::ToolTipBase, recorded(24));
    }
    palette.setColor(QPalette::Disabled, QPalette::Text, recorded(17));

    const FaceGeometry& g = at96;
    QWidget parent;
    parent.setPalette(palette);
    auto* button = new IconButton(QString(), &parent);
    button->resize(g.width, g.height);
    button->SetIcon(QStringLiteral(":/icons/logon.ico"));
    for (std::size_t i = 0; i < recordedFaces.size(); ++i) {
        ButtonFace face = button->FaceFor(recordedFaces[i].itemState, u"");
        face.hovering = recordedFaces[i].hovering;
        const QImage painted = button->PaintFace(face);
        const int top = 1 + g.height * static_cast<int>(i);
        int differing = 0;
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                differing += painted.pixel(x, y) != record.pixel(x, top + y);
        EXPECT_EQ(differing, 0) << recordedFaces[i].name;
    }
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
