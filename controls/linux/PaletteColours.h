#pragma once

#include "controls/Canvas.h"
#include "controls/IconButtonFace.h"

#include <QColor>
#include <QPalette>

#include <array>

// The system colours the icon button and its 3-D edges paint with.
enum class ButtonColour {
    buttonFace,
    buttonHighlight,
    buttonShadow,
    light3d,
    darkShadow3d,
    infoBackground,
    grayText,
    buttonText,
};

// Where each of them is read from the widget's palette: the one place that ties the
// button's colours to the desktop's. The active group throughout, so a face does not change
// when the window loses the activation, as the system colours do not.
struct PaletteEntry {
    ButtonColour colour;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

inline constexpr std::array<PaletteEntry, 8> paletteTable = {{
    {ButtonColour::buttonFace, QPalette::Active, QPalette::Button},
    {ButtonColour::buttonHighlight, QPalette::Active, QPalette::Light},
    {ButtonColour::buttonShadow, QPalette::Active, QPalette::Dark},
    {ButtonColour::light3d, QPalette::Active, QPalette::Midlight},
    {ButtonColour::darkShadow3d, QPalette::Active, QPalette::Shadow},
    {ButtonColour::infoBackground, QPalette::Active, QPalette::ToolTipBase},
    {ButtonColour::grayText, QPalette::Disabled, QPalette::Text},
    {ButtonColour::buttonText, QPalette::Active, QPalette::ButtonText},
}};

QColor PaletteColour(const QPalette& palette, ButtonColour colour);

// Colours in the core's 0x00BBGGRR layout and back; the alpha is dropped.
Colour ToColour(const QColor& colour);
QColor ToQColor(Colour colour);

// The colours one draw request of the button paints with, from the palette as it is now.
FaceColours FaceColoursFrom(const QPalette& palette);
