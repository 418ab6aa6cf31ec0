// KIVET-font, the face built into the library: its metrics, glyphs,
// advances and kerning, and each glyph rasterised into pixels that are
// either the text's colour or left alone. The face's tables are parsed once,
// from its constant data, and never change; a glyph's pixels are made
// afresh whenever they are asked for (kivet/draw/glyph_cache.h keeps them).
//
// Every pixel decision is made in whole numbers or in floating-point steps
// that are exact or correctly rounded, so the same glyph comes out the same
// from every compiler (the file is built without contracted arithmetic).
#pragma once

#include <cstdint>
#include <vector>

namespace kivet {

// A glyph's pixels at one character height: `width` x `height` of them,
// row by row, 1 where the glyph shows. Each copy of a glyph is placed so
// that its main vertical stem (or, for a round glyph, its left side)
// starts on a pixel's left edge, as hinting would: all copies then look
// alike. `stem` is how far that edge lies right of the glyph's origin, in
// 1 / units_per_em pixels; `left` is the first column relative to the
// column the stem starts in, `top` the first row relative to the baseline.
struct GlyphPixels {
  int64_t stem = 0;
  int left = 0;
  int top = 0;  // negative: above the baseline
  int width = 0;
  int height = 0;
  std::vector<uint8_t> on;
};

// The face's parsed tables (face.cpp).
struct FaceTables;

// Glyph 0: the box the face draws for a character it has no glyph for.
constexpr int MISSING_GLYPH = 0;

class Face {
 public:
  static const Face& get();

  // Font units per em: a character height of h pixels is h / units_per_em
  // pixels per unit.
  int units_per_em() const { return units_per_em_; }
  // Whole pixels above and below the baseline of a character cell at a
  // character height (1 to 127): 19 and 5 at 20, a line of 24.
  int ascent(int height) const;
  int descent(int height) const;
  int line_height(int height) const { return ascent(height) + descent(height); }

  // The glyph of a character, or MISSING_GLYPH; glyphs are numbered from 0
  // to glyph_count() - 1.
  int glyph(char32_t character) const;
  int glyph_count() const;
  // How far the pen moves after a glyph, and the kerning between two
  // glyphs in a row, in font units.
  int advance(int glyph) const;
  int kerning(int left_glyph, int right_glyph) const;
  // The glyph's extent to the right of its origin, in font units.
  int right_extent(int glyph) const;

  // The glyph's pixels at a character height (1 to 127).
  GlyphPixels pixels(int glyph, int height) const;

 private:
  Face();
  int units_per_em_ = 2048;
  int ascender_ = 0;   // font units above the baseline
  int descender_ = 0;  // font units below it, positive
  int x_height_ = 0;   // font units from the baseline to the top of x
  const FaceTables* tables_;
};

}  // namespace kivet
