// Clipping to the off-screen bitmap: the bounds of a shape, and the cuts of
// polygons and segments that keep the rasteriser's coordinates small.
#include "kivet/draw/clipping.h"

#include <algorithm>

namespace kivet {

Box bounds(std::initializer_list<Pixel> pixels) {
  Box box{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
  for (const Pixel& p : pixels) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  }
  return box;
}

namespace {

// Keeps the part of `in` on one side of the line x = limit (axis 0) or
// y = limit (axis 1); `keep_below` keeps the side with smaller values.
Polygon clip_side(const Polygon& in, int axis, double limit, bool keep_below) {
  auto value = [axis](const Point& p) { return axis == 0 ? p.x : p.y; };
  auto inside = [&](const Point& p) { return keep_below ? value(p) <= limit : value(p) >= limit; };
  auto crossing = [&](const Point& p, const Point& q) {
    double t = (limit - value(p)) / (value(q) - value(p));
    return Point{p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)};
  };
  Polygon out;
  for (int i = 0; i < in.count; ++i) {
    const Point& current = in.points[i];
    const Point& previous = in.points[(i + in.count - 1) % in.count];
    if (inside(current)) {
      if (!inside(previous)) out.add(crossing(previous, current));
      out.add(current);
    } else if (inside(previous)) {
      out.add(crossing(previous, current));
    }
  }
  return out;
}

}  // namespace

Polygon clip_to_bitmap(Polygon polygon, double margin) {
  polygon = clip_side(polygon, 0, -margin, false);
  polygon = clip_side(polygon, 0, WIDTH - 1 + margin, true);
  polygon = clip_side(polygon, 1, -margin, false);
  return clip_side(polygon, 1, HEIGHT - 1 + margin, true);
}

// Liang-Barsky: the segment's parameter range is narrowed by each side.
bool clip_segment(Point& a, Point& b, double margin) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double enter = 0, leave = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x + margin, WIDTH - 1 + margin - a.x, a.y + margin,
                       HEIGHT - 1 + margin - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    double t = q[i] / p[i];
    if (p[i] < 0) {
      enter = std::max(enter, t);
    } else {
      leave = std::min(leave, t);
    }
  }
  if (enter > leave) return false;
  Point start{a.x + enter * dx, a.y + enter * dy};
  b = Point{a.x + leave * dx, a.y + leave * dy};
  a = start;
  return true;
}

}  // namespace kivet
