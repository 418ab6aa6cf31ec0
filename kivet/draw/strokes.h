// Wide strokes and polygon fills through cairo on the memory context: lines
// and triangle outlines wider than one pixel, and triangle interiors. Each
// call keeps its stroke and fill settings its own; the context's earlier
// state is back when it returns.
#pragma once

#include <cstdint>

#include "kivet/draw/bitmap.h"
#include "kivet/draw/clipping.h"

namespace kivet {

// Strokes wider than this are drawn this wide. It is more than a hundred
// times the bitmap's size; a wider stroke looks different only where its
// centre line passes more than half of it away from the bitmap.
constexpr int64_t MAX_STROKE_WIDTH = 1 << 16;

// How far a stroke of this width reaches beyond its centre line.
int64_t stroke_reach(int64_t width);

// A solid line of `width` pixels with round ends.
void stroke_line(Bitmap& bitmap, int color, Pixel from, Pixel to, int64_t width);

// The closed outline of a triangle, `width` pixels wide with round corners.
void stroke_triangle(Bitmap& bitmap, int color, const Pixel (&corners)[3], int64_t width);

// The interior of a triangle. Its right and bottom edge pixels may be left
// out; a one-pixel outline adds them.
void fill_triangle(Bitmap& bitmap, int color, const Pixel (&corners)[3]);

}  // namespace kivet
