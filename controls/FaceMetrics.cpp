#include "controls/FaceMetrics.h"

std::int32_t ScaleToDpi(std::int32_t value, std::int32_t dpi) {
    const std::int64_t product = std::int64_t{value} * dpi;
    const std::int64_t half = baseDpi / 2;
    return static_cast<std::int32_t>(product >= 0 ? (product + half) / baseDpi
                                                  : (product - half) / baseDpi);
}

FaceMetrics FaceMetricsForDpi(std::int32_t dpi) {
    const FaceMetrics base;
    return {ScaleToDpi(base.margin, dpi),     ScaleToDpi(base.iconSize, dpi),
            ScaleToDpi(base.captionGap, dpi), ScaleToDpi(base.markArm, dpi),
            ScaleToDpi(base.markNear, dpi),   ScaleToDpi(base.markFar, dpi),
            ScaleToDpi(base.inset, dpi)};
}
