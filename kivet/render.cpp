// The renderer: turns one drawing request into pixels of the off-screen
// bitmap. Nothing is antialiased, so every pixel a shape or glyph touches
// takes exactly its palette colour.
//
// Requests carry display coordinates from the whole int range. They are
// mapped to device pixels in 64-bit arithmetic and clipped here, before they
// reach a pixel loop or cairo, whose fixed-point coordinates hold only about
// +-8 million. A shape whose bounds lie wholly outside the bitmap is not
// rasterised at all, so scenes with many off-screen objects stay cheap.
//
// Pixels, one-pixel lines, rectangles and ovals are written straight into
// the bitmap's memory: their pixel sets are fixed rules (inclusive boxes, a
// disc 2r + 1 pixels across, Bresenham lines with both end points). Triangle
// fills, wide strokes and text go through cairo and Pango on memory_dc, with
// the context's state saved and restored around each of them.
#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

#include "kivet/kivet.h"
#include "kivet/state.h"

using namespace kivet;

namespace {

constexpr int64_t WIDTH = BITMAP_WIDTH;
constexpr int64_t HEIGHT = BITMAP_HEIGHT;

// Strokes wider than this are drawn this wide. It is more than a hundred
// times the bitmap's size; a wider stroke looks different only where its
// centre line passes more than half of it away from the bitmap.
constexpr int64_t MAX_STROKE_WIDTH = 1 << 16;

// Character height for a point size of 0.
constexpr int DEFAULT_TEXT_HEIGHT = 16;

// A device pixel: column and row in the bitmap, (0, 0) at its top left.
struct Pixel {
  int64_t x, y;
};

Pixel to_device(int x, int y) { return Pixel{origin_x + int64_t{x}, origin_y - int64_t{y}}; }

// A box of device pixels, both ends included.
struct Box {
  int64_t left, top, right, bottom;

  bool misses_bitmap() const {
    return left > right || top > bottom || right < 0 || bottom < 0 || left >= WIDTH ||
           top >= HEIGHT;
  }
  Box grown(int64_t by) const { return Box{left - by, top - by, right + by, bottom + by}; }
};

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

// How far a stroke of this width reaches beyond its centre line.
int64_t stroke_reach(int64_t width) { return std::min(width, MAX_STROKE_WIDTH) / 2 + 1; }

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

// Writes pixels of one colour straight into the bitmap, clipped to it.
class PixelWriter {
 public:
  PixelWriter(cairo_surface_t* surface, int color) : surface_(surface) {
    cairo_surface_flush(surface_);
    data_ = cairo_image_surface_get_data(surface_);
    stride_ = cairo_image_surface_get_stride(surface_);
    const KivetRgb& c = KIVET_palette[color];
    value_ = 0xFF000000u | (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
  }
  ~PixelWriter() { cairo_surface_mark_dirty(surface_); }
  PixelWriter(const PixelWriter&) = delete;
  PixelWriter& operator=(const PixelWriter&) = delete;

  void pixel(int64_t x, int64_t y) {
    if (x >= 0 && x < WIDTH && y >= 0 && y < HEIGHT) row(y)[x] = value_;
  }

  // Columns `left` to `right` of row `y`, both included.
  void span(int64_t y, int64_t left, int64_t right) {
    if (y < 0 || y >= HEIGHT) return;
    left = std::max<int64_t>(left, 0);
    right = std::min(right, WIDTH - 1);
    if (left > right) return;
    fill_pixels(row(y) + left, static_cast<size_t>(right - left + 1), value_);
  }

  void box(const Box& b) {
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
  }

 private:
  uint32_t* row(int64_t y) { return reinterpret_cast<uint32_t*>(data_ + y * stride_); }

  cairo_surface_t* surface_;
  unsigned char* data_;
  int stride_;
  uint32_t value_;
};

// ---- One-pixel lines ----

// Sets the pixels of a one-pixel Bresenham line, both end points included.
// Each pixel is computed from the end points, so only the part of the major
// axis inside the bitmap is walked: a line across the whole int range costs
// no more than one across the bitmap.
void thin_line(PixelWriter& out, Pixel from, Pixel to) {
  bool steep = std::llabs(to.y - from.y) > std::llabs(to.x - from.x);
  int64_t major0 = steep ? from.y : from.x, minor0 = steep ? from.x : from.y;
  int64_t major1 = steep ? to.y : to.x, minor1 = steep ? to.x : to.y;
  // Walking always from the lower major end draws a line the same both ways.
  if (major0 > major1) {
    std::swap(major0, major1);
    std::swap(minor0, minor1);
  }
  int64_t run = major1 - major0;
  int64_t rise = minor1 - minor0;
  int64_t direction = rise < 0 ? -1 : 1;
  // Products of two coordinate differences need up to 67 bits.
  using Wide = unsigned __int128;
  Wide abs_rise = static_cast<Wide>(rise < 0 ? -rise : rise);
  int64_t first = std::max<int64_t>(major0, 0);
  int64_t last = std::min(major1, (steep ? HEIGHT : WIDTH) - 1);
  for (int64_t major = first; major <= last; ++major) {
    int64_t minor = minor0;
    if (run > 0) {
      // The pixel nearest the ideal line; halves round away from minor0.
      Wide k = static_cast<Wide>(major - major0);
      Wide twice_run = 2 * static_cast<Wide>(run);
      minor += direction * static_cast<int64_t>((2 * k * abs_rise + run) / twice_run);
    }
    if (steep) {
      out.pixel(minor, major);
    } else {
      out.pixel(major, minor);
    }
  }
}

// ---- Geometry in double, for cairo ----

// A point in device pixel units; pixel (x, y) has its centre at (x, y) here
// and at (x + 0.5, y + 0.5) in cairo's coordinates.
struct Point {
  double x, y;
};

Point to_point(Pixel p) { return Point{static_cast<double>(p.x), static_cast<double>(p.y)}; }

// A convex polygon clipped by the four sides of a box: a triangle gains at
// most one vertex per side.
struct Polygon {
  std::array<Point, 8> points;
  int count = 0;
  void add(Point p) { points[count++] = p; }
};

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

// The bitmap grown by `margin` pixels on every side.
Polygon clip_to_bitmap(Polygon polygon, double margin) {
  polygon = clip_side(polygon, 0, -margin, false);
  polygon = clip_side(polygon, 0, WIDTH - 1 + margin, true);
  polygon = clip_side(polygon, 1, -margin, false);
  return clip_side(polygon, 1, HEIGHT - 1 + margin, true);
}

// Cuts the segment from a to b down to the bitmap grown by `margin`
// (Liang-Barsky). Returns false when nothing of it is left.
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

// Keeps the stroke and fill settings of one request its own: the context's
// earlier state is back when the request is done. Only requests that draw
// through cairo need it; those that miss the bitmap or set pixels directly
// leave the context alone.
class SavedState {
 public:
  explicit SavedState(cairo_t* cr) : cr_(cr) { cairo_save(cr_); }
  ~SavedState() { cairo_restore(cr_); }
  SavedState(const SavedState&) = delete;
  SavedState& operator=(const SavedState&) = delete;

 private:
  cairo_t* cr_;
};

void set_source(cairo_t* cr, int color) {
  const KivetRgb& c = KIVET_palette[color];
  cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
}

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

// ---- Shapes ----

void render_line(cairo_t* cr, const DrawCommand& c) {
  Pixel from = to_device(c.x1, c.y1), to = to_device(c.x2, c.y2);
  int64_t width = std::max(c.width, 1);
  if (bounds({from, to}).grown(width > 1 ? stroke_reach(width) : 0).misses_bitmap()) return;
  if (width == 1) {
    PixelWriter out(cairo_get_target(cr), c.color);
    thin_line(out, from, to);
    return;
  }
  // Beyond the margin the stroke, round end included, cannot reach the
  // bitmap, so the cut changes no pixel.
  Point a = to_point(from), b = to_point(to);
  if (!clip_segment(a, b, static_cast<double>(stroke_reach(width) + 1))) return;
  SavedState saved(cr);
  prepare_wide_stroke(cr, c.color, width);
  Point ends[2] = {a, b};
  trace(cr, ends, 2);
  cairo_stroke(cr);
}

void render_triangle(cairo_t* cr, const DrawCommand& c) {
  Pixel corners[3] = {to_device(c.x1, c.y1), to_device(c.x2, c.y2), to_device(c.x3, c.y3)};
  int64_t reach = c.width > 1 ? stroke_reach(c.width) : 0;
  if (bounds({corners[0], corners[1], corners[2]}).grown(reach).misses_bitmap()) return;
  Polygon triangle;
  for (const Pixel& corner : corners) triangle.add(to_point(corner));

  if (c.width > 1) {
    // Sides added by the cut run outside the margin, where they stay unseen.
    Polygon clipped = clip_to_bitmap(triangle, static_cast<double>(reach + 1));
    if (clipped.count == 0) return;
    SavedState saved(cr);
    prepare_wide_stroke(cr, c.color, c.width);
    trace(cr, clipped.points.data(), clipped.count);
    cairo_close_path(cr);
    cairo_stroke(cr);
    return;
  }
  if (c.width == 0) {
    Polygon clipped = clip_to_bitmap(triangle, 1);
    if (clipped.count > 0) {
      SavedState saved(cr);
      set_source(cr, c.color);
      cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
      trace(cr, clipped.points.data(), clipped.count);
      cairo_fill(cr);
    }
  }
  // The one-pixel outline, also around a fill: it adds the edge and corner
  // pixels that a fill of the interior alone leaves out.
  PixelWriter out(cairo_get_target(cr), c.color);
  for (int i = 0; i < 3; ++i) thin_line(out, corners[i], corners[(i + 1) % 3]);
}

// The corners of a rectangle or oval request as an inclusive device box,
// whichever way round they were given.
Box device_box(const DrawCommand& c) {
  Pixel a = to_device(c.x1, c.y1), b = to_device(c.x2, c.y2);
  return bounds({a, b});
}

void render_rectangle(cairo_t* cr, const DrawCommand& c) {
  Box box = device_box(c);
  // An outline of width w centred on the box's edge: w / 2 pixels outside
  // the edge, the edge itself, and the rest inside.
  int64_t outside = c.width / 2;
  int64_t inside = c.width > 0 ? (c.width - 1) / 2 + 1 : 0;
  Box outer = box.grown(outside);
  if (outer.misses_bitmap()) return;
  PixelWriter out(cairo_get_target(cr), c.color);
  Box hole = box.grown(-inside);
  if (c.width == 0 || hole.left > hole.right || hole.top > hole.bottom) {
    out.box(outer);
    return;
  }
  out.box(Box{outer.left, outer.top, outer.right, hole.top - 1});
  out.box(Box{outer.left, hole.bottom + 1, outer.right, outer.bottom});
  out.box(Box{outer.left, hole.top, hole.left - 1, hole.bottom});
  out.box(Box{hole.right + 1, hole.top, outer.right, hole.bottom});
}

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

void render_oval(cairo_t* cr, const DrawCommand& c) {
  Box box = device_box(c);
  int64_t reach = (int64_t{c.width} + 1) / 2;
  if (box.grown(reach).misses_bitmap()) return;
  // Centre and half-axes through the centres of the box's outermost pixels;
  // exact in double for any int coordinates.
  double cx = (static_cast<double>(box.left) + static_cast<double>(box.right)) / 2;
  double cy = (static_cast<double>(box.top) + static_cast<double>(box.bottom)) / 2;
  double a = (static_cast<double>(box.right) - static_cast<double>(box.left)) / 2;
  double b = (static_cast<double>(box.bottom) - static_cast<double>(box.top)) / 2;
  PixelWriter out(cairo_get_target(cr), c.color);
  if (c.width == 0) {
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
  double half = c.width / 2.0;
  ring(out, Ellipse{cx, cy, a + half, b + half}, Ellipse{cx, cy, a - half, b - half});
}

// ---- Text ----

// Text bytes are characters of an 8-bit character set; Pango wants UTF-8.
// Reading each byte as Latin-1 gives valid UTF-8 whatever the bytes are.
std::string latin1_to_utf8(const char* begin, const char* end) {
  std::string out;
  out.reserve(2 * static_cast<size_t>(end - begin));
  for (const char* p = begin; p != end; ++p) {
    unsigned char byte = static_cast<unsigned char>(*p);
    if (byte < 0x80) {
      out.push_back(static_cast<char>(byte));
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

// A rough upper bound of how far a character of this height can advance
// or reach: wide glyphs and tab stops stay well inside it.
int64_t generous_extent(int height) { return 4 * int64_t{height} + 16; }

// Whether a text block can touch the bitmap at all: checked before any font
// work, so that labels far outside cost next to nothing.
bool text_may_show(Pixel anchor, int height, const char* text) {
  size_t length = strlen(text);
  int64_t lines = 1 + std::count(text, text + length, '\n');
  int64_t extent = generous_extent(height);
  Box block{anchor.x - extent, anchor.y - extent, anchor.x + static_cast<int64_t>(length) * extent,
            anchor.y + lines * extent};
  return length > 0 && !block.misses_bitmap();
}

PangoLayout* make_text_layout(cairo_t* cr, int height) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
  pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(layout);

  PangoFontDescription* font = pango_font_description_new();
  pango_font_description_set_family(font, "KIVET-font");
  pango_font_description_set_weight(font, PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(font, PANGO_STYLE_NORMAL);
  pango_font_description_set_absolute_size(font, static_cast<double>(height) * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  // Only newline bytes, cut out before Pango sees them, separate lines; a
  // carriage return or other separator stays an ordinary character.
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  return layout;
}

void render_text(cairo_t* cr, const DrawCommand& c) {
  const char* text = c.text ? c.text : "";
  int height = c.x2 > 0 ? c.x2 : DEFAULT_TEXT_HEIGHT;
  Pixel anchor = to_device(c.x1, c.y1);
  if (!text_may_show(anchor, height, text)) return;

  SavedState saved(cr);
  PangoLayout* layout = make_text_layout(cr, height);
  // The line height is the font's cell height, whatever the characters.
  pango_layout_set_text(layout, "", 0);
  int line_height = 0;
  pango_layout_get_pixel_size(layout, nullptr, &line_height);

  set_source(cr, c.color);
  int64_t top = anchor.y - line_height;
  for (const char* line = text;; top += line_height) {
    const char* end = strchr(line, '\n');
    if (!end) end = line + strlen(line);
    if (top - height >= HEIGHT) break;  // this line and all after it are below
    if (end != line && top + line_height + height > 0) {
      std::string utf8 = latin1_to_utf8(line, end);
      pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
      cairo_move_to(cr, static_cast<double>(anchor.x), static_cast<double>(top));
      pango_cairo_show_layout(cr, layout);
    }
    if (*end == '\0') break;
    line = end + 1;
  }
  g_object_unref(layout);
}

}  // namespace

void KIVET_render(const DrawCommand& command) {
  // The primitives validate colours; a request made otherwise with a bad
  // one draws nothing rather than read outside the palette.
  bool drawable = command.color >= 0 && command.color < NUM_COLORS;
  if (memory_dc && drawable) {
    switch (command.kind) {
      case DRAW_PIXEL: {
        Pixel p = to_device(command.x1, command.y1);
        if (!bounds({p}).misses_bitmap()) {
          PixelWriter(cairo_get_target(memory_dc), command.color).pixel(p.x, p.y);
        }
        break;
      }
      case DRAW_LINE:
        render_line(memory_dc, command);
        break;
      case DRAW_TRIANGLE:
        render_triangle(memory_dc, command);
        break;
      case DRAW_RECTANGLE:
        render_rectangle(memory_dc, command);
        break;
      case DRAW_OVAL:
        render_oval(memory_dc, command);
        break;
      case DRAW_TEXT:
        render_text(memory_dc, command);
        break;
      default:
        break;
    }
  }
  KIVET_dirty = true;
}
