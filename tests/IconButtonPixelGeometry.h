#pragma once

#include <algorithm>
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
