// Device pixels and the bitmap's bounds. Drawing requests carry display
// coordinates from the whole int range; they are mapped to device pixels in
// 64-bit arithmetic, and a shape whose bounds miss the bitmap is dropped
// before any pixel loop. The loops themselves walk only the bitmap's rows
// or columns.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "kivet/draw/bitmap.h"
#include "kivet/state.h"

namespace kivet {

constexpr int64_t WIDTH = BITMAP_WIDTH;
constexpr int64_t HEIGHT = BITMAP_HEIGHT;

// A device pixel: column and row in the bitmap, (0, 0) at its top left.
struct Pixel {
  int64_t x, y;
};

inline Pixel to_device(int x, int y) { return Pixel{origin_x + int64_t{x}, origin_y - int64_t{y}}; }

// A box of device pixels, both ends included.
struct Box {
  int64_t left, top, right, bottom;

  bool misses_bitmap() const {
    return left > right || top > bottom || right < 0 || bottom < 0 || left >= WIDTH ||
           top >= HEIGHT;
  }
  Box grown(int64_t by) const { return Box{left - by, top - by, right + by, bottom + by}; }
};

// The smallest box holding every one of the pixels.
Box bounds(std::initializer_list<Pixel> pixels);

}  // namespace kivet
