// Drawing primitives: argument corrections and their complaint lines, log
// sentences, the pixels each shape covers, and clear, flush and undo.
#include <climits>
#include <functional>
#include <set>
#include <utility>

#include "kivet/draw/raster.h"
#include "support/bitmap_probe.h"

namespace headless = kivet::headless;
using Lines = std::vector<std::string>;

namespace {

constexpr int ALL_PIXELS = kivet::BITMAP_WIDTH * kivet::BITMAP_HEIGHT;

class DrawTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    open_library();
  }
};

std::vector<int> box_of(const Ink& i) { return {i.left, i.top, i.right, i.bottom}; }

using PixelSet = std::set<std::pair<int, int>>;

PixelSet pixels_of(int color) {
  PixelSet found;
  for (int y = -282; y <= 257; ++y) {
    for (int x = -300; x <= 300; ++x) {
      if (bitmap_pixel(x, y) == palette_rgb(color)) found.insert({x, y});
    }
  }
  return found;
}

// Whether the pixels form one piece when diagonal neighbours count.
bool connected(const PixelSet& pixels) {
  if (pixels.empty()) return true;
  PixelSet reached{*pixels.begin()};
  std::vector<std::pair<int, int>> todo{*pixels.begin()};
  while (!todo.empty()) {
    auto [x, y] = todo.back();
    todo.pop_back();
    for (int dx = -1; dx <= 1; ++dx) {
      for (int dy = -1; dy <= 1; ++dy) {
        std::pair<int, int> next{x + dx, y + dy};
        if (pixels.count(next) && reached.insert(next).second) todo.push_back(next);
      }
    }
  }
  return reached.size() == pixels.size();
}

}  // namespace

TEST_F(DrawTest, RectangleCoversItsInclusiveBoxWhicheverWayItsCornersCome) {
  KIVET_draw_rectangle(GRAY_50, 0, 0, 10, -10, 0);
  EXPECT_EQ(ink(GRAY_50).count, 121);
  EXPECT_EQ(box_of(ink(GRAY_50)), std::vector<int>({0, 0, 10, -10}));
  std::vector<uint32_t> first = bitmap_snapshot();
  KIVET_clear();
  KIVET_draw_rectangle(GRAY_50, 10, -10, 0, 0, 0);
  EXPECT_EQ(bitmap_snapshot(), first);
  EXPECT_EQ(text_lines().back(), "50% gray rectangle with bounding box (0,0) to (10,-10), filled");
}

TEST_F(DrawTest, FilledBoxesCoverExactlyTheirVisiblePixelsWhateverTheirWidth) {
  // Widths around the few pixels set one by one and the doubling copies
  // that fill the rest of a row.
  for (int width = 1; width <= 40; ++width) {
    KIVET_clear();
    KIVET_draw_rectangle(BLUE, -20, 5, -21 + width, 3, 0);
    ASSERT_EQ(ink(BLUE).count, 3 * width) << width;
    ASSERT_EQ(box_of(ink(BLUE)), std::vector<int>({-20, 5, -21 + width, 3})) << width;
  }
  // Boxes cut by each side of the bitmap (display x -300 to 300, y 257 to -282).
  struct Cut {
    int x1, y1, x2, y2;
    std::vector<int> visible;
  };
  for (const Cut& cut :
       {Cut{-310, 10, -290, 0, {-300, 10, -290, 0}}, Cut{290, 10, 310, 0, {290, 10, 300, 0}},
        Cut{0, 265, 10, 250, {0, 257, 10, 250}}, Cut{0, -275, 10, -290, {0, -275, 10, -282}}}) {
    KIVET_clear();
    KIVET_draw_rectangle(BLUE, cut.x1, cut.y1, cut.x2, cut.y2, 0);
    Ink blue = ink(BLUE);
    EXPECT_EQ(box_of(blue), cut.visible);
    EXPECT_EQ(blue.count, blue.width() * blue.height());
  }
}

TEST_F(DrawTest, OutlinesAreCentredOnTheEdgeAndLeaveTheInsideAlone) {
  KIVET_draw_rectangle(BLUE, 0, 0, 10, -10, 1);
  EXPECT_EQ(ink(BLUE).count, 121 - 81);
  KIVET_clear();
  KIVET_draw_rectangle(BLUE, 0, 0, 20, -20, 3);  // one pixel outside, the edge, one inside
  EXPECT_EQ(ink(BLUE).count, 23 * 23 - 17 * 17);
  EXPECT_EQ(ink(BLUE).left, -1);

  KIVET_clear();
  KIVET_draw_triangle(GREEN, -100, 0, -40, 10, -80, 60, 0);
  KIVET_draw_triangle(RED, 40, 0, 100, 10, 60, 60, 1);
  KIVET_draw_triangle(BLUE, 140, 0, 200, 10, 160, 60, 4);
  for (int corner : {-100, 40}) {
    uint32_t rgb = palette_rgb(corner < 0 ? GREEN : RED);
    EXPECT_EQ(bitmap_pixel(corner, 0), rgb) << "every corner pixel is drawn";
    EXPECT_EQ(bitmap_pixel(corner + 60, 10), rgb);
    EXPECT_EQ(bitmap_pixel(corner + 20, 60), rgb);
  }
  EXPECT_EQ(bitmap_pixel(-73, 23), palette_rgb(GREEN)) << "filled";
  EXPECT_EQ(bitmap_pixel(67, 23), palette_rgb(WHITE)) << "outlined";
  EXPECT_EQ(bitmap_pixel(167, 23), palette_rgb(WHITE)) << "outlined";
}

TEST_F(DrawTest, OvalOutlineIsTheUnbrokenEdgeOfTheFilledOval) {
  KIVET_draw_oval(RED, -200, 20, 200, -20, 0);
  PixelSet filled = pixels_of(RED);
  KIVET_clear();
  KIVET_draw_oval(RED, -200, 20, 200, -20, 1);
  PixelSet outline = pixels_of(RED);
  EXPECT_EQ(box_of(ink(RED)), std::vector<int>({-200, 20, 200, -20}));
  EXPECT_TRUE(std::includes(filled.begin(), filled.end(), outline.begin(), outline.end()));
  EXPECT_TRUE(connected(outline));
  EXPECT_LT(outline.size(), 1200u) << "about one pixel thick";

  KIVET_clear();
  KIVET_draw_oval(RED, -50, 50, 50, -50, 7);
  EXPECT_TRUE(connected(pixels_of(RED)));
  EXPECT_EQ(ink(RED).left, -53);
  EXPECT_EQ(bitmap_pixel(0, 0), palette_rgb(WHITE));
}

TEST_F(DrawTest, CircleIsADisc2rPlus1AcrossAndANegativeRadiusIsCorrected) {
  KIVET_draw_circle(RED, 20, 30, 5);
  std::vector<uint32_t> positive = bitmap_snapshot();
  EXPECT_EQ(box_of(ink(RED)), std::vector<int>({15, 35, 25, 25}));
  KIVET_clear();
  KIVET_draw_circle(RED, 20, 30, -5);
  EXPECT_EQ(last_lines(2), (Lines{"Radius of -5 not possible, using radius 5",
                                  "red circle at (20,30), radius 5"}));
  EXPECT_EQ(bitmap_snapshot(), positive);
}

TEST_F(DrawTest, OnePixelLineSetsBothEndsTheSameEitherWay) {
  KIVET_draw_line(BLACK, 0, 0, 20, 10, 1);
  EXPECT_EQ(ink(BLACK).count, 21);
  EXPECT_EQ(box_of(ink(BLACK)), std::vector<int>({0, 10, 20, 0}));
  std::vector<uint32_t> forwards = bitmap_snapshot();
  KIVET_clear();
  KIVET_draw_line(BLACK, 20, 10, 0, 0, 0);
  EXPECT_EQ(text_lines().back(), "black line from (20,10) to (0,0), width 0");
  EXPECT_EQ(bitmap_snapshot(), forwards);
}

TEST_F(DrawTest, ComplaintsComeInEachPrimitivesOrderBeforeTheSentence) {
  const std::string colour = "Illegal color 30; using RED.";
  const std::string width = "Width of -2 not possible, using width 2";
  std::pair<std::function<void()>, Lines> cases[] = {
      {[] { KIVET_draw_rectangle(30, 0, 0, 1, 1, -2); },
       {colour, width, "red rectangle with bounding box (0,1) to (1,0) with line width 2"}},
      {[] { KIVET_draw_oval(30, 0, 0, 1, 1, -2); },
       {width, colour, "red oval with bounding box (0,1) to (1,0), line width 2"}},
      {[] { KIVET_draw_line(30, 0, 0, 1, 1, -2); },
       {width, colour, "red line from (0,0) to (1,1), width 2"}},
      {[] { KIVET_draw_triangle(30, 0, 0, 1, 1, 2, 0, -2); },
       {colour, width, "red triangle at (0,0), (1,1), (2,0)"}},
      {[] { KIVET_draw_circle(30, 0, 0, -2); },
       {colour, "Radius of -2 not possible, using radius 2", "red circle at (0,0), radius 2"}},
      {[] { KIVET_draw_oval(GRAY_50, 0, 0, 10, -10, 0); },
       {"red circle at (0,0), radius 2",
        "50% gray oval with bounding box (0,0) to (10,-10), filled"}},
  };
  for (const auto& [draw, lines] : cases) {
    draw();
    EXPECT_EQ(last_lines(lines.size()), lines);
  }
  for (int color : {24, 25, -1}) {
    KIVET_draw_pixel(color, 3, 4);
    EXPECT_EQ(last_lines(2), (Lines{"Illegal color " + std::to_string(color) + "; using RED.",
                                    "red pixel at (3,4)"}));
    EXPECT_EQ(bitmap_pixel(3, 4), palette_rgb(RED));
  }
  KIVET_draw_pixel(0, 3, 4);
  KIVET_draw_pixel(23, 3, 4);
  EXPECT_EQ(last_lines(3),
            (Lines{"red pixel at (3,4)", "black pixel at (3,4)", "20% gray pixel at (3,4)"}));
}

TEST_F(DrawTest, WithLoggingOffOnlyComplaintsAndUndoAreWritten) {
  KIVET_set_logging(0);
  size_t before = text_lines().size();
  KIVET_draw_pixel(RED, 0, 0);
  KIVET_draw_line(-1, 0, 0, 5, 5, -3);
  KIVET_clear();
  KIVET_flush();
  std::vector<uint32_t> picture = bitmap_snapshot();
  EXPECT_EQ(KIVET_undo(), 1);
  EXPECT_EQ(bitmap_snapshot(), picture);
  Lines lines = text_lines();
  EXPECT_EQ(Lines(lines.begin() + before, lines.end()),
            (Lines{"Width of -3 not possible, using width 3", "Illegal color -1; using RED.",
                   "KIVET_undo is no longer supported."}));
}

TEST_F(DrawTest, ClearWhitensEverythingWithoutCopyingAndFlushCopiesOnlyChanges) {
  KIVET_draw_rectangle(BLACK, -300, 300, 300, -300, 0);
  int presents = headless::presents();
  KIVET_clear();
  EXPECT_EQ(text_lines().back(), "Clearing the graphics window");
  EXPECT_EQ(bitmap_snapshot(), std::vector<uint32_t>(ALL_PIXELS, 0xFFFFFF)) << "no black frame";
  EXPECT_EQ(headless::presents(), presents);
  EXPECT_TRUE(kivet::state().KIVET_dirty);

  KIVET_flush();
  KIVET_flush();
  EXPECT_EQ(headless::presents(), presents + 1);
  EXPECT_FALSE(kivet::state().KIVET_dirty);
  EXPECT_EQ(last_lines(2), Lines(2, "Flushing the graphics window"));
}

TEST_F(DrawTest, ShapesOutsideTheBitmapChangeNothingButAreLoggedAndMarkDirty) {
  std::vector<uint32_t> picture = bitmap_snapshot();
  kivet::state().KIVET_dirty = false;
  KIVET_draw_pixel(RED, 1000, 1000);
  EXPECT_EQ(text_lines().back(), "red pixel at (1000,1000)");
  EXPECT_TRUE(kivet::state().KIVET_dirty);
  KIVET_draw_pixel(RED, 301, 0);
  KIVET_draw_pixel(RED, 0, 258);
  KIVET_draw_rectangle(RED, 302, 10, 400, -10, 0);
  KIVET_draw_line(RED, -310, 0, -303, 300, 5);
  KIVET_draw_triangle(RED, 0, -290, 100, -300, 50, -400, 0);
  KIVET_draw_oval(RED, -400, 260, -301, 259, 0);
  EXPECT_EQ(bitmap_snapshot(), picture);
}

TEST_F(DrawTest, IntMinWidthAndRadiusBecomeIntMax) {
  KIVET_draw_line(RED, 0, 0, 10, 0, INT_MIN);
  EXPECT_EQ(last_lines(2), (Lines{"Width of -2147483648 not possible, using width 2147483647",
                                  "red line from (0,0) to (10,0), width 2147483647"}));
  EXPECT_EQ(ink(RED).count, ALL_PIXELS);
  KIVET_draw_circle(BLUE, 0, 0, INT_MIN);
  EXPECT_EQ(last_lines(2), (Lines{"Radius of -2147483648 not possible, using radius 2147483647",
                                  "blue circle at (0,0), radius 2147483647"}));
  EXPECT_EQ(ink(BLUE).count, ALL_PIXELS);
}

// The work is bounded by the bitmap, not by the coordinates: a walk that took
// one more step than the bitmap has columns is stopped and fails the test
// at once rather than running for billions of steps.
TEST_F(DrawTest, HugeCoordinatesAreClippedBeforeTheWalk) {
  struct TooMuchWork {};
  int steps = 0;
  auto count = [&steps](int64_t, int64_t) {
    if (++steps > kivet::BITMAP_WIDTH) throw TooMuchWork{};
  };
  const kivet::Pixel origin{kivet::state().origin_x, kivet::state().origin_y};
  auto to_device = [&origin](int x, int y) { return kivet::to_device(origin, x, y); };
  ASSERT_NO_THROW(
      kivet::walk_thin_line(to_device(INT_MIN, INT_MIN), to_device(INT_MAX, INT_MAX), count));
  EXPECT_EQ(steps, kivet::BITMAP_WIDTH) << "one step per column";
  steps = 0;
  ASSERT_NO_THROW(kivet::walk_thin_line(to_device(0, INT_MAX), to_device(1, INT_MIN), count));
  EXPECT_EQ(steps, kivet::BITMAP_HEIGHT) << "one step per row";

  KIVET_draw_line(RED, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1);
  EXPECT_EQ(ink(RED).count, 540) << "one pixel per row of the diagonal";
  EXPECT_EQ(bitmap_pixel(-250, -250), palette_rgb(RED));
  KIVET_draw_line(BLUE, INT_MAX, INT_MIN, INT_MIN, INT_MAX, 3);  // x + y = -1
  EXPECT_EQ(bitmap_pixel(100, -101), palette_rgb(BLUE));
  EXPECT_EQ(bitmap_pixel(104, -100), palette_rgb(WHITE));

  // Outlines far outside show nothing; the fills inside them cover everything.
  KIVET_draw_triangle(GREEN, INT_MIN, INT_MIN, INT_MAX, INT_MIN, 0, INT_MAX, 5);
  KIVET_draw_rectangle(GREEN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 1);
  KIVET_draw_oval(GREEN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 2);
  KIVET_draw_circle(GREEN, INT_MAX, INT_MIN, INT_MAX);  // corners held at the int range
  EXPECT_EQ(ink(GREEN).count, 0);
  KIVET_draw_triangle(GREEN, INT_MIN, INT_MIN, INT_MAX, INT_MIN, 0, INT_MAX, 0);
  EXPECT_EQ(ink(GREEN).count, ALL_PIXELS);
  KIVET_draw_oval(CYAN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 0);
  EXPECT_EQ(ink(CYAN).count, ALL_PIXELS);
}
