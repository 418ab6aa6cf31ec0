// Wide strokes and triangle fills through cairo, without antialiasing, so
// every pixel they touch takes exactly its palette colour. Coordinates are
// clipped to the bitmap, with a margin the stroke cannot cross, before cairo
// sees them.
#include "kivet/draw/strokes.h"

#include <cairo.h>

#include <algorithm>

#include "kivet/draw/cairo_state.h"
#include "kivet/state.h"

namespace kivet {

namespace {

// The bitmap's pixels as a cairo surface, for the time of one request.
class BitmapContext {
 public:
  explicit BitmapContext(Bitmap& bitmap)
      : surface_(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(bitmap.data()),
                                                     CAIRO_FORMAT_RGB24, BITMAP_WIDTH,
                                                     BITMAP_HEIGHT, Bitmap::stride())),
        cr_(cairo_create(surface_)) {}
  ~BitmapContext() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  operator cairo_t*() const { return cr_; }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

void trace(cairo_t* cr, const Point* points, int count) {
  for (int i = 0; i < count; ++i) {
    (i == 0 ? cairo_move_to : cairo_line_to)(cr, points[i].x + 0.5, points[i].y + 0.5);
  }
}

// A solid stroke with round ends and corners, as wide pens draw.
void prepare_wide_stroke(cairo_t* cr, int color, int64_t width) {
  set_source(cr, color);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, static_cast<double>(std::min(width, MAX_STROKE_WIDTH)));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
}

Polygon triangle_of(const Pixel (&corners)[3]) {
  Polygon triangle;
  for (const Pixel& corner : corners) triangle.add(to_point(corner));
  return triangle;
}

}  // namespace

int64_t stroke_reach(int64_t width) { return std::min(width, MAX_STROKE_WIDTH) / 2 + 1; }

void stroke_line(Bitmap& bitmap, int color, Pixel from, Pixel to, int64_t width) {
  BitmapContext cr(bitmap);
  changed_rows = ChangedRows::all();
  // Beyond the margin the stroke, round end included, cannot reach the
  // bitmap, so the cut changes no pixel.
  Point a = to_point(from), b = to_point(to);
  if (!clip_segment(a, b, static_cast<double>(stroke_reach(width) + 1))) return;
  SavedState saved(cr);
  prepare_wide_stroke(cr, color, width);
  Point ends[2] = {a, b};
  trace(cr, ends, 2);
  cairo_stroke(cr);
}

void stroke_triangle(Bitmap& bitmap, int color, const Pixel (&corners)[3], int64_t width) {
  BitmapContext cr(bitmap);
  changed_rows = ChangedRows::all();
  // Sides added by the cut run outside the margin, where they stay unseen.
  Polygon clipped =
      clip_to_bitmap(triangle_of(corners), static_cast<double>(stroke_reach(width) + 1));
  if (clipped.count == 0) return;
  SavedState saved(cr);
  prepare_wide_stroke(cr, color, width);
  trace(cr, clipped.points.data(), clipped.count);
  cairo_close_path(cr);
  cairo_stroke(cr);
}

void fill_triangle(Bitmap& bitmap, int color, const Pixel (&corners)[3]) {
  BitmapContext cr(bitmap);
  changed_rows = ChangedRows::all();
  Polygon clipped = clip_to_bitmap(triangle_of(corners), 1);
  if (clipped.count == 0) return;
  SavedState saved(cr);
  set_source(cr, color);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  trace(cr, clipped.points.data(), clipped.count);
  cairo_fill(cr);
}

}  // namespace kivet
