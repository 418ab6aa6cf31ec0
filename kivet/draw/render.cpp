// The renderer: turns one drawing request into pixels of the off-screen
// bitmap. Nothing is antialiased, so every pixel a shape or glyph touches
// takes exactly its palette colour.
//
// This file only dispatches: a shape whose bounds lie wholly outside the
// bitmap is dropped here; pixels, one-pixel lines, rectangles and ovals are
// set straight into the bitmap (raster.h), wide strokes and triangle fills
// go through strokes.h, and text through the text layout (text_layout.h).
#include <algorithm>
#include <cstdint>

#include "kivet/draw/clipping.h"
#include "kivet/draw/raster.h"
#include "kivet/draw/strokes.h"
#include "kivet/draw/text_layout.h"
#include "kivet/kivet.h"
#include "kivet/state.h"

using namespace kivet;

namespace {

void render_pixel(Bitmap& bitmap, const DrawCommand& c) {
  Pixel p = to_device(c.x1, c.y1);
  if (bounds({p}).misses_bitmap()) return;
  PixelWriter(bitmap, c.color, changed_rows).pixel(p.x, p.y);
}

void render_line(Bitmap& bitmap, const DrawCommand& c) {
  Pixel from = to_device(c.x1, c.y1), to = to_device(c.x2, c.y2);
  int64_t width = std::max(c.width, 1);
  if (bounds({from, to}).grown(width > 1 ? stroke_reach(width) : 0).misses_bitmap()) return;
  if (width > 1) {
    stroke_line(bitmap, c.color, from, to, width);
    return;
  }
  PixelWriter out(bitmap, c.color, changed_rows);
  thin_line(out, from, to);
}

void render_triangle(Bitmap& bitmap, const DrawCommand& c) {
  Pixel corners[3] = {to_device(c.x1, c.y1), to_device(c.x2, c.y2), to_device(c.x3, c.y3)};
  int64_t reach = c.width > 1 ? stroke_reach(c.width) : 0;
  if (bounds({corners[0], corners[1], corners[2]}).grown(reach).misses_bitmap()) return;
  if (c.width > 1) {
    stroke_triangle(bitmap, c.color, corners, c.width);
    return;
  }
  if (c.width == 0) fill_triangle(bitmap, c.color, corners);
  // The one-pixel outline, also around a fill: it adds the edge and corner
  // pixels that a fill of the interior alone leaves out.
  PixelWriter out(bitmap, c.color, changed_rows);
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
    switch (command.kind) {
      case DRAW_PIXEL:
        render_pixel(*offscreen_bitmap, command);
        break;
      case DRAW_LINE:
        render_line(*offscreen_bitmap, command);
        break;
      case DRAW_TRIANGLE:
        render_triangle(*offscreen_bitmap, command);
        break;
      case DRAW_RECTANGLE:
        render_rectangle(*offscreen_bitmap, command);
        break;
      case DRAW_OVAL:
        render_oval(*offscreen_bitmap, command);
        break;
      case DRAW_TEXT:
        render_text(*offscreen_bitmap, command);
        break;
      default:
        break;
    }
  }
  KIVET_dirty = true;
}
