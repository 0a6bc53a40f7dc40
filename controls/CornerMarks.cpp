#include "controls/CornerMarks.h"

std::array<BentLine, 4> CornerMarkLines(const CanvasRect& rect, int inset,
                                        const FaceMetrics& metrics) {
    const std::int32_t arm = metrics.markArm;
    const std::int32_t s = metrics.markNear + inset;
    const std::int32_t e = s + arm;
    const std::int32_t r = rect.right - metrics.markFar + inset;
    const std::int32_t b = rect.bottom - metrics.markFar + inset;
    return {{
        {{{e, s}, {s, s}, {s, e}}},
        {{{r - arm, s}, {r, s}, {r, e}}},
        {{{e, b}, {s, b}, {s, b - arm}}},
        {{{r - arm, b}, {r, b}, {r, b - arm}}},
    }};
}

void DrawCornerMarks(Canvas& canvas, const CanvasRect& rect, Colour colour, int inset,
                     const FaceMetrics& metrics) {
    const auto lines = CornerMarkLines(rect, inset, metrics);
    canvas.DrawLines(colour, lines);
}
