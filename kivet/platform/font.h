// The font seam: the one drawing operation each system provides. The
// library lays text out (lines cut at newline bytes, where each line
// stands) and asks the system's font engine to draw one line at a time
// into the library's own pixels. One engine per system: Pango on Linux,
// GDI on Windows, the canvas in the browser.
#pragma once

#include <string>

#include "kivet/draw/bitmap.h"

namespace kivet {

class FontEngine {
 public:
  virtual ~FontEngine() = default;

  // The height in pixels of one line of text whose characters are `height`
  // pixels high (the font's character cell: 24 for 20 with DejaVu Sans).
  // `height` is 1 to 127.
  virtual int line_height(int height) = 0;

  // Draws one line of text, valid UTF-8 without newline, in the face
  // "KIVET-font" (or the system's stand-in for it) with characters `height`
  // pixels high (the character height without internal leading), the
  // top-left corner of its first character cell at bitmap pixel (left,
  // top). Transparent and not antialiased: only the glyphs' own pixels
  // change, and each of them becomes exactly `color` (0x00RRGGBB). A tab or
  // any other control character is an ordinary character, drawn in place
  // as the font's box for a missing glyph. What falls outside the bitmap is
  // cut off; `left` and `top` may lie far outside it.
  virtual void draw_line(Bitmap& bitmap, int left, int top, const std::string& utf8, int height,
                         uint32_t color) = 0;
};

// The engine of the system the library was built for.
FontEngine& font_engine();

}  // namespace kivet
