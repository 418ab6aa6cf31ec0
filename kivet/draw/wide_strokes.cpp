// Capsules, row by row. A capsule is the union of a disc around each end
// and the rectangle swept between them, so each row of it is one run of
// columns: the hull of those three pieces' runs. Only the bitmap's rows are
// walked, each in constant time. Where a row meets the segment's line is
// kept exactly in integers (line_steps.h), whatever the coordinates; doubles
// carry only the offsets from it: a disc's half chord, and the rectangle's
// half run along a row, width x length / (2 |dy|). Those are exact where a
// boundary passes through a pixel centre of a segment up to 2^26 long, and
// err by 2^-53 of their size otherwise: far below a pixel unless a nearly
// level segment is both very long and very wide.
#include "kivet/draw/wide_strokes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "kivet/draw/line_steps.h"

namespace kivet {

namespace {

// Columns of one row, both ends included; empty while left > right.
struct Columns {
  int64_t left = 1, right = 0;

  bool empty() const { return left > right; }
  // Grows to the hull of itself and `other`: the rows of a convex shape
  // have no gaps.
  void add(Columns other) {
    if (other.empty()) return;
    left = empty() ? other.left : std::min(left, other.left);
    right = empty() ? other.right : std::max(right, other.right);
  }
};

int64_t ceil_of(double value) { return static_cast<int64_t>(std::ceil(value)); }
int64_t floor_of(double value) { return static_cast<int64_t>(std::floor(value)); }

// The columns, relative to a disc's centre, of the row `j` rows from it
// whose pixel centres lie within width / 2 of that centre.
Columns disc_columns(int64_t j, int64_t width) {
  if (2 * std::llabs(j) > width) return Columns{};
  double half = std::sqrt(static_cast<double>(width * width - 4 * j * j)) / 2;
  return Columns{ceil_of(-half), floor_of(half)};
}

// The length of the vector (dx, dy). Each product is a statement of its own
// so that no compiler fuses it with the sum: the same value on every target.
double length(int64_t dx, int64_t dy) {
  double x2 = static_cast<double>(dx) * static_cast<double>(dx);
  double y2 = static_cast<double>(dy) * static_cast<double>(dy);
  double sum = x2 + y2;
  return std::sqrt(sum);
}

// The rectangle swept by the segment from (0, 0) to (dx, dy), dx >= 0 and
// dy >= 0: points within width / 2 of the segment's line whose foot on that
// line falls on the segment. Asked for rows `first`, `first + 1` and so on,
// from width / 2 above the segment to width / 2 below it.
class Body {
 public:
  Body(int64_t dx, int64_t dy, int64_t width, int64_t first)
      : dx_(dx),
        dy_(dy),
        width_(width),
        across_(static_cast<double>(width) * length(dx, dy)),
        centre_(dx, 0, std::max<int64_t>(dy, 1), first) {}

  Columns row(int64_t j) {
    Columns c = columns(j);
    centre_.next();
    return c;
  }

 private:
  Columns columns(int64_t j) const {
    int64_t half = width_ / 2;
    if (dy_ == 0) return std::llabs(j) <= half ? Columns{0, dx_} : Columns{};
    if (dx_ == 0) return j >= 0 && j <= dy_ ? Columns{-half, half} : Columns{};
    // Across the line: its column at row j is centre_ = dx j / dy, exactly,
    // and a point u columns from it lies u dy / length from the line.
    double remainder = static_cast<double>(centre_.remainder());
    double twice_dy = 2 * static_cast<double>(dy_);
    Columns c{centre_.floor() + ceil_of((2 * remainder - across_) / twice_dy),
              centre_.floor() + floor_of((2 * remainder + across_) / twice_dy)};
    // Along it: between the lines square to the segment through its ends,
    // u dx + j dy >= 0 and (u - dx) dx + (j - dy) dy <= 0. Beyond width / 2
    // rows from an end, no point within width / 2 of the line crosses that
    // end's line, so each is checked only near its end, where the products
    // stay small.
    if (2 * j <= width_) {
      c.left = std::max(c.left, ceil_divide(-dy_ * j, dx_));
    }
    if (2 * (dy_ - j) <= width_) {
      c.right = std::min(c.right, dx_ + floor_divide(dy_ * (dy_ - j), dx_));
    }
    return c;
  }

  int64_t dx_, dy_, width_;
  double across_;  // width times the segment's length
  SteppedQuotient centre_;
};

void capsule(PixelWriter& out, Pixel from, Pixel to, int64_t width) {
  // Drawn always from the upper end, and mirrored when the other end lies to
  // its left, so the pixels are the same whichever way round the segment
  // comes, and mirror images of each other for mirrored segments.
  if (to.y < from.y || (to.y == from.y && to.x < from.x)) std::swap(from, to);
  bool mirrored = to.x < from.x;
  int64_t dx = mirrored ? from.x - to.x : to.x - from.x;
  int64_t dy = to.y - from.y;
  int64_t first = std::max<int64_t>(from.y - width / 2, 0);
  int64_t last = std::min(to.y + width / 2, HEIGHT - 1);
  if (first > last) return;
  Body body(dx, dy, width, first - from.y);
  for (int64_t y = first; y <= last; ++y) {
    int64_t j = y - from.y;
    Columns row = disc_columns(j, width);
    Columns far_end = disc_columns(j - dy, width);
    row.add(Columns{far_end.left + dx, far_end.right + dx});
    row.add(body.row(j));
    if (row.empty()) continue;
    if (mirrored) {
      out.span(y, from.x - row.right, from.x - row.left);
    } else {
      out.span(y, from.x + row.left, from.x + row.right);
    }
  }
}

}  // namespace

int64_t stroke_reach(int64_t width) { return std::min(width, MAX_STROKE_WIDTH) / 2 + 1; }

void wide_line(PixelWriter& out, Pixel from, Pixel to, int64_t width) {
  capsule(out, from, to, std::min(width, MAX_STROKE_WIDTH));
}

void wide_triangle_outline(PixelWriter& out, const Pixel (&corners)[3], int64_t width) {
  for (int i = 0; i < 3; ++i) wide_line(out, corners[i], corners[(i + 1) % 3], width);
}

}  // namespace kivet
