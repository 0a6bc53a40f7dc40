#pragma once

#include "controls/Canvas.h"
#include "controls/FaceMetrics.h"

#include <array>

// The four L-shaped focus and hover marks in the corners of a button face, each with arms
// of `metrics.markArm` pixels (four at 96 dots per inch). Only the right and bottom of
// `rect` enter: the left and top marks sit at fixed offsets from 0. `inset` pixels move all
// four right and down, together with a pressed caption. Order: top left, top right, bottom
// left, bottom right.
std::array<BentLine, 4> CornerMarkLines(const CanvasRect& rect, int inset,
                                        const FaceMetrics& metrics = {});

// Draws the marks with one pen of the colour; nothing when the pen cannot be made.
void DrawCornerMarks(Canvas& canvas, const CanvasRect& rect, Colour colour, int inset,
                     const FaceMetrics& metrics = {});
