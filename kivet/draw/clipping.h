// Device pixels and the bitmap's bounds. Drawing requests carry display
// coordinates from the whole int range; they are mapped to device pixels in
// 64-bit arithmetic, and a shape whose bounds miss the bitmap is dropped
// before any pixel loop. The loops themselves walk only the bitmap's rows
// or columns.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "kivet/draw/bitmap.h"

namespace kivet {

constexpr int64_t WIDTH = BITMAP_WIDTH;
constexpr int64_t HEIGHT = BITMAP_HEIGHT;

// A device pixel: column and row in the bitmap, (0, 0) at its top left.
struct Pixel {
  int64_t x, y;
};

// Display point (x, y) as a device pixel, `origin` being the device pixel
// of display point (0, 0).
inline Pixel to_device(Pixel origin, int x, int y) {
  return Pixel{origin.x + int64_t{x}, origin.y - int64_t{y}};
}

// A box of device pixels, both ends included.
struct Box {
  int64_t left, top, right, bottom;

  bool misses_bitmap() const {
    return left > right || top > bottom || right < 0 || bottom < 0 || left >= WIDTH ||
           top >= HEIGHT;
  }
  Box grown(int64_t by) const { return Box{left - by, top - by, right + by, bottom + by}; }
};

// Where a drawing request lands: the bitmap, the rows of it that changed
// since it was last shown, and the device pixel of display point (0, 0).
struct DrawTarget {
  Bitmap& bitmap;
  ChangedRows& changed;
  Pixel origin;
};

// The smallest box holding every one of the pixels.
Box bounds(std::initializer_list<Pixel> pixels);

}  // namespace kivet
