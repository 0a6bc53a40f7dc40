#pragma once

#include "common/Text.h"

#include <array>
#include <cstdint>
#include <span>

struct CanvasPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const CanvasPoint&, const CanvasPoint&) = default;
};

// A rectangle in device pixels; right and bottom lie just outside it.
struct CanvasRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    CanvasRect Moved(std::int32_t dx, std::int32_t dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    CanvasRect Shrunk(std::int32_t by) const {
        return {left + by, top + by, right - by, bottom - by};
    }
    friend bool operator==(const CanvasRect&, const CanvasRect&) = default;
};

// A line from the first point to the second and on to the third.
using BentLine = std::array<CanvasPoint, 3>;

// A colour in the platform's 0x00BBGGRR layout.
using Colour = std::uint32_t;

// An icon the canvas can draw. Who owns it is the caller's business; the canvas only
// draws it. `none` is no icon.
enum class CanvasIcon : std::uintptr_t { none = 0 };

enum class EdgeStyle { raised, sunken };
enum class IconLook { normal, disabled };

// Where the icon button paints. The real canvas is an off-screen GDI surface; the tests'
// canvas records the calls. Every call paints on the surface at once; nothing is
// buffered between calls, so the order of the calls is the order of painting.
class Canvas {
public:
    virtual ~Canvas() = default;

    // A solid fill of the rectangle.
    virtual void FillRect(const CanvasRect& rect, Colour colour) = 0;

    // A two-pixel 3-D border just inside the rectangle, on all four sides.
    virtual void DrawEdge(const CanvasRect& rect, EdgeStyle style) = 0;

    // The icon stretched to the rectangle, normal or in the platform's disabled look.
    virtual void DrawIcon(CanvasIcon icon, const CanvasRect& rect, IconLook look) = 0;

    // The colour for the following WriteText calls.
    virtual void SetTextColour(Colour colour) = 0;

    // Text laid out in the rectangle with the given text_format flags, over a transparent
    // background; an ampersand marks a mnemonic.
    virtual void WriteText(TextView text, const CanvasRect& rect, std::uint32_t format) = 0;

    // One-pixel lines with one solid pen of the colour; the last point of each line is not
    // painted. When the pen cannot be made nothing is drawn and the result is false.
    virtual bool DrawLines(Colour pen, std::span<const BentLine> lines) = 0;
};
