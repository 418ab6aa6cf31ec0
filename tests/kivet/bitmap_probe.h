// Whole-bitmap probes for the drawing and text tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "support/test_support.h"

// Every pixel of the bitmap, row by row, as 0xRRGGBB.
inline std::vector<uint32_t> bitmap_snapshot() {
  cairo_surface_t* s = kivet::offscreen_bitmap;
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  std::vector<uint32_t> pixels;
  for (int row = 0; row < kivet::BITMAP_HEIGHT; ++row) {
    for (int column = 0; column < kivet::BITMAP_WIDTH; ++column) {
      uint32_t pixel;
      memcpy(&pixel, data + row * stride + column * 4, sizeof pixel);
      pixels.push_back(pixel & 0xFFFFFF);
    }
  }
  return pixels;
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
      int x = column - kivet::origin_x, y = kivet::origin_y - row;
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
