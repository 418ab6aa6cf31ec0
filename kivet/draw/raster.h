// Rasterising straight into the off-screen bitmap's memory: the pixel
// writer every shape draws through, single pixels, one-pixel lines,
// rectangles and ovals. Their pixel sets are fixed rules (inclusive boxes,
// a disc 2r + 1 pixels across, Bresenham lines with both end points). Every
// write is clipped to the bitmap.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "kivet/draw/bitmap.h"
#include "kivet/draw/clipping.h"
#include "kivet/draw/line_steps.h"

namespace kivet {

// Writes pixels of one palette colour into the bitmap, clipped to it, and
// adds the rows it wrote to `changed` when it goes.
class PixelWriter {
 public:
  PixelWriter(Bitmap& bitmap, int color, ChangedRows& changed)
      : bitmap_(bitmap), changed_(changed), value_(pixel_value(color)) {}
  ~PixelWriter() { changed_.add(first_row_, last_row_); }
  PixelWriter(const PixelWriter&) = delete;
  PixelWriter& operator=(const PixelWriter&) = delete;

  void pixel(int64_t x, int64_t y) {
    if (x < 0 || x >= WIDTH || y < 0 || y >= HEIGHT) return;
    row(y)[x] = value_;
    note_rows(y, y);
  }
  // Columns `left` to `right` of row `y`, both included.
  void span(int64_t y, int64_t left, int64_t right);
  void box(const Box& b);

 private:
  uint32_t* row(int64_t y) { return bitmap_.row(static_cast<int>(y)); }
  void note_rows(int64_t first, int64_t last) {
    first_row_ = std::min(first_row_, first);
    last_row_ = std::max(last_row_, last);
  }

  Bitmap& bitmap_;
  ChangedRows& changed_;
  uint32_t value_;
  int64_t first_row_ = HEIGHT;
  int64_t last_row_ = -1;
};

// Calls plot(x, y) for the pixels of a one-pixel Bresenham line, both end
// points included: at each step along the major axis, the pixel nearest the
// ideal line, halves rounding away from the lower major end. Only the part
// of the major axis inside the bitmap is walked, its first pixel computed
// exactly from the end points: a line across the whole int range takes no
// more steps than one across the bitmap. The minor coordinate may still lie
// outside it.
template <typename Plot>
void walk_thin_line(Pixel from, Pixel to, Plot&& plot) {
  bool steep = std::llabs(to.y - from.y) > std::llabs(to.x - from.x);
  int64_t major0 = steep ? from.y : from.x, minor0 = steep ? from.x : from.y;
  int64_t major1 = steep ? to.y : to.x, minor1 = steep ? to.x : to.y;
  // Walking always from the lower major end draws a line the same both ways.
  if (major0 > major1) {
    std::swap(major0, major1);
    std::swap(minor0, minor1);
  }
  int64_t first = std::max<int64_t>(major0, 0);
  int64_t last = std::min(major1, (steep ? HEIGHT : WIDTH) - 1);
  if (first > last) return;
  int64_t run = major1 - major0;
  int64_t rise = minor1 - minor0;
  int64_t direction = rise < 0 ? -1 : 1;
  // The minor offset at step k is (2 k |rise| + run) / (2 run), rounded down.
  SteppedQuotient offset(2 * (rise < 0 ? -rise : rise), run, std::max<int64_t>(2 * run, 1),
                         first - major0);
  for (int64_t major = first; major <= last; ++major, offset.next()) {
    int64_t minor = minor0 + direction * offset.floor();
    if (steep) {
      plot(minor, major);
    } else {
      plot(major, minor);
    }
  }
}

// The pixels of a one-pixel Bresenham line, written in the bitmap.
void thin_line(PixelWriter& out, Pixel from, Pixel to);

// An inclusive box, filled (width 0) or outlined with a stroke of `width`
// centred on its edge.
void raster_rectangle(PixelWriter& out, const Box& box, int width);

// The ellipse inscribed in an inclusive box, filled (width 0) or outlined
// with a ring of `width` centred on its edge.
void raster_oval(PixelWriter& out, const Box& box, int width);

}  // namespace kivet
