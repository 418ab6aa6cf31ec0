// Device pixels and clipping to the off-screen bitmap. Drawing requests carry
// display coordinates from the whole int range; they are mapped to device
// pixels in 64-bit arithmetic and cut down here, before they reach a pixel
// loop or floating-point arithmetic.
#pragma once

#include <array>
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

// A point in device pixel units: pixel (x, y) has its centre at (x, y).
struct Point {
  double x, y;
};

inline Point to_point(Pixel p) { return Point{static_cast<double>(p.x), static_cast<double>(p.y)}; }

// A convex polygon clipped by the four sides of a box: a triangle gains at
// most one vertex per side.
struct Polygon {
  std::array<Point, 8> points;
  int count = 0;
  void add(Point p) { points[count++] = p; }
};

// The part of a convex polygon inside the bitmap grown by `margin` pixels on
// every side; empty (count 0) when nothing is left.
Polygon clip_to_bitmap(Polygon polygon, double margin);

// Cuts the segment from a to b down to the bitmap grown by `margin`. Returns
// false when nothing of it is left.
bool clip_segment(Point& a, Point& b, double margin);

}  // namespace kivet
