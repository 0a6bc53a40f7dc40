#include "controls/linux/PaletteColours.h"

#include <algorithm>

QColor PaletteColour(const QPalette& palette, ButtonColour colour) {
    const auto entry = std::find_if(paletteTable.begin(), paletteTable.end(),
                                    [colour](const PaletteEntry& e) { return e.colour == colour; });
    return palette.color(entry->group, entry->role);
}

Colour ToColour(const QColor& colour) {
    return static_cast<Colour>(colour.red()) | static_cast<Colour>(colour.green()) << 8 |
           static_cast<Colour>(colour.blue()) << 16;
}

QColor ToQColor(Colour colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
                  static_cast<int>(colour >> 16 & 0xFF));
}

FaceColours FaceColoursFrom(const QPalette& palette) {
    const auto read = [&palette](ButtonColour colour) {
        return ToColour(PaletteColour(palette, colour));
    };
    return {read(ButtonColour::buttonFace), read(ButtonColour::buttonShadow),
            read(ButtonColour::grayText), read(ButtonColour::buttonHighlight),
            read(ButtonColour::infoBackground)};
}
