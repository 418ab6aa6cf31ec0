// Where the pattern program draws its shapes, in display coordinates; shared
// by the program and the test that looks for them on the screen.
#pragma once

namespace pattern {

// The 24 palette colours as 40 x 40 squares, 12 to a row, and two squares
// with the bad colour indices 24 and -1 in a third row. Square i has its
// top-left corner at (SQUARE_LEFT + (i % 12) * SQUARE_STEP,
// SQUARE_TOP - (i / 12) * SQUARE_STEP).
constexpr int SQUARE_LEFT = -290;
constexpr int SQUARE_TOP = 240;
constexpr int SQUARE_STEP = 45;
constexpr int SQUARE_SIZE = 40;
constexpr int BAD_COLOURS[] = {24, -1};

// A filled rectangle given by its bottom-right and top-left corners.
constexpr int BOX_LEFT = -200, BOX_TOP = -20, BOX_RIGHT = -181, BOX_BOTTOM = -39;
// An outlined rectangle, 3 pixels wide.
constexpr int FRAME_LEFT = -150, FRAME_TOP = -20, FRAME_RIGHT = -110, FRAME_BOTTOM = -60;
// A circle.
constexpr int CIRCLE_X = -50, CIRCLE_Y = -40, CIRCLE_RADIUS = 10;
// A filled triangle with a right angle at its top-left corner.
constexpr int TRIANGLE_LEFT = 60, TRIANGLE_TOP = -20, TRIANGLE_SIDE = 40;
// A horizontal one-pixel line and a horizontal line 5 pixels wide.
constexpr int LINE_LEFT = -290, LINE_RIGHT = -100, THIN_LINE_Y = -100, WIDE_LINE_Y = -120;
// One pixel at the origin and one more elsewhere.
constexpr int PIXEL_X = 150, PIXEL_Y = -100;
// Two texts, 20 pixels high: one line, and two lines.
constexpr int TEXT_X = -280, TEXT_Y = -180, TWO_LINES_X = 0, TEXT_SIZE = 20;
// A rectangle reaching below the client area's bottom edge, and one on the
// right edge.
constexpr int CLIPPED_LEFT = 200, CLIPPED_TOP = -240, CLIPPED_RIGHT = 250, CLIPPED_BOTTOM = -280;
constexpr int EDGE_LEFT = 290, EDGE_TOP = 0, EDGE_RIGHT = 300, EDGE_BOTTOM = -10;
// Where a click is answered with a disc: its radius.
constexpr int CLICK_DISC_RADIUS = 3;

}  // namespace pattern
