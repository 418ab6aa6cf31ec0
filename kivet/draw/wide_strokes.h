// Strokes wider than one pixel, as wide pens draw them: a line is a capsule
// with round ends, a triangle's outline the union of its sides' capsules.
// A capsule of width w is exactly the set of pixels whose centres lie within
// w / 2 of the segment between its end pixels' centres, boundary included,
// each set to the palette colour. Lines and outlines one pixel wide are
// Bresenham lines (raster.h).
#pragma once

#include <cstdint>

#include "kivet/draw/clipping.h"
#include "kivet/draw/raster.h"

namespace kivet {

// Strokes wider than this are drawn this wide. It is more than a hundred
// times the bitmap's size; a wider stroke looks different only where its
// centre line passes more than half of it away from the bitmap.
constexpr int64_t MAX_STROKE_WIDTH = 1 << 16;

// How far a stroke of this width reaches beyond its centre line: no pixel
// of it lies farther away in x or y.
int64_t stroke_reach(int64_t width);

// A line `width` (2 or more) pixels wide with round ends.
void wide_line(PixelWriter& out, Pixel from, Pixel to, int64_t width);

// The closed outline of a triangle, `width` (2 or more) pixels wide with
// round corners; the interior is left alone.
void wide_triangle_outline(PixelWriter& out, const Pixel (&corners)[3], int64_t width);

}  // namespace kivet
