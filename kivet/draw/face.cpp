// KIVET-font through stb_truetype: the tables of the face's constant data
// parsed once, and glyphs rasterised on request. A glyph's outline is
// scaled (the em is the character height), moved so that its main stem
// starts on a pixel's edge, and its coverage of each pixel measured; a
// pixel shows when the glyph covers enough of it. A stroke thinner than a
// pixel that falls between two pixels covers neither enough: the pixel it
// covers most then shows all the same, so that no stem or bowl vanishes.
//
// The scale is a whole number over the face's units per em (2048, a power
// of two), so scaled points are exact; stb_truetype's rasteriser then uses
// only IEEE additions, multiplications, divisions and square roots, which
// every compiler rounds alike as long as none are fused (this file is
// built with contraction off).
#include "kivet/draw/face.h"

#include <cstdlib>

#include "kivet/draw/face_data.h"

// The implementation with private names, so that a program using
// stb_truetype itself is not disturbed.
#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include "stb_truetype.h"

namespace kivet {

struct FaceTables {
  stbtt_fontinfo info{};
};

namespace {

// A pixel shows when the glyph covers at least this much of it, out of 255:
// a little more than half, so that a stem 1.5 pixels wide (DejaVu's at size
// 16) shows as one column, as the hinted face shows it.
constexpr int GLYPH_COVERAGE = 150;
// A thin stroke that shows nowhere is drawn where it covers most when the
// pixels across it hold at least half a pixel's worth of it.
constexpr int STROKE_INK = 128;

FaceTables& parsed_tables() {
  static FaceTables tables;
  return tables;
}

int64_t floor_div(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Where, in font units, the glyph's main vertical stem starts: the longest
// vertical straight edge of its outline when that is at least a quarter of
// the glyph's height, else the glyph's left side (a round glyph's bowl).
int stem_edge(const stbtt_vertex* vertices, int count, int glyph_height, int left_side) {
  int best_length = 0, best_x = left_side;
  for (int i = 1; i < count; ++i) {
    if (vertices[i].type != STBTT_vline || vertices[i].x != vertices[i - 1].x) continue;
    int length = std::abs(vertices[i].y - vertices[i - 1].y);
    if (length > best_length) {
      best_length = length;
      best_x = vertices[i].x;
    }
  }
  return 4 * best_length >= glyph_height ? best_x : left_side;
}

// Coverage to pixels: the threshold, then the thin strokes that it lost.
// A pixel lies on a thin stroke across a row (a stem) when it is covered
// more than its neighbours in the row, or as much as the one to its right
// where the stroke is two pixels wide; likewise down a column (a bar).
void show_covered(const std::vector<unsigned char>& coverage, GlyphPixels& glyph) {
  const int w = glyph.width, h = glyph.height;
  auto c = [&](int x, int y) -> int {
    return x < 0 || y < 0 || x >= w || y >= h ? 0 : coverage[static_cast<size_t>(y) * w + x];
  };
  auto shown = [&](int x, int y) { return c(x, y) >= GLYPH_COVERAGE; };
  glyph.on.assign(coverage.size(), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int here = c(x, y);
      if (here == 0) continue;
      bool on = here >= GLYPH_COVERAGE;
      if (!on) {
        int left = c(x - 1, y), right = c(x + 1, y), up = c(x, y - 1), down = c(x, y + 1);
        bool stem = left < here && (right < here || (right == here && c(x + 2, y) < here)) &&
                    here + left + right >= STROKE_INK && !shown(x - 1, y) && !shown(x + 1, y);
        bool bar = up < here && (down < here || (down == here && c(x, y + 2) < here)) &&
                   here + up + down >= STROKE_INK && !shown(x, y - 1) && !shown(x, y + 1);
        on = stem || bar;
      }
      glyph.on[static_cast<size_t>(y) * w + x] = on;
    }
  }
}

}  // namespace

const Face& Face::get() {
  static const Face face;
  return face;
}

Face::Face() : tables_(&parsed_tables()) {
  FaceTables& tables = parsed_tables();
  int offset = stbtt_GetFontOffsetForIndex(FACE_DATA, 0);
  if (offset < 0 || !stbtt_InitFont(&tables.info, FACE_DATA, offset)) return;
  int units = tables.info.head ? ttUSHORT(tables.info.data + tables.info.head + 18) : 0;
  if (units > 0) units_per_em_ = units;
  int line_gap = 0;
  stbtt_GetFontVMetrics(&tables.info, &ascender_, &descender_, &line_gap);
  descender_ = -descender_;
}

int Face::ascent(int height) const {
  return static_cast<int>(
      floor_div(int64_t{ascender_} * height + units_per_em_ - 1, units_per_em_));
}

int Face::descent(int height) const {
  return static_cast<int>(
      floor_div(int64_t{descender_} * height + units_per_em_ - 1, units_per_em_));
}

int Face::glyph(char32_t character) const {
  if (!tables_->info.data || character > 0x10FFFF) return MISSING_GLYPH;
  return stbtt_FindGlyphIndex(&tables_->info, static_cast<int>(character));
}

int Face::glyph_count() const { return tables_->info.data ? tables_->info.numGlyphs : 0; }

int Face::advance(int glyph) const {
  if (!tables_->info.data) return 0;
  int advance = 0, left_side = 0;
  stbtt_GetGlyphHMetrics(&tables_->info, glyph, &advance, &left_side);
  return advance;
}

int Face::kerning(int left_glyph, int right_glyph) const {
  if (!tables_->info.data) return 0;
  return stbtt_GetGlyphKernAdvance(&tables_->info, left_glyph, right_glyph);
}

int Face::right_extent(int glyph) const {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  if (!tables_->info.data || !stbtt_GetGlyphBox(&tables_->info, glyph, &x0, &y0, &x1, &y1))
    return 0;
  return x1;
}

GlyphPixels Face::pixels(int glyph, int height) const {
  GlyphPixels out;
  const stbtt_fontinfo* info = &tables_->info;
  if (!info->data || height < 1) return out;
  stbtt_vertex* vertices = nullptr;
  int count = stbtt_GetGlyphShape(info, glyph, &vertices);
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  if (count <= 0 || !stbtt_GetGlyphBox(info, glyph, &x0, &y0, &x1, &y1)) {
    stbtt_FreeShape(info, vertices);
    return out;
  }
  // The stem's edge starts a pixel; the glyph's origin then lies `whole`
  // pixels and `shift` of a pixel from that pixel's left edge.
  out.stem = int64_t{stem_edge(vertices, count, y1 - y0, x0)} * height;
  int64_t whole = floor_div(-out.stem, units_per_em_);
  int64_t rest = -out.stem - whole * units_per_em_;
  float scale = static_cast<float>(height) / static_cast<float>(units_per_em_);
  float shift = static_cast<float>(rest) / static_cast<float>(units_per_em_);

  int ix0 = 0, iy0 = 0, ix1 = 0, iy1 = 0;
  stbtt_GetGlyphBitmapBoxSubpixel(info, glyph, scale, scale, shift, 0.0f, &ix0, &iy0, &ix1, &iy1);
  out.left = static_cast<int>(whole) + ix0;
  out.top = iy0;
  out.width = ix1 - ix0;
  out.height = iy1 - iy0;
  if (out.width > 0 && out.height > 0) {
    std::vector<unsigned char> coverage(static_cast<size_t>(out.width) * out.height);
    stbtt__bitmap target{out.width, out.height, out.width, coverage.data()};
    stbtt_Rasterize(&target, 0.35f, vertices, count, scale, scale, shift, 0.0f, ix0, iy0, 1,
                    info->userdata);
    show_covered(coverage, out);
  } else {
    out.width = out.height = 0;
  }
  stbtt_FreeShape(info, vertices);
  return out;
}

}  // namespace kivet
