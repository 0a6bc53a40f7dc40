#pragma once

#include "controls/OwnerDrawConstants.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

// Where the logon button's painted pixels lie at one screen density, for the pixel tests of
// both editions: its size, the corner marks' offsets from the left/top and from the
// right/bottom, their arms and the pressed inset, the icon's place, the caption's room and a
// pixel of the logon icon's dark outline (relative to the icon's top-left corner).
struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct FaceGeometry {
    int dpi, width, height;
    int markNear, markFar, arm, inset;
    PixelRect icon;
    int captionLeft, captionRight;
    PixelPoint outline;
};

inline constexpr FaceGeometry at96{96, 75, 23, 3, 5, 4, 1, {3, 3, 19, 19}, 21, 70, {15, 8}};
inline constexpr FaceGeometry at144{144, 113, 35, 5, 8, 6, 2, {5, 5, 29, 29}, 32, 105, {22, 12}};
inline constexpr FaceGeometry at192{192, 150, 46, 6, 10, 8, 2, {6, 7, 38, 39}, 42, 140, {30, 16}};

// The logon icon's outline colour at `outline`, as red, green, blue.
inline constexpr int iconOutlineRed = 40, iconOutlineGreen = 40, iconOutlineBlue = 40;

// The pixels of the four corner marks on a face of that right and bottom, row by row.
inline std::vector<PixelPoint> CornerMarkPixels(const FaceGeometry& g, int right, int bottom,
                                                int inset) {
    std::vector<PixelPoint> pixels;
    const int s = g.markNear + inset, r = right - g.markFar + inset, b = bottom - g.markFar + inset;
    for (int i = 0; i < g.arm; ++i) {
        pixels.push_back({s + 1 + i, s}), pixels.push_back({s, s + i});             // top left
        pixels.push_back({r - g.arm + i, s}), pixels.push_back({r, s + i});         // top right
        pixels.push_back({s + 1 + i, b}), pixels.push_back({s, b - g.arm + 1 + i}); // bottom left
        pixels.push_back({r - g.arm + i, b}), pixels.push_back({r, b - g.arm + 1 + i}); // b. right
    }
    std::sort(pixels.begin(), pixels.end(),
              [](PixelPoint a, PixelPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return pixels;
}

// The faces recorded from GDI in tests/corpus/faces/gdi-faces.png, top to bottom, each painted
// without a caption on the logon button at 96 dots per inch. Above them, one row of the system
// colours the faces were painted with, in the order of recordedColours.
struct RecordedFace {
    const char* name;
    std::uint32_t itemState;
    bool hovering;
};

inline constexpr std::array<RecordedFace, 7> recordedFaces = {{
    {"idle", 0, false},
    {"focused", item_state::focus, false},
    {"hot", item_state::focus, true},
    {"pressed", item_state::selected | item_state::focus, false},
    {"pressedHot", item_state::selected | item_state::focus, true},
    {"default", item_state::defaultButton | item_state::focus, false},
    {"disabled", item_state::disabled | item_state::focus, true},
}};

// The system colour indices of the first row: button face, shadow, gray text, button text,
// highlight, 3-D dark shadow, 3-D light and info background.
inline constexpr std::array<int, 8> recordedColours = {15, 16, 17, 18, 20, 21, 22, 24};
