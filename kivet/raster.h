// Rasterising straight into the off-screen bitmap's memory: single pixels,
// one-pixel lines, rectangles and ovals. Their pixel sets are fixed rules
// (inclusive boxes, a disc 2r + 1 pixels across, Bresenham lines with both
// end points), so they are set here rather than left to cairo's rasteriser.
// Every write is clipped to the bitmap.
#pragma once

#include <cairo.h>

#include <cstdint>

#include "kivet/clipping.h"

namespace kivet {

// Writes pixels of one palette colour into an image surface, clipped to the
// bitmap's size. The surface is flushed on construction and marked dirty when
// the writer goes.
class PixelWriter {
 public:
  PixelWriter(cairo_surface_t* surface, int color);
  ~PixelWriter() { cairo_surface_mark_dirty(surface_); }
  PixelWriter(const PixelWriter&) = delete;
  PixelWriter& operator=(const PixelWriter&) = delete;

  void pixel(int64_t x, int64_t y) {
    if (x >= 0 && x < WIDTH && y >= 0 && y < HEIGHT) row(y)[x] = value_;
  }
  // Columns `left` to `right` of row `y`, both included.
  void span(int64_t y, int64_t left, int64_t right);
  void box(const Box& b);

 private:
  uint32_t* row(int64_t y) { return reinterpret_cast<uint32_t*>(data_ + y * stride_); }

  cairo_surface_t* surface_;
  unsigned char* data_;
  int stride_;
  uint32_t value_;
};

// The pixels of a one-pixel Bresenham line, both end points included.
void thin_line(PixelWriter& out, Pixel from, Pixel to);

// An inclusive box, filled (width 0) or outlined with a stroke of `width`
// centred on its edge.
void raster_rectangle(PixelWriter& out, const Box& box, int width);

// The ellipse inscribed in an inclusive box, filled (width 0) or outlined
// with a ring of `width` centred on its edge.
void raster_oval(PixelWriter& out, const Box& box, int width);

}  // namespace kivet
