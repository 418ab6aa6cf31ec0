// The shape primitives and the whole-picture operations (clear, flush, undo).
// Each primitive corrects its arguments with a complaint line, logs one
// sentence when logging is on, and hands one request to KIVET_render. The
// pixels themselves are made by the renderer (render.cpp and the files it
// dispatches to).
#include <climits>
#include <cstdint>
#include <utility>

#include "kivet/draw/raster.h"
#include "kivet/event_wait.h"
#include "kivet/kivet.h"
#include "kivet/state.h"

using namespace kivet;

namespace {

// The absolute value of a negative size. INT_MIN has none in int; the
// nearest usable value, INT_MAX, stands in for it.
int magnitude(int value) {
  if (value == INT_MIN) return INT_MAX;
  return value < 0 ? -value : value;
}

int checked_width(int width) {
  if (width >= 0) return width;
  int corrected = magnitude(width);
  KIVET_log_message("Width of %d not possible, using width %d\n", width, corrected);
  return corrected;
}

int checked_radius(int radius) {
  if (radius >= 0) return radius;
  int corrected = magnitude(radius);
  KIVET_log_message("Radius of %d not possible, using radius %d\n", radius, corrected);
  return corrected;
}

// Puts (x1, y1) at the upper left and (x2, y2) at the lower right, in display
// terms (y grows upwards).
void normalise_corners(int& x1, int& y1, int& x2, int& y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 < y2) std::swap(y1, y2);
}

// A circle's corner coordinate, kept inside int so that a centre and radius
// near the limits cannot overflow.
int clamped_sum(int64_t a, int64_t b) {
  int64_t sum = a + b;
  if (sum > INT_MAX) return INT_MAX;
  if (sum < INT_MIN) return INT_MIN;
  return static_cast<int>(sum);
}

DrawCommand request(DrawKind kind, int color, int width, int x1, int y1, int x2 = 0, int y2 = 0,
                    int x3 = 0, int y3 = 0) {
  return DrawCommand{kind, color, width, x1, y1, x2, y2, x3, y3, nullptr};
}

}  // namespace

int KIVET_draw_pixel(int color, int x, int y) {
  color = KIVET_check_color(color);
  if (state().KIVET_logging)
    KIVET_log_message("%s pixel at (%d,%d)\n", KIVET_color_names[color], x, y);
  KIVET_render(request(DRAW_PIXEL, color, 0, x, y));
  return 1;
}

int KIVET_draw_line(int color, int x1, int y1, int x2, int y2, int width) {
  width = checked_width(width);
  color = KIVET_check_color(color);
  if (state().KIVET_logging) {
    KIVET_log_message("%s line from (%d,%d) to (%d,%d), width %d\n", KIVET_color_names[color], x1,
                      y1, x2, y2, width);
  }
  // A line has no filled form: width 0 draws it one pixel wide.
  KIVET_render(request(DRAW_LINE, color, width == 0 ? 1 : width, x1, y1, x2, y2));
  return 1;
}

int KIVET_draw_triangle(int color, int x1, int y1, int x2, int y2, int x3, int y3, int width) {
  color = KIVET_check_color(color);
  width = checked_width(width);
  if (state().KIVET_logging) {
    KIVET_log_message("%s triangle at (%d,%d), (%d,%d), (%d,%d)\n", KIVET_color_names[color], x1,
                      y1, x2, y2, x3, y3);
  }
  KIVET_render(request(DRAW_TRIANGLE, color, width, x1, y1, x2, y2, x3, y3));
  return 1;
}

int KIVET_draw_rectangle(int color, int x1, int y1, int x2, int y2, int width) {
  normalise_corners(x1, y1, x2, y2);
  color = KIVET_check_color(color);
  width = checked_width(width);
  if (state().KIVET_logging) {
    const char* name = KIVET_color_names[color];
    if (width > 0) {
      KIVET_log_message("%s rectangle with bounding box (%d,%d) to (%d,%d) with line width %d\n",
                        name, x1, y1, x2, y2, width);
    } else {
      KIVET_log_message("%s rectangle with bounding box (%d,%d) to (%d,%d), filled\n", name, x1, y1,
                        x2, y2);
    }
  }
  KIVET_render(request(DRAW_RECTANGLE, color, width, x1, y1, x2, y2));
  return 1;
}

int KIVET_draw_oval(int color, int x1, int y1, int x2, int y2, int width) {
  normalise_corners(x1, y1, x2, y2);
  width = checked_width(width);
  color = KIVET_check_color(color);
  if (state().KIVET_logging) {
    const char* name = KIVET_color_names[color];
    if (width > 0) {
      KIVET_log_message("%s oval with bounding box (%d,%d) to (%d,%d), line width %d\n", name, x1,
                        y1, x2, y2, width);
    } else {
      KIVET_log_message("%s oval with bounding box (%d,%d) to (%d,%d), filled\n", name, x1, y1, x2,
                        y2);
    }
  }
  KIVET_render(request(DRAW_OVAL, color, width, x1, y1, x2, y2));
  return 1;
}

int KIVET_draw_circle(int color, int x, int y, int radius) {
  color = KIVET_check_color(color);
  radius = checked_radius(radius);
  if (state().KIVET_logging) {
    KIVET_log_message("%s circle at (%d,%d), radius %d\n", KIVET_color_names[color], x, y, radius);
  }
  KIVET_render(request(DRAW_OVAL, color, 0, clamped_sum(x, -int64_t{radius}),
                       clamped_sum(y, radius), clamped_sum(x, radius),
                       clamped_sum(y, -int64_t{radius})));
  return 1;
}

int KIVET_clear() {
  if (state().KIVET_logging) KIVET_log_message("Clearing the graphics window\n");
  // The whole bitmap, outermost rows and columns included, becomes white.
  if (state().offscreen_bitmap) {
    PixelWriter(*state().offscreen_bitmap, WHITE, state().changed_rows)
        .box(Box{0, 0, WIDTH - 1, HEIGHT - 1});
  }
  state().KIVET_dirty = true;
  state().has_drawn = true;
  return 1;
}

int KIVET_flush() {
  if (state().KIVET_logging) KIVET_log_message("Flushing the graphics window\n");
  if (state().KIVET_dirty) copy_bitmap_to_window();
  return 1;
}

int KIVET_undo() {
  KIVET_log_message("KIVET_undo is no longer supported.\n");
  return 1;
}
