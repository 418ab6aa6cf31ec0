// The renderer: turns one drawing request into pixels of the off-screen
// bitmap. Nothing is antialiased, so every pixel a shape or glyph touches
// takes exactly its palette colour.
//
// This file only dispatches: a shape whose bounds lie wholly outside the
// bitmap is dropped here; every shape is rasterised by the library itself
// straight into the bitmap (raster.h, wide_strokes.h, triangle_fill.h), and
// text goes through the text layout and the system's font engine
// (text_layout.h).
#include <algorithm>
#include <cstdint>

#include "kivet/draw/clipping.h"
#include "kivet/draw/raster.h"
#include "kivet/draw/text_layout.h"
#include "kivet/draw/triangle_fill.h"
#include "kivet/draw/wide_strokes.h"
#include "kivet/kivet.h"
#include "kivet/state.h"

using namespace kivet;

namespace {

// Each shape is dropped before its writer is made when its bounds miss the
// bitmap: far-off shapes cost no more than that test.
void render_pixel(Bitmap& bitmap, const DrawCommand& c) {
  Pixel p = to_device(c.x1, c.y1);
  if (bounds({p}).misses_bitmap()) return;
  PixelWriter(bitmap, c.color, changed_rows).pixel(p.x, p.y);
}

void render_line(Bitmap& bitmap, const DrawCommand& c) {
  Pixel from = to_device(c.x1, c.y1), to = to_device(c.x2, c.y2);
  int64_t width = std::max(c.width, 1);
  if (bounds({from, to}).grown(width > 1 ? stroke_reach(width) : 0).misses_bitmap()) return;
  PixelWriter out(bitmap, c.color, changed_rows);
  if (width > 1) {
    wide_line(out, from, to, width);
  } else {
    thin_line(out, from, to);
  }
}

void render_triangle(Bitmap& bitmap, const DrawCommand& c) {
  Pixel corners[3] = {to_device(c.x1, c.y1), to_device(c.x2, c.y2), to_device(c.x3, c.y3)};
  int64_t reach = c.width > 1 ? stroke_reach(c.width) : 0;
  if (bounds({corners[0], corners[1], corners[2]}).grown(reach).misses_bitmap()) return;
  PixelWriter out(bitmap, c.color, changed_rows);
  if (c.width > 1) {
    wide_triangle_outline(out, corners, c.width);
    return;
  }
  if (c.width == 0) fill_triangle(out, corners);
  // The one-pixel outline, also around a fill: a filled triangle covers
  // every pixel of the outlined one.
  for (int i = 0; i < 3; ++i) thin_line(out, corners[i], corners[(i + 1) % 3]);
}

// The corners of a rectangle or oval request as an inclusive device box,
// whichever way round they were given.
Box device_box(const DrawCommand& c) {
  return bounds({to_device(c.x1, c.y1), to_device(c.x2, c.y2)});
}

void render_rectangle(Bitmap& bitmap, const DrawCommand& c) {
  Box box = device_box(c);
  if (box.grown(c.width / 2).misses_bitmap()) return;
  PixelWriter out(bitmap, c.color, changed_rows);
  raster_rectangle(out, box, c.width);
}

void render_oval(Bitmap& bitmap, const DrawCommand& c) {
  Box box = device_box(c);
  if (box.grown((int64_t{c.width} + 1) / 2).misses_bitmap()) return;
  PixelWriter out(bitmap, c.color, changed_rows);
  raster_oval(out, box, c.width);
}

}  // namespace

void KIVET_render(const DrawCommand& command) {
  // The primitives validate colours; a request made otherwise with a bad
  // one draws nothing rather than read outside the palette.
  bool drawable = command.color >= 0 && command.color < NUM_COLORS;
  if (offscreen_bitmap && drawable) {
    Bitmap& bitmap = *offscreen_bitmap;
    switch (command.kind) {
      case DRAW_PIXEL:
        render_pixel(bitmap, command);
        break;
      case DRAW_LINE:
        render_line(bitmap, command);
        break;
      case DRAW_TRIANGLE:
        render_triangle(bitmap, command);
        break;
      case DRAW_RECTANGLE:
        render_rectangle(bitmap, command);
        break;
      case DRAW_OVAL:
        render_oval(bitmap, command);
        break;
      case DRAW_TEXT:
        render_text(bitmap, command);
        break;
      default:
        break;
    }
  }
  KIVET_dirty = true;
}
