// The renderer: turns one drawing request into pixels of the off-screen
// bitmap. Nothing is antialiased, so every pixel a shape or glyph touches
// takes exactly its palette colour.
//
// This file only dispatches: a shape whose bounds lie wholly outside the
// bitmap is dropped here; pixels, one-pixel lines, rectangles and ovals are
// set straight into the bitmap (raster.h), wide strokes and triangle fills
// go through cairo (strokes.h), and text through Pango (text_rendering.h).
#include <algorithm>
#include <cstdint>

#include "kivet/clipping.h"
#include "kivet/kivet.h"
#include "kivet/raster.h"
#include "kivet/state.h"
#include "kivet/strokes.h"
#include "kivet/text_rendering.h"

using namespace kivet;

namespace {

void render_pixel(cairo_t* cr, const DrawCommand& c) {
  Pixel p = to_device(c.x1, c.y1);
  if (bounds({p}).misses_bitmap()) return;
  PixelWriter(cairo_get_target(cr), c.color).pixel(p.x, p.y);
}

void render_line(cairo_t* cr, const DrawCommand& c) {
  Pixel from = to_device(c.x1, c.y1), to = to_device(c.x2, c.y2);
  int64_t width = std::max(c.width, 1);
  if (bounds({from, to}).grown(width > 1 ? stroke_reach(width) : 0).misses_bitmap()) return;
  if (width > 1) {
    stroke_line(cr, c.color, from, to, width);
    return;
  }
  PixelWriter out(cairo_get_target(cr), c.color);
  thin_line(out, from, to);
}

void render_triangle(cairo_t* cr, const DrawCommand& c) {
  Pixel corners[3] = {to_device(c.x1, c.y1), to_device(c.x2, c.y2), to_device(c.x3, c.y3)};
  int64_t reach = c.width > 1 ? stroke_reach(c.width) : 0;
  if (bounds({corners[0], corners[1], corners[2]}).grown(reach).misses_bitmap()) return;
  if (c.width > 1) {
    stroke_triangle(cr, c.color, corners, c.width);
    return;
  }
  if (c.width == 0) fill_triangle(cr, c.color, corners);
  // The one-pixel outline, also around a fill: it adds the edge and corner
  // pixels that a fill of the interior alone leaves out.
  PixelWriter out(cairo_get_target(cr), c.color);
  for (int i = 0; i < 3; ++i) thin_line(out, corners[i], corners[(i + 1) % 3]);
}

// The corners of a rectangle or oval request as an inclusive device box,
// whichever way round they were given.
Box device_box(const DrawCommand& c) {
  return bounds({to_device(c.x1, c.y1), to_device(c.x2, c.y2)});
}

void render_rectangle(cairo_t* cr, const DrawCommand& c) {
  Box box = device_box(c);
  if (box.grown(c.width / 2).misses_bitmap()) return;
  PixelWriter out(cairo_get_target(cr), c.color);
  raster_rectangle(out, box, c.width);
}

void render_oval(cairo_t* cr, const DrawCommand& c) {
  Box box = device_box(c);
  if (box.grown((int64_t{c.width} + 1) / 2).misses_bitmap()) return;
  PixelWriter out(cairo_get_target(cr), c.color);
  raster_oval(out, box, c.width);
}

}  // namespace

void KIVET_render(const DrawCommand& command) {
  // The primitives validate colours; a request made otherwise with a bad
  // one draws nothing rather than read outside the palette.
  bool drawable = command.color >= 0 && command.color < NUM_COLORS;
  if (memory_dc && drawable) {
    switch (command.kind) {
      case DRAW_PIXEL:
        render_pixel(memory_dc, command);
        break;
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
