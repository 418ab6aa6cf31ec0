// Text layout: lines, the pen along each line, and the glyphs put into the
// bitmap. A text block that cannot reach the bitmap is left before any
// font work, lines wholly above or below it are skipped, and a line stops
// once its pen has passed the bitmap's right edge, so labels far outside
// cost next to nothing.
//
// The pen is kept in whole 1 / units_per_em pixels, the sum of the face's
// advances and kerning times the character height: the glyphs stand at
// the same pixels whatever the compiler. Glyphs are rasterised once and
// kept (kivet/draw/glyph_cache.h).
#include "kivet/draw/text_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kivet/draw/clipping.h"
#include "kivet/draw/face.h"
#include "kivet/draw/glyph_cache.h"
#include "kivet/platform/font.h"
#include "kivet/text_encoding.h"

namespace kivet {

namespace {

// Character height for a point size of 0.
constexpr int DEFAULT_TEXT_HEIGHT = 16;

// A rough upper bound of how far a character of this height can advance
// or reach: wide glyphs and the system's glyphs stay well inside it.
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

int64_t floor_div(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// One character of a line: its code point and where its bytes start.
struct Character {
  char32_t code;
  size_t start;
};

// The characters of valid UTF-8, as shown_utf8 gives it.
std::vector<Character> characters(const std::string& utf8) {
  std::vector<Character> out;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8.data());
  for (size_t i = 0; i < utf8.size();) {
    unsigned char lead = p[i];
    size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    length = std::min(length, utf8.size() - i);
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (size_t k = 1; k < length; ++k) code = (code << 6) | (p[i + k] & 0x3F);
    out.push_back(Character{code, i});
    i += length;
  }
  return out;
}

// A tab or any other control character is an ordinary character, drawn in
// place as the face's box.
bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// A space or a zero-width joiner between two characters the face lacks
// stays in their run, so that a phrase of another script or an emoji
// sequence reaches the system's engine whole.
bool joins_run(char32_t c) { return c == U' ' || c == 0x200D; }

constexpr int LACKING = -1;

// The face's glyph of each character, or LACKING for one the face has no
// glyph for that another engine is to draw (when there is one).
std::vector<int> glyphs_of(const std::vector<Character>& line, const Face& face,
                           bool other_engine) {
  std::vector<int> glyphs;
  glyphs.reserve(line.size());
  for (const Character& c : line) {
    int glyph = is_control(c.code) ? MISSING_GLYPH : face.glyph(c.code);
    glyphs.push_back(glyph == MISSING_GLYPH && other_engine && !is_control(c.code) ? LACKING
                                                                                   : glyph);
  }
  return glyphs;
}

// The end of the run of lacking characters that starts at `i`.
size_t lacking_run_end(const std::vector<Character>& line, const std::vector<int>& glyphs,
                       size_t i) {
  size_t end = i + 1;
  for (size_t next = end; next < line.size();) {
    if (glyphs[next] == LACKING) {
      end = ++next;
    } else if (joins_run(line[next].code)) {
      ++next;
    } else {
      break;
    }
  }
  return end;
}

void put_glyph(Bitmap& bitmap, const GlyphPixels& glyph, int64_t left, int64_t top,
               uint32_t color) {
  int64_t first_row = std::max<int64_t>(top, 0);
  int64_t end_row = std::min<int64_t>(top + glyph.height, HEIGHT);
  int64_t first_column = std::max<int64_t>(left, 0);
  int64_t end_column = std::min<int64_t>(left + glyph.width, WIDTH);
  if (first_column >= end_column) return;
  const int count = static_cast<int>(end_column - first_column);
  for (int64_t y = first_row; y < end_row; ++y) {
    const uint8_t* on = glyph.on.data() + (y - top) * glyph.width + (first_column - left);
    uint32_t* row = bitmap.row(static_cast<int>(y)) + first_column;
    for (int x = 0; x < count; ++x) row[x] = on[x] ? color : row[x];
  }
}

// One line: `left` is the first cell's left column, `baseline` its
// baseline's row.
struct Line {
  int64_t left;
  int64_t baseline;
  int height;
  uint32_t color;
};

// The system's engine for the runs the face lacks, in direct calls.
struct SystemRuns {
  bool exist() const { return system_fonts_exist(); }
  int width(const std::string& utf8, int height) { return system_run_width(utf8, height); }
  void draw(Bitmap& bitmap, int left, int baseline, const std::string& utf8, int height,
            uint32_t color) {
    system_draw_run(bitmap, left, baseline, utf8, height, color);
  }
};

// A test's drawer for them, or none.
struct OtherRuns {
  RunDrawer* drawer;
  bool exist() const { return drawer != nullptr; }
  int width(const std::string& utf8, int height) { return drawer->run_width(utf8, height); }
  void draw(Bitmap& bitmap, int left, int baseline, const std::string& utf8, int height,
            uint32_t color) {
    drawer->draw_run(bitmap, left, baseline, utf8, height, color);
  }
};

template <typename Runs>
void draw_line(Bitmap& bitmap, const Line& at, const std::string& utf8, Runs& runs) {
  const Face& face = Face::get();
  const int64_t em = face.units_per_em();
  const int64_t height = at.height;
  // Beyond this pen position nothing further along the line can show.
  const int64_t past_right = (WIDTH - at.left + generous_extent(at.height)) * em;
  std::vector<Character> line = characters(utf8);
  std::vector<int> glyphs = glyphs_of(line, face, runs.exist());
  int64_t pen = 0;
  int previous = LACKING;
  for (size_t i = 0; i < line.size() && pen < past_right;) {
    if (glyphs[i] == LACKING) {
      size_t end = lacking_run_end(line, glyphs, i);
      size_t stop = end < line.size() ? line[end].start : utf8.size();
      std::string run = utf8.substr(line[i].start, stop - line[i].start);
      int64_t x = at.left + floor_div(pen + em / 2, em);
      int width = std::max(0, runs.width(run, at.height));
      runs.draw(bitmap, static_cast<int>(x), static_cast<int>(at.baseline), run, at.height,
                at.color);
      pen = (x - at.left + width) * em;
      previous = LACKING;
      i = end;
      continue;
    }
    int glyph = glyphs[i++];
    if (previous != LACKING) pen += face.kerning(previous, glyph) * height;
    previous = glyph;
    // A glyph wholly left of the bitmap is not rasterised at all.
    bool left_of_bitmap = at.left + floor_div(pen + face.right_extent(glyph) * height, em) < -1;
    if (!left_of_bitmap) {
      const GlyphPixels& pixels = cached_glyph(glyph, at.height);
      if (pixels.width > 0) {
        int64_t column = at.left + floor_div(pen + pixels.stem + em / 2, em) + pixels.left;
        put_glyph(bitmap, pixels, column, at.baseline + pixels.top, at.color);
      }
    }
    pen += face.advance(glyph) * height;
  }
}

template <typename Runs>
void render_lines(DrawTarget& target, const DrawCommand& c, Runs& runs) {
  const char* text = c.text ? c.text : "";
  int height = c.x2 > 0 ? c.x2 : DEFAULT_TEXT_HEIGHT;
  Pixel anchor = to_device(target.origin, c.x1, c.y1);
  if (!text_may_show(anchor, height, text)) return;

  const Face& face = Face::get();
  // The line height is the face's cell height, whatever the characters.
  const int line_height = face.line_height(height);
  trim_glyph_cache();
  Line at{anchor.x, 0, height, pixel_value(c.color)};
  int64_t top = anchor.y - line_height;
  for (const char* line = text;; top += line_height) {
    const char* end = strchr(line, '\n');
    if (!end) end = line + strlen(line);
    if (top - height >= HEIGHT) break;  // this line and all after it are below
    if (end != line && top + line_height + height > 0) {
      at.baseline = top + face.ascent(height);
      draw_line(target.bitmap, at, shown_utf8(std::string(line, end), ControlCharacters::keep),
                runs);
      // Glyphs may reach a little beyond their cell.
      target.changed.add(top - height, top + line_height + height);
    }
    if (*end == '\0') break;
    line = end + 1;
  }
}

}  // namespace

void render_text(DrawTarget& target, const DrawCommand& command) {
  SystemRuns runs;
  render_lines(target, command, runs);
}

void render_text(DrawTarget& target, const DrawCommand& command, RunDrawer* drawer) {
  OtherRuns runs{drawer};
  render_lines(target, command, runs);
}

}  // namespace kivet
