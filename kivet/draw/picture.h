// A picture decoded from a file, as the library keeps it, and its drawing
// into the bitmap: each pixel at least half opaque in its own colour, the
// others leaving the bitmap as it is, every pixel a scale x scale block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kivet/draw/clipping.h"

namespace kivet {

// The largest picture drawn, in pixels each way: a bigger one (a small
// file may claim a huge size) is refused before it is decoded.
constexpr int PICTURE_MAX_SIDE = 4096;

struct Picture {
  int width = 0;
  int height = 0;
  // Rows from the top, each pixel 0xFFRRGGBB when it is drawn, 0 when it
  // leaves the bitmap as it is.
  std::vector<uint32_t> pixels;
  std::string failure;  // why it cannot be drawn; empty when it can
  uint64_t last_use = 0;
};

// Draws `picture` with its top-left corner at display point (x, y), each of
// its pixels `scale` (at least 1) device pixels wide and high.
void draw_picture(DrawTarget& target, int x, int y, const Picture& picture, int scale);

}  // namespace kivet
