// The font seam: what the system draws of text. The library draws text in
// its own face, KIVET-font (kivet/draw/face.h), the same pixels on every
// system; a run of characters that face has no glyph for (Chinese, Arabic,
// emoji...) is handed to the system's own text engine, placed at the pen:
// Pango on Linux, GDI on Windows, the canvas in the browser. Plain
// functions, so that text drawing makes no indirect call (which a browser
// build pays for in every function that may make one).
#pragma once

#include <string>

#include "kivet/draw/bitmap.h"

namespace kivet {

// Whether the system the library was built for has a text engine; in a
// build without one, characters the face lacks show as its box.
bool system_fonts_exist();

// How far the pen moves over a run of text, valid UTF-8 without control
// characters, drawn with characters `height` pixels high (the character
// height without internal leading, 1 to 127), in whole pixels.
int system_run_width(const std::string& utf8, int height);

// Draws such a run with the left end of its baseline at bitmap pixel
// (left, baseline), in the system's fonts. Transparent and not
// antialiased: only the glyphs' own pixels change, and each of them
// becomes exactly `color` (0x00RRGGBB). What falls outside the bitmap is
// cut off; `left` and `baseline` may lie far outside it.
void system_draw_run(Bitmap& bitmap, int left, int baseline, const std::string& utf8, int height,
                     uint32_t color);

}  // namespace kivet
