// The renderer: turns one drawing request into pixels of the off-screen
// bitmap. Nothing is antialiased, so every pixel a shape or glyph touches
// takes exactly its palette colour.
//
// This file only dispatches: a shape whose bounds lie wholly outside the
// bitmap is dropped here; every shape is rasterised by the library itself
// straight into the bitmap (raster.h, wide_strokes.h, triangle_fill.h), and
// text goes through Pango (text_rendering.h).
#include <algorithm>
#include <cstdint>

#include "kivet/clipping.h"
#include "kivet/kivet.h"
#include "kivet/raster.h"
#include "kivet/state.h"
#include "kivet/text_rendering.h"
#include "kivet/triangle_fill.h"
#include "kivet/wide_strokes.h"

using namespace kivet;

namespace {

void render_pixel(PixelWriter& out, const DrawCommand& c) {
  Pixel p = to_device(c.x1, c.y1);
  out.pixel(p.x, p.y);
}

void render_line(PixelWriter& out, const DrawCommand& c) {
  Pixel from = to_device(c.x1, c.y1), to = to_device(c.x2, c.y2);
  int64_t width = std::max(c.width, 1);
  if (bounds({from, to}).grown(width > 1 ? stroke_reach(width) : 0).misses_bitmap()) return;
  if (width > 1) {
    wide_line(out, from, to, width);
  } else {
    thin_line(out, from, to);
  }
}

void render_triangle(PixelWriter& out, const DrawCommand& c) {
  Pixel corners[3] = {to_device(c.x1, c.y1), to_device(c.x2, c.y2), to_device(c.x3, c.y3)};
  int64_t reach = c.width > 1 ? stroke_reach(c.width) : 0;
  if (bounds({corners[0], corners[1], corners[2]}).grown(reach).misses_bitmap()) return;
  if (c.width > 1) {
    wide_triangle_outline(out, corners, c.width);
    return;
  }
  if (c.width == 0) fill_triangle(out, corners);
  // The one-pixel outline, also around a fill, whose edge pixels it joins
  // into the unbroken lines of the outlined triangle.
  for (int i = 0; i < 3; ++i) thin_line(out, corners[i], corners[(i + 1) % 3]);
}

// The corners of a rectangle or oval request as an inclusive device box,
// whichever way round they were given.
Box device_box(const DrawCommand& c) {
  return bounds({to_device(c.x1, c.y1), to_device(c.x2, c.y2)});
}

void render_rectangle(PixelWriter& out, const DrawCommand& c) {
  Box box = device_box(c);
  if (box.grown(c.width / 2).misses_bitmap()) return;
  raster_rectangle(out, box, c.width);
}

void render_oval(PixelWriter& out, const DrawCommand& c) {
  Box box = device_box(c);
  if (box.grown((int64_t{c.width} + 1) / 2).misses_bitmap()) return;
  raster_oval(out, box, c.width);
}

void render_shape(const DrawCommand& c) {
  PixelWriter out(offscreen_bitmap, c.color);
  switch (c.kind) {
    case DRAW_PIXEL:
      render_pixel(out, c);
      break;
    case DRAW_LINE:
      render_line(out, c);
      break;
    case DRAW_TRIANGLE:
      render_triangle(out, c);
      break;
    case DRAW_RECTANGLE:
      render_rectangle(out, c);
      break;
    case DRAW_OVAL:
      render_oval(out, c);
      break;
    default:
      break;
  }
}

}  // namespace

void KIVET_render(const DrawCommand& command) {
  // The primitives validate colours; a request made otherwise with a bad
  // one draws nothing rather than read outside the palette.
  bool drawable = command.color >= 0 && command.color < NUM_COLORS;
  if (memory_dc && drawable) {
    if (command.kind == DRAW_TEXT) {
      render_text(memory_dc, command);
    } else {
      render_shape(command);
    }
  }
  KIVET_dirty = true;
}
