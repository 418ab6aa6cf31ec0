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
#include "kivet/ending_signals.h"
#include "kivet/state.h"

using namespace kivet;

namespace {

// Each shape is dropped before its writer is made when its bounds miss the
// bitmap: far-off shapes cost no more than that test.
void render_pixel(DrawTarget& target, const DrawCommand& c) {
  Pixel p = to_device(target.origin, c.x1, c.y1);
  if (bounds({p}).misses_bitmap()) return;
  PixelWriter(target.bitmap, c.color, target.changed).pixel(p.x, p.y);
}

void render_line(DrawTarget& target, const DrawCommand& c) {
  Pixel from = to_device(target.origin, c.x1, c.y1), to = to_device(target.origin, c.x2, c.y2);
  int64_t width = std::max(c.width, 1);
  if (bounds({from, to}).grown(width > 1 ? stroke_reach(width) : 0).misses_bitmap()) return;
  PixelWriter out(target.bitmap, c.color, target.changed);
  if (width > 1) {
    wide_line(out, from, to, width);
  } else {
    thin_line(out, from, to);
  }
}

void render_triangle(DrawTarget& target, const DrawCommand& c) {
  Pixel corners[3] = {to_device(target.origin, c.x1, c.y1), to_device(target.origin, c.x2, c.y2),
                      to_device(target.origin, c.x3, c.y3)};
  int64_t reach = c.width > 1 ? stroke_reach(c.width) : 0;
  if (bounds({corners[0], corners[1], corners[2]}).grown(reach).misses_bitmap()) return;
  PixelWriter out(target.bitmap, c.color, target.changed);
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
Box device_box(Pixel origin, const DrawCommand& c) {
  return bounds({to_device(origin, c.x1, c.y1), to_device(origin, c.x2, c.y2)});
}

void render_rectangle(DrawTarget& target, const DrawCommand& c) {
  Box box = device_box(target.origin, c);
  if (box.grown(c.width / 2).misses_bitmap()) return;
  PixelWriter out(target.bitmap, c.color, target.changed);
  raster_rectangle(out, box, c.width);
}

void render_oval(DrawTarget& target, const DrawCommand& c) {
  Box box = device_box(target.origin, c);
  if (box.grown((int64_t{c.width} + 1) / 2).misses_bitmap()) return;
  PixelWriter out(target.bitmap, c.color, target.changed);
  raster_oval(out, box, c.width);
}

}  // namespace

void KIVET_render(const DrawCommand& command) {
  // A program that draws without waiting for events is still ended by a
  // terminating signal of an unattended run, picture first.
  end_if_signalled();
  // The primitives validate colours; a request made otherwise with a bad
  // one draws nothing rather than read outside the palette.
  bool drawable = command.color >= 0 && command.color < NUM_COLORS;
  if (state().offscreen_bitmap && drawable) {
    LibraryState& s = state();
    DrawTarget target{*s.offscreen_bitmap, s.changed_rows, Pixel{s.origin_x, s.origin_y}};
    switch (command.kind) {
      case DRAW_PIXEL:
        render_pixel(target, command);
        break;
      case DRAW_LINE:
        render_line(target, command);
        break;
      case DRAW_TRIANGLE:
        render_triangle(target, command);
        break;
      case DRAW_RECTANGLE:
        render_rectangle(target, command);
        break;
      case DRAW_OVAL:
        render_oval(target, command);
        break;
      case DRAW_TEXT:
        render_text(target, command);
        break;
      default:
        break;
    }
  }
  state().KIVET_dirty = true;
  state().has_drawn = true;
}
