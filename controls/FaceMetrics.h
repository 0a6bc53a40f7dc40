#pragma once

#include <cstdint>

// The screen density the button's own pixel sizes are drawn for.
constexpr std::int32_t baseDpi = 96;

// value × dpi / 96, rounded to the nearest whole pixel with halves away from zero, as the
// platform's MulDiv rounds; the value itself at 96.
std::int32_t ScaleToDpi(std::int32_t value, std::int32_t dpi);

// The icon button's pixel sizes at one screen density. Pens stay one pixel wide and the 3-D
// edges are the platform's own, so neither scales and neither is here.
struct FaceMetrics {
    std::int32_t margin = 3;     // from the left edge to the icon
    std::int32_t iconSize = 16;  // the button icons are square
    std::int32_t captionGap = 2; // between the margin and the caption, on both sides
    std::int32_t markArm = 4;    // each arm of a corner mark
    std::int32_t markNear = 3;   // left and top marks' corners from 0
    std::int32_t markFar = 5;    // right and bottom marks' corners from the right and bottom
    std::int32_t inset = 1;      // pressed contents and their focus marks move right and down
    friend bool operator==(const FaceMetrics&, const FaceMetrics&) = default;
};

// Every size scaled from its value at 96; exactly the defaults at 96.
FaceMetrics FaceMetricsForDpi(std::int32_t dpi);
