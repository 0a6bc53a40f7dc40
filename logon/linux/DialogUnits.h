#pragma once

#include <QFont>
#include <QRect>

class QPaintDevice;

// A font's dialog base units: its average character width (the width of the 52 letters
// A-Z a-z over 52, rounded) and its character height, in pixels.
struct DialogBaseUnits {
    int width = 0;
    int height = 0;
};

DialogBaseUnits BaseUnitsOf(const QFont& font, QPaintDevice* device);

// A rectangle of a dialog template, in dialog units, in pixels: x × width / 4 and
// y × height / 8, each edge rounded on its own as the platform's MulDiv rounds.
QRect DialogUnitsToPixels(const QRect& units, DialogBaseUnits base);
