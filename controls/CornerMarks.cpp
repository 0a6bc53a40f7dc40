#include "controls/CornerMarks.h"

std::array<BentLine, 4> CornerMarkLines(const CanvasRect& rect, int inset) {
    const std::int32_t s = 3 + inset;
    const std::int32_t e = 7 + inset;
    const std::int32_t r = rect.right - 5 + inset;
    const std::int32_t b = rect.bottom - 5 + inset;
    return {{
        {{{e, s}, {s, s}, {s, e}}},
        {{{r - 4, s}, {r, s}, {r, e}}},
        {{{e, b}, {s, b}, {s, b - 4}}},
        {{{r - 4, b}, {r, b}, {r, b - 4}}},
    }};
}

void DrawCornerMarks(Canvas& canvas, const CanvasRect& rect, Colour colour, int inset) {
    const auto lines = CornerMarkLines(rect, inset);
    canvas.DrawLines(colour, lines);
}
