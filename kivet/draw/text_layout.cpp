// Text layout over the font seam. A text block that cannot reach the bitmap
// is left before any font work, and lines wholly above or below it are
// skipped, so labels far outside cost next to nothing.
#include "kivet/draw/text_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "kivet/draw/clipping.h"
#include "kivet/platform/font.h"
#include "kivet/text_encoding.h"

namespace kivet {

namespace {

// Character height for a point size of 0.
constexpr int DEFAULT_TEXT_HEIGHT = 16;

// A rough upper bound of how far a character of this height can advance
// or reach: wide glyphs and the boxes of control bytes stay well inside it.
int64_t generous_extent(int height) { return 4 * int64_t{height} + 16; }

// Whether a text block can touch the bitmap at all.
bool text_may_show(Pixel anchor, int height, const char* text) {
  size_t length = strlen(text);
  int64_t lines = 1 + std::count(text, text + length, '\n');
  int64_t extent = generous_extent(height);
  Box block{anchor.x - extent, anchor.y - extent, anchor.x + static_cast<int64_t>(length) * extent,
            anchor.y + lines * extent};
  return length > 0 && !block.misses_bitmap();
}

}  // namespace

void render_text(DrawTarget& target, const DrawCommand& c) {
  const char* text = c.text ? c.text : "";
  int height = c.x2 > 0 ? c.x2 : DEFAULT_TEXT_HEIGHT;
  Pixel anchor = to_device(target.origin, c.x1, c.y1);
  if (!text_may_show(anchor, height, text)) return;

  FontEngine& fonts = font_engine();
  // The line height is the font's cell height, whatever the characters.
  int line_height = fonts.line_height(height);
  uint32_t color = pixel_value(c.color);
  // text_may_show keeps the anchor within a few million pixels of the bitmap.
  int left = static_cast<int>(anchor.x);
  int64_t top = anchor.y - line_height;
  for (const char* line = text;; top += line_height) {
    const char* end = strchr(line, '\n');
    if (!end) end = line + strlen(line);
    if (top - height >= HEIGHT) break;  // this line and all after it are below
    if (end != line && top + line_height + height > 0) {
      std::string shown = shown_utf8(std::string(line, end), ControlCharacters::keep);
      fonts.draw_line(target.bitmap, left, static_cast<int>(top), shown, height, color);
      // Glyphs may reach a little beyond their cell.
      target.changed.add(top - height, top + line_height + height);
    }
    if (*end == '\0') break;
    line = end + 1;
  }
}

}  // namespace kivet
