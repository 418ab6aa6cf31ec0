// Triangle fills row by row. Each row of a triangle is one run of columns,
// from the leftmost to the rightmost point where its edges meet the row;
// those points are kept as exact fractions that step from row to row, so
// only the bitmap's rows are walked, each in constant time, whatever the
// corners' coordinates.
#include "kivet/draw/triangle_fill.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "kivet/draw/line_steps.h"

namespace kivet {

namespace {

// An edge from its upper end `top` to its lower end, and where it meets
// each row, from row `first` (not above `top`) on. A horizontal edge meets
// no row: its ends are corners, which the fill takes as they are.
struct Edge {
  Edge(Pixel top, Pixel bottom, int64_t first)
      : top(top),
        bottom_row(bottom.y),
        column(bottom.x - top.x, 0, std::max<int64_t>(bottom.y - top.y, 1),
               std::min(first, bottom.y) - top.y) {}

  bool meets(int64_t y) const { return y >= top.y && y <= bottom_row && bottom_row > top.y; }

  Pixel top;
  int64_t bottom_row;
  SteppedQuotient column;  // x - top.x, exactly, at the current row
};

}  // namespace

void fill_triangle(PixelWriter& out, const Pixel (&corners)[3]) {
  Pixel c[3] = {corners[0], corners[1], corners[2]};
  std::sort(c, c + 3, [](const Pixel& a, const Pixel& b) { return a.y < b.y; });
  int64_t first = std::max<int64_t>(c[0].y, 0);
  int64_t last = std::min(c[2].y, HEIGHT - 1);
  if (first > last) return;
  Edge edges[3] = {Edge(c[0], c[2], first), Edge(c[0], c[1], first),
                   Edge(c[1], c[2], std::max(first, c[1].y))};
  for (int64_t y = first; y <= last; ++y) {
    int64_t left = INT64_MAX, right = INT64_MIN;
    for (const Pixel& corner : c) {
      if (corner.y != y) continue;
      left = std::min(left, corner.x);
      right = std::max(right, corner.x);
    }
    for (Edge& edge : edges) {
      if (!edge.meets(y)) continue;
      left = std::min(left, edge.top.x + edge.column.ceil());
      right = std::max(right, edge.top.x + edge.column.floor());
      edge.column.next();
    }
    if (left <= right) out.span(y, left, right);
  }
}

}  // namespace kivet
