// Drawing as it reaches a real window: the pattern program draws known
// shapes in known palette colours, and the screen is read back pixel by
// pixel at the places where display coordinates put them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "real_window/pattern.h"
#include "real_window/window_fixture.h"

namespace xtest {
namespace {

using namespace pattern;

// The palette, entry by entry, as 0xRRGGBB.
constexpr uint32_t PALETTE[24] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x9900CC, 0x003399, 0x996699, 0x99FFFF, 0x99FFCC, 0xFF6600, 0x996633, 0xFF99CC,
    0xFFFF99, 0xCC9933, 0xFF9966, 0x006633, 0x33CC99, 0x999933, 0x808080, 0xCCCCCC,
};
constexpr uint32_t BLUE = PALETTE[4], GREEN = PALETTE[3], RED = PALETTE[2], CYAN = PALETTE[7];
constexpr uint32_t PURPLE = PALETTE[8], ORANGE = PALETTE[13], GOLD = PALETTE[17];
constexpr uint32_t BROWN = PALETTE[14], BLACK = PALETTE[0], WHITE = PALETTE[1];

std::string hex(uint32_t colour) {
  char text[16];
  snprintf(text, sizeof text, "#%06X", colour);
  return text;
}

// How many pixels of the colour lie in the display box from (left, top) to
// (right, bottom), both included.
int count(const Picture& p, uint32_t colour, int left, int top, int right, int bottom) {
  int n = 0;
  for (int y = bottom; y <= top; ++y) {
    for (int x = left; x <= right; ++x) n += p.at(x, y) == colour;
  }
  return n;
}

class DrawingWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    start(KIVET_PATTERN_PATH);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(program_.wait_for_line("ready", 10000), "ready");
    // The program waits for input now; the first pass of its wait has put
    // the pattern on the screen.
    shown_ = wait_still(300, 5000);
    ASSERT_FALSE(shown_.empty()) << "the picture never settled";
  }

  void TearDown() override {
    if (program_.running()) quit_and_expect_clean_exit();
  }

  Picture shown_;
};

TEST_F(DrawingWindowTest, EveryPaletteColourFillsItsSquareExactly) {
  const Picture& p = shown_;
  auto check_square = [&](int left, int top, uint32_t colour, const std::string& what) {
    int right = left + SQUARE_SIZE - 1, bottom = top - SQUARE_SIZE + 1;
    EXPECT_EQ(count(p, colour, left, top, right, bottom), SQUARE_SIZE * SQUARE_SIZE)
        << what << " should be " << hex(colour) << ", its centre is "
        << hex(p.at(left + 20, top - 20));
    // The background shows right outside each edge.
    for (auto [x, y] :
         {std::pair{left - 1, top}, {right + 1, bottom}, {left, top + 1}, {right, bottom - 1}}) {
      EXPECT_EQ(p.at(x, y), WHITE) << what << " spills over at (" << x << ", " << y << ")";
    }
  };
  for (int i = 0; i < 24; ++i) {
    check_square(SQUARE_LEFT + (i % 12) * SQUARE_STEP, SQUARE_TOP - (i / 12) * SQUARE_STEP,
                 PALETTE[i], "colour " + std::to_string(i));
  }
  // A colour index outside the palette draws in red.
  for (int i = 0; i < 2; ++i) {
    check_square(SQUARE_LEFT + i * SQUARE_STEP, SQUARE_TOP - 2 * SQUARE_STEP, RED,
                 "bad colour " + std::to_string(BAD_COLOURS[i]));
  }
}

TEST_F(DrawingWindowTest, ShapesCoverTheirPixelsInDisplayCoordinates) {
  const Picture& p = shown_;
  // The origin's pixel is client pixel (300, 257), alone among white ones.
  EXPECT_EQ(p.image().at(300, 257), BLACK);
  EXPECT_EQ(count(p, BLACK, -1, 1, 1, -1), 1);
  EXPECT_EQ(p.at(PIXEL_X, PIXEL_Y), ORANGE);
  EXPECT_EQ(count(p, ORANGE, PIXEL_X - 2, PIXEL_Y + 2, PIXEL_X + 2, PIXEL_Y - 2), 1);

  // A filled rectangle covers its inclusive box, whatever the corners' order.
  EXPECT_EQ(count(p, BLUE, BOX_LEFT - 3, BOX_TOP + 3, BOX_RIGHT + 3, BOX_BOTTOM - 3), 20 * 20);
  EXPECT_EQ(count(p, BLUE, BOX_LEFT, BOX_TOP, BOX_RIGHT, BOX_BOTTOM), 20 * 20);

  // An outlined rectangle leaves its inside alone.
  int middle_y = (FRAME_TOP + FRAME_BOTTOM) / 2, middle_x = (FRAME_LEFT + FRAME_RIGHT) / 2;
  EXPECT_EQ(p.at(FRAME_LEFT, middle_y), GREEN);
  EXPECT_EQ(p.at(FRAME_RIGHT, middle_y), GREEN);
  EXPECT_EQ(p.at(middle_x, FRAME_TOP), GREEN);
  EXPECT_EQ(p.at(middle_x, FRAME_BOTTOM), GREEN);
  EXPECT_EQ(count(p, GREEN, FRAME_LEFT + 5, FRAME_TOP - 5, FRAME_RIGHT - 5, FRAME_BOTTOM + 5), 0);
  EXPECT_EQ(p.at(middle_x, middle_y), WHITE);

  // A circle of radius r is a filled disc 2r + 1 pixels across, centred.
  const int r = CIRCLE_RADIUS;
  EXPECT_EQ(count(p, RED, CIRCLE_X - r - 3, CIRCLE_Y, CIRCLE_X + r + 3, CIRCLE_Y), 2 * r + 1);
  EXPECT_EQ(count(p, RED, CIRCLE_X, CIRCLE_Y + r + 3, CIRCLE_X, CIRCLE_Y - r - 3), 2 * r + 1);
  EXPECT_EQ(p.at(CIRCLE_X - r, CIRCLE_Y), RED);
  EXPECT_EQ(p.at(CIRCLE_X + r, CIRCLE_Y), RED);
  EXPECT_EQ(p.at(CIRCLE_X, CIRCLE_Y + r), RED);
  EXPECT_EQ(p.at(CIRCLE_X, CIRCLE_Y - r), RED);
  EXPECT_EQ(p.at(CIRCLE_X - r, CIRCLE_Y + r), WHITE) << "a disc, not a square";

  // A filled triangle: its right-angle corner and inside, not beyond its
  // long side.
  const int t = TRIANGLE_SIDE;
  EXPECT_EQ(p.at(TRIANGLE_LEFT, TRIANGLE_TOP), CYAN);
  EXPECT_EQ(p.at(TRIANGLE_LEFT + 5, TRIANGLE_TOP - 5), CYAN);
  EXPECT_EQ(p.at(TRIANGLE_LEFT + t / 2 - 3, TRIANGLE_TOP - t / 2 + 3), CYAN);
  EXPECT_EQ(p.at(TRIANGLE_LEFT + t / 2 + 3, TRIANGLE_TOP - t / 2 - 3), WHITE);

  // Lines: one pixel wide, and five wide around their row.
  const int x = (LINE_LEFT + LINE_RIGHT) / 2;
  EXPECT_EQ(count(p, BLACK, x, THIN_LINE_Y + 3, x, THIN_LINE_Y - 3), 1);
  EXPECT_EQ(p.at(x, THIN_LINE_Y), BLACK);
  EXPECT_EQ(count(p, BLACK, LINE_LEFT + 1, THIN_LINE_Y, LINE_RIGHT - 1, THIN_LINE_Y),
            LINE_RIGHT - LINE_LEFT - 1);
  int wide = count(p, PURPLE, x, WIDE_LINE_Y + 6, x, WIDE_LINE_Y - 6);
  EXPECT_GE(wide, 4);
  EXPECT_LE(wide, 6);
  EXPECT_EQ(p.at(x, WIDE_LINE_Y), PURPLE);

  // Shapes reaching past the client area are clipped at its edges: the
  // bottom row shows display row -257, the right column display column 300.
  EXPECT_EQ(p.image().at(225 + ORIGIN_X, CLIENT_HEIGHT - 1), GOLD);
  EXPECT_EQ(p.at((CLIPPED_LEFT + CLIPPED_RIGHT) / 2, -257), GOLD);
  EXPECT_EQ(p.image().at(CLIENT_WIDTH - 1, ORIGIN_Y + 5), BROWN);
  EXPECT_EQ(p.at(EDGE_RIGHT, EDGE_BOTTOM), BROWN);
}

TEST_F(DrawingWindowTest, TextStandsOnItsAnchorPoint) {
  const Picture& p = shown_;
  const int h = TEXT_SIZE + TEXT_SIZE / 2;  // more than a line's height
  // Black ink in the rows just above the anchor, from its column on, and
  // nothing but black and white there (no smoothing).
  int above = count(p, BLACK, TEXT_X, TEXT_Y + h, TEXT_X + 60, TEXT_Y + 1);
  EXPECT_GT(above, 30);
  EXPECT_EQ(above + count(p, WHITE, TEXT_X, TEXT_Y + h, TEXT_X + 60, TEXT_Y + 1), 61 * h);
  EXPECT_EQ(count(p, BLACK, TEXT_X - 10, TEXT_Y + h, TEXT_X - 1, TEXT_Y + 1), 0);
  EXPECT_EQ(count(p, BLACK, TEXT_X - 10, TEXT_Y, TEXT_X + 60, TEXT_Y - h), 0);
  // The glyphs are 20 pixels high: the ink of "Hi" spans about 14 rows.
  int top = TEXT_Y, bottom = TEXT_Y + h;
  for (int y = TEXT_Y + 1; y <= TEXT_Y + h; ++y) {
    if (count(p, BLACK, TEXT_X, y, TEXT_X + 60, y) > 0) top = y, bottom = std::min(bottom, y);
  }
  EXPECT_GE(top - bottom + 1, 12);
  EXPECT_LE(top - bottom + 1, 20);

  // A second line starts on the anchor's row and goes down.
  EXPECT_GT(count(p, BLACK, TWO_LINES_X, TEXT_Y + h, TWO_LINES_X + 30, TEXT_Y + 1), 20);
  EXPECT_GT(count(p, BLACK, TWO_LINES_X, TEXT_Y, TWO_LINES_X + 30, TEXT_Y - h), 20);
}

TEST_F(DrawingWindowTest, ClicksAreAnsweredWhereTheyLanded) {
  // The centre, a point up and to the left, and the client area's top-left
  // and bottom-right pixels.
  struct Point {
    int x, y;
  } points[] = {{100, 50}, {-120, 190}, {-300, 257}, {300, -257}};
  for (Point point : points) {
    Picture before = picture();
    click_display(point.x, point.y);
    std::string expected = "mouse " + std::to_string(point.x) + " " + std::to_string(point.y);
    EXPECT_EQ(program_.wait_for_line("mouse", 5000), expected);
    Picture after = wait_for_change(before, 5000);
    ASSERT_FALSE(after.empty()) << "no disc drawn for " << expected;
    after = wait_still(200, 3000);
    EXPECT_EQ(after.at(point.x, point.y), RED) << expected;
    for (int dx : {-CLICK_DISC_RADIUS - 1, CLICK_DISC_RADIUS + 1}) {
      if (after.contains(point.x + dx, point.y)) {
        EXPECT_NE(after.at(point.x + dx, point.y), RED) << expected << " dx " << dx;
      }
    }
  }
  rest_pointer();
}

TEST_F(DrawingWindowTest, DrawingBetweenWaitsReachesTheWindowWithoutAnimation) {
  for (int colour : {4, 9, 1}) {
    key(std::to_string(colour));
    ASSERT_EQ(program_.wait_for_line("filled", 5000), "filled " + std::to_string(colour));
    Picture filled = wait_still(300, 5000);
    ASSERT_FALSE(filled.empty());
    // The whole scene, -300 to 300 by -250 to 250, is the one colour.
    EXPECT_EQ(count(filled, PALETTE[colour], -300, 250, 300, -250), 601 * 501)
        << "colour " << colour;
  }
}

}  // namespace
}  // namespace xtest
