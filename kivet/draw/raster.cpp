// Rasterising straight into the bitmap: the pixel writer, Bresenham lines,
// boxes and ellipse spans. Each loop walks only the rows or columns that lie
// in the bitmap, so a shape across the whole int range costs no more than
// one across the bitmap.
#include "kivet/draw/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "kivet/kivet.h"

namespace kivet {

namespace {

// Sets `count` pixels from `first` on to `value`. A few are set one by one;
// the rest are copies of what is already set, doubling each time, so a long
// run is made by the wide stores of memcpy rather than one pixel at a time.
void fill_pixels(uint32_t* first, size_t count, uint32_t value) {
  constexpr size_t ONE_BY_ONE = 8;
  size_t done = std::min(count, ONE_BY_ONE);
  for (size_t i = 0; i < done; ++i) first[i] = value;
  while (done < count) {
    size_t chunk = std::min(done, count - done);
    memcpy(first + done, first, chunk * sizeof(uint32_t));
    done += chunk;
  }
}

}  // namespace

void PixelWriter::span(int64_t y, int64_t left, int64_t right) {
  if (y < 0 || y >= HEIGHT) return;
  left = std::max<int64_t>(left, 0);
  right = std::min(right, WIDTH - 1);
  if (left > right) return;
  fill_pixels(row(y) + left, static_cast<size_t>(right - left + 1), value_);
  note_rows(y, y);
}

void PixelWriter::box(const Box& b) {
  int64_t top = std::max<int64_t>(b.top, 0);
  int64_t bottom = std::min(b.bottom, HEIGHT - 1);
  int64_t left = std::max<int64_t>(b.left, 0);
  int64_t right = std::min(b.right, WIDTH - 1);
  if (top > bottom || left > right) return;
  // The first row is filled; every other row is a copy of it.
  span(top, left, right);
  const uint32_t* first = row(top) + left;
  size_t bytes = static_cast<size_t>(right - left + 1) * sizeof(uint32_t);
  for (int64_t y = top + 1; y <= bottom; ++y) memcpy(row(y) + left, first, bytes);
  note_rows(top, bottom);
}

// ---- One-pixel lines ----

void thin_line(PixelWriter& out, Pixel from, Pixel to) {
  walk_thin_line(from, to, [&out](int64_t x, int64_t y) { out.pixel(x, y); });
}

// ---- Rectangles ----

void raster_rectangle(PixelWriter& out, const Box& box, int width) {
  // An outline of width w centred on the box's edge: w / 2 pixels outside
  // the edge, the edge itself, and the rest inside.
  int64_t outside = width / 2;
  int64_t inside = width > 0 ? (width - 1) / 2 + 1 : 0;
  Box outer = box.grown(outside);
  Box hole = box.grown(-inside);
  if (width == 0 || hole.left > hole.right || hole.top > hole.bottom) {
    out.box(outer);
    return;
  }
  out.box(Box{outer.left, outer.top, outer.right, hole.top - 1});
  out.box(Box{outer.left, hole.bottom + 1, outer.right, outer.bottom});
  out.box(Box{outer.left, hole.top, hole.left - 1, hole.bottom});
  out.box(Box{hole.right + 1, hole.top, outer.right, hole.bottom});
}

// ---- Ovals ----

namespace {

// An axis-aligned ellipse in device pixel units.
struct Ellipse {
  double cx, cy, a, b;
};

struct Span {
  int64_t left, right;
  bool empty() const { return left > right; }
};

// The columns of row `y` whose centres lie inside the ellipse, its boundary
// included, or with `strict` excluded.
Span ellipse_span(const Ellipse& e, int64_t y, bool strict) {
  const Span none{0, -1};
  if (e.a <= 0 || e.b <= 0) return none;
  double t = (static_cast<double>(y) - e.cy) / e.b;
  double q = 1 - t * t;
  if (q < 0 || (strict && q == 0)) return none;
  double half = e.a * std::sqrt(q);
  if (strict) {
    return Span{static_cast<int64_t>(std::floor(e.cx - half)) + 1,
                static_cast<int64_t>(std::ceil(e.cx + half)) - 1};
  }
  return Span{static_cast<int64_t>(std::ceil(e.cx - half)),
              static_cast<int64_t>(std::floor(e.cx + half))};
}

// The rows of the bitmap an ellipse can touch.
void visible_rows(const Ellipse& e, int64_t& first, int64_t& last) {
  first = std::max<int64_t>(0, static_cast<int64_t>(std::floor(e.cy - e.b)));
  last = std::min<int64_t>(HEIGHT - 1, static_cast<int64_t>(std::ceil(e.cy + e.b)));
}

// A ring between an outer and an inner ellipse. Where the ring turns steeply
// its runs are stretched to meet the next row's outer edge, so that even a
// one-pixel outline has no gaps.
void ring(PixelWriter& out, const Ellipse& outer, const Ellipse& inner) {
  int64_t first, last;
  visible_rows(outer, first, last);
  for (int64_t y = first; y <= last; ++y) {
    Span o = ellipse_span(outer, y, false);
    if (o.empty()) continue;
    Span hole = ellipse_span(inner, y, true);
    if (hole.empty()) {
      out.span(y, o.left, o.right);
      continue;
    }
    int64_t left_end = hole.left - 1, right_start = hole.right + 1;
    for (int64_t neighbour : {y - 1, y + 1}) {
      Span n = ellipse_span(outer, neighbour, false);
      if (n.empty()) continue;
      left_end = std::max(left_end, n.left - 1);
      right_start = std::min(right_start, n.right + 1);
    }
    if (left_end + 1 >= right_start) {
      out.span(y, o.left, o.right);
    } else {
      out.span(y, o.left, left_end);
      out.span(y, right_start, o.right);
    }
  }
}

}  // namespace

void raster_oval(PixelWriter& out, const Box& box, int width) {
  // Centre and half-axes through the centres of the box's outermost pixels;
  // exact in double for any int coordinates.
  double cx = (static_cast<double>(box.left) + static_cast<double>(box.right)) / 2;
  double cy = (static_cast<double>(box.top) + static_cast<double>(box.bottom)) / 2;
  double a = (static_cast<double>(box.right) - static_cast<double>(box.left)) / 2;
  double b = (static_cast<double>(box.bottom) - static_cast<double>(box.top)) / 2;
  if (width == 0) {
    // Half a pixel beyond the outermost centres: exactly the inclusive box.
    Ellipse disc{cx, cy, a + 0.5, b + 0.5};
    int64_t first, last;
    visible_rows(disc, first, last);
    for (int64_t y = first; y <= last; ++y) {
      Span s = ellipse_span(disc, y, false);
      out.span(y, s.left, s.right);
    }
    return;
  }
  double half = width / 2.0;
  ring(out, Ellipse{cx, cy, a + half, b + half}, Ellipse{cx, cy, a - half, b - half});
}

}  // namespace kivet
