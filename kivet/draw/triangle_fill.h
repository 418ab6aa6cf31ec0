// Filled triangles: exactly the pixels whose centres lie inside the triangle
// or on its boundary, in exact integer arithmetic. The renderer draws the
// one-pixel outline around it too.
#pragma once

#include "kivet/draw/clipping.h"
#include "kivet/draw/raster.h"

namespace kivet {

void fill_triangle(PixelWriter& out, const Pixel (&corners)[3]);

}  // namespace kivet
