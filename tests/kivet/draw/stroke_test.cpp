// Wide strokes and triangle fills, pixel for pixel: the bitmap after each
// call is compared with the rule worked out point by point in exact
// integers, and with the same shape drawn reversed, mirrored or from far
// outside the bitmap.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

#include "support/bitmap_probe.h"

namespace {

struct Point {
  int64_t x, y;
};

// One flag per bitmap pixel, row by row: whether `rule` holds at its centre
// (in display coordinates).
using Mask = std::vector<bool>;
Mask where(const std::function<bool(Point)>& rule) {
  Mask mask;
  for (int row = 0; row < kivet::BITMAP_HEIGHT; ++row) {
    for (int column = 0; column < kivet::BITMAP_WIDTH; ++column) {
      mask.push_back(rule(Point{column - kivet::state().origin_x, kivet::state().origin_y - row}));
    }
  }
  return mask;
}

// The pixels not white after drawing on a clear bitmap; with `turn`, the
// picture mirrored in x, and with `turn` 2 also in y, about the origin.
Mask drawn(const std::function<void()>& draw, int turn = 0) {
  KIVET_clear();
  draw();
  std::vector<uint32_t> pixels = bitmap_snapshot();
  return where([&](Point p) {
    int64_t x = turn ? -p.x : p.x, y = turn == 2 ? -p.y : p.y;
    int64_t row = kivet::state().origin_y - y;
    return row >= 0 && row < kivet::BITMAP_HEIGHT &&
           pixels[row * kivet::BITMAP_WIDTH + x + kivet::state().origin_x] != 0xFFFFFF;
  });
}

int differences(const Mask& a, const Mask& b) {
  int count = 0;
  for (size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
  return count;
}

// Within width / 2 of the segment from a to b, boundary included.
bool in_capsule(Point p, Point a, Point b, int64_t width) {
  auto near = [&](Point c) {
    return 4 * ((p.x - c.x) * (p.x - c.x) + (p.y - c.y) * (p.y - c.y)) <= width * width;
  };
  int64_t dx = b.x - a.x, dy = b.y - a.y;
  int64_t along = (p.x - a.x) * dx + (p.y - a.y) * dy;
  if (along <= 0 || along >= dx * dx + dy * dy) return near(a) || near(b);
  int64_t across = dx * (p.y - a.y) - dy * (p.x - a.x);
  return 4 * across * across <= width * width * (dx * dx + dy * dy);
}

// Inside the triangle or on its boundary: on no side's outer side.
bool in_triangle(Point p, const Point (&c)[3]) {
  int signs[3];
  for (int i = 0; i < 3; ++i) {
    const Point &a = c[i], &b = c[(i + 1) % 3];
    int64_t side = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    signs[i] = (side > 0) - (side < 0);
  }
  int least = std::min({signs[0], signs[1], signs[2]});
  int most = std::max({signs[0], signs[1], signs[2]});
  return least >= 0 || most <= 0;
}

std::function<void()> line(Point a, Point b, int width) {
  return [=] { KIVET_draw_line(BLACK, int(a.x), int(a.y), int(b.x), int(b.y), width); };
}

std::function<void()> triangle(const Point (&c)[3], int width) {
  Point a = c[0], b = c[1], d = c[2];
  return [=] {
    KIVET_draw_triangle(BLACK, int(a.x), int(a.y), int(b.x), int(b.y), int(d.x), int(d.y), width);
  };
}

class StrokeTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    open_library();
    KIVET_set_logging(0);
  }
};

}  // namespace

TEST_F(StrokeTest, WideLinesAndOutlinesAreEveryPixelWithinHalfTheWidthOfASide) {
  // Axis-aligned, 3-4-5 and 5-12-13 directions put pixel centres exactly on
  // the boundary; the others are short, steep, a point, or cut by the edges.
  struct Case {
    Point a, b;
    int width;
  };
  for (const Case& c :
       {Case{{-20, 10}, {20, 10}, 2}, Case{{0, 0}, {0, 40}, 4}, Case{{0, 0}, {60, 80}, 10},
        Case{{-50, 20}, {70, -30}, 7}, Case{{10, 10}, {13, 11}, 6}, Case{{5, 5}, {5, 5}, 9},
        Case{{0, 0}, {1, 100}, 2}, Case{{-310, -100}, {250, 300}, 8}}) {
    Mask rule = where([&](Point p) { return in_capsule(p, c.a, c.b, c.width); });
    EXPECT_EQ(differences(drawn(line(c.a, c.b, c.width)), rule), 0) << c.a.x << "," << c.a.y;
  }
  const Point t[3] = {{-150, -100}, {170, -60}, {-20, 200}};
  for (int width : {2, 5, 12}) {
    Mask rule = where([&](Point p) {
      return in_capsule(p, t[0], t[1], width) || in_capsule(p, t[1], t[2], width) ||
             in_capsule(p, t[2], t[0], width);
    });
    EXPECT_EQ(differences(drawn(triangle(t, width)), rule), 0) << "width " << width;
    EXPECT_EQ(bitmap_pixel(0, 13), palette_rgb(WHITE)) << "the inside is left alone";
  }
  // Spelled out: three rows, and round ends one pixel past each end point.
  KIVET_clear();
  KIVET_draw_line(RED, -20, 10, 20, 10, 3);
  Ink red = ink(RED);
  EXPECT_EQ(std::vector<int>({red.left, red.top, red.right, red.bottom, red.count}),
            std::vector<int>({-21, 11, 21, 9, 3 * 43}));
}

TEST_F(StrokeTest, WideLineIsTheSameReversedMirroredAndTurned) {
  for (int width : {2, 3, 6, 11}) {
    for (Point a : {Point{-37, -90}, Point{-120, 7}, Point{3, -150}, Point{-9, 2}}) {
      Point b{a.y + 15, -a.x + 11};  // square to a, give or take
      Mask forwards = drawn(line(a, b, width));
      EXPECT_EQ(differences(drawn(line(b, a, width)), forwards), 0) << a.x << " reversed";
      Point ma{-a.x, a.y}, mb{-b.x, b.y}, ta{-a.x, -a.y}, tb{-b.x, -b.y};
      EXPECT_EQ(differences(drawn(line(ma, mb, width), 1), forwards), 0) << a.x << " mirrored";
      EXPECT_EQ(differences(drawn(line(ta, tb, width), 2), forwards), 0) << a.x << " turned";
    }
  }
}

TEST_F(StrokeTest, TriangleFillIsTheClosedTriangleAndItsOutline) {
  const Point triangles[][3] = {
      {{-100, 0}, {-40, 10}, {-80, 60}},      {{0, 0}, {60, 0}, {0, 80}},  // right angle, 3-4-5
      {{-200, -70}, {200, -72}, {0, -71}},    {{-5, 5}, {5, 5}, {0, -5}},
      {{100, -100}, {-400, -350}, {20, 300}},  // cut by the bitmap's edges
  };
  for (const auto& t : triangles) {
    Mask outline = drawn(triangle(t, 1));
    Mask rule = where([&](Point p) { return in_triangle(p, t); });
    for (size_t i = 0; i < rule.size(); ++i) rule[i] = rule[i] || outline[i];
    EXPECT_EQ(differences(drawn(triangle(t, 0)), rule), 0) << t[0].x << "," << t[0].y;
    EXPECT_EQ(bitmap_pixel(int(t[0].x), int(t[0].y)), palette_rgb(BLACK)) << "its corners";
  }
  const Point flat[3] = {{-50, -20}, {70, 28}, {10, 4}};
  EXPECT_EQ(differences(drawn(triangle(flat, 0)), drawn(triangle(flat, 1))), 0)
      << "collinear corners: just the outline";
}

// Ends far outside the bitmap on the same straight line as nearer ones draw
// the same visible pixels, exact to the boundary, and no more slowly.
TEST_F(StrokeTest, ShapesFromFarOutsideDrawTheSameVisiblePixels) {
  const int64_t k = 500000000, m = 170000000;  // 4k and 12m are near INT_MAX
  EXPECT_EQ(differences(drawn(line({-3 * k, -4 * k}, {3 * k, 4 * k}, 9)),
                        drawn(line({-300, -400}, {300, 400}, 9))),
            0);
  const Point near_fill[3] = {{-1200, -500}, {1200, 500}, {-1200, 500}};
  const Point far_fill[3] = {{-12 * m, -5 * m}, {12 * m, 5 * m}, {-12 * m, 5 * m}};
  EXPECT_EQ(differences(drawn(triangle(far_fill, 0)), drawn(triangle(near_fill, 0))), 0);

  // Sides along the int range's ends: only what passes the bitmap shows,
  // whole rows of it.
  const Point wide[3] = {{INT_MIN, 0}, {INT_MAX, 0}, {0, INT_MAX}};
  const Point tall[3] = {{INT_MIN, -10}, {INT_MAX, -10}, {INT_MAX, INT_MAX}};
  const Point all[3] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {0, 0}};
  auto rows = [](int64_t bottom, int64_t top) {
    return where([=](Point p) { return p.y >= bottom && p.y <= top; });
  };
  EXPECT_EQ(differences(drawn(line({INT_MIN, 5}, {INT_MAX, 5}, 7)), rows(2, 8)), 0);
  EXPECT_EQ(differences(drawn(triangle(wide, 11)), rows(-5, 5)), 0);
  EXPECT_EQ(differences(drawn(triangle(tall, 0)), rows(-10, INT_MAX)), 0);
  EXPECT_EQ(differences(drawn(triangle(all, INT_MAX)), rows(INT_MIN, INT_MAX)), 0);
}
