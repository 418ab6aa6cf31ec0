// Whole-bitmap probes for the drawing and text tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "support/test_support.h"

// Every pixel of the bitmap, row by row, as 0xRRGGBB.
inline std::vector<uint32_t> bitmap_snapshot() {
  const uint32_t* data = kivet::state().offscreen_bitmap->data();
  return std::vector<uint32_t>(data, data + kivet::BITMAP_WIDTH * kivet::BITMAP_HEIGHT);
}

// Where the pixels of one colour lie, in display coordinates.
struct Ink {
  int count = 0;
  int left = 0, right = 0, top = 0, bottom = 0;  // top is the largest y
  int width() const { return count ? right - left + 1 : 0; }
  int height() const { return count ? top - bottom + 1 : 0; }
};

inline Ink ink(int color) {
  std::vector<uint32_t> pixels = bitmap_snapshot();
  uint32_t wanted = palette_rgb(color);
  Ink found;
  for (int row = 0; row < kivet::BITMAP_HEIGHT; ++row) {
    for (int column = 0; column < kivet::BITMAP_WIDTH; ++column) {
      if (pixels[row * kivet::BITMAP_WIDTH + column] != wanted) continue;
      int x = column - kivet::state().origin_x, y = kivet::state().origin_y - row;
      if (found.count == 0) {
        found.left = found.right = x;
        found.top = found.bottom = y;
      }
      found.left = std::min(found.left, x);
      found.right = std::max(found.right, x);
      found.top = std::max(found.top, y);
      found.bottom = std::min(found.bottom, y);
      ++found.count;
    }
  }
  return found;
}
