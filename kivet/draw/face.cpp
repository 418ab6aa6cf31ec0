// KIVET-font through stb_truetype: the tables of the face's constant data
// parsed once (its glyph offsets restored first), and glyphs rasterised on
// request. A glyph's outline is scaled (the em is the character height, the
// x-height whole pixels), moved so that its main stem starts on a pixel's
// edge, and its coverage of each pixel measured; a pixel shows when the
// glyph covers enough of it. A stroke thinner than a pixel that falls
// between two pixels covers neither enough: the pixel it covers most then
// shows all the same, so that no stem or bowl vanishes.
//
// Positions and boxes are whole numbers. stb_truetype's rasteriser uses
// only IEEE additions, multiplications, divisions and square roots of
// single floats, which every compiler rounds alike as long as none are
// fused into one (this file is built with contraction off) and no wider
// precision is kept between them (none is on x86-64, ARM64 or WebAssembly).
#include "kivet/draw/face.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <vector>

#include "kivet/draw/face_data.h"

namespace kivet {
namespace {

// Memory for one glyph's rasterising: stb_truetype asks for a few blocks
// (points, edges, scanlines) and gives them all back at its end, so they
// are cut from one block of the caller's, not taken from the heap one by
// one. What does not fit comes from the heap.
class Scratch {
 public:
  void* take(size_t size) {
    size = (size + 15) / 16 * 16;
    if (size > sizeof block_ - used_) return std::malloc(size);
    void* p = block_ + used_;
    used_ += size;
    return p;
  }
  void give_back(void* p) {
    auto* byte = static_cast<unsigned char*>(p);
    if (byte < block_ || byte >= block_ + sizeof block_) std::free(p);
  }

 private:
  alignas(16) unsigned char block_[16384];
  size_t used_ = 0;
};

void* scratch_take(size_t size, void* scratch) {
  return scratch ? static_cast<Scratch*>(scratch)->take(size) : std::malloc(size);
}

void scratch_give_back(void* p, void* scratch) {
  if (scratch) {
    static_cast<Scratch*>(scratch)->give_back(p);
  } else {
    std::free(p);
  }
}

}  // namespace
}  // namespace kivet

// The implementation with private names, so that a program using
// stb_truetype itself is not disturbed. The parsed tables carry no memory
// of their own (their user data is null); a rasterising is handed its
// Scratch.
#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#define STBTT_malloc(size, user) kivet::scratch_take(size, user)
#define STBTT_free(pointer, user) kivet::scratch_give_back(pointer, user)
#include "stb_truetype.h"

namespace kivet {

struct FaceTables {
  std::vector<unsigned char> font;  // the face's data with its glyph offsets
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

// The face's outlines are TrueType's (its glyf table), so stb_truetype's
// readers for them are called directly: the ones for CFF outlines, which
// its general entry points also reach, then stay out of the program.
int glyph_shape(const stbtt_fontinfo& info, int glyph, stbtt_vertex** vertices) {
  return stbtt__GetGlyphShapeTT(&info, glyph, vertices);
}

bool glyph_box(const stbtt_fontinfo& info, int glyph, int* x0, int* y0, int* x1, int* y1) {
  int at = stbtt__GetGlyfOffset(&info, glyph);
  if (at < 0) return false;
  *x0 = ttSHORT(info.data + at + 2);
  *y0 = ttSHORT(info.data + at + 4);
  *x1 = ttSHORT(info.data + at + 6);
  *y1 = ttSHORT(info.data + at + 8);
  return true;
}

// The face's data as a TrueType font: its loca table holds each glyph's
// length (in 2-byte words, the short format), which compresses better than
// the offsets that stb_truetype reads; they are summed back once.
std::vector<unsigned char> face_font() {
  std::vector<unsigned char> font(FACE_DATA, FACE_DATA + FACE_DATA_SIZE);
  stbtt_uint32 loca = stbtt__find_table(font.data(), 0, "loca");
  stbtt_uint32 head = stbtt__find_table(font.data(), 0, "head");
  if (!loca || !head || ttSHORT(font.data() + head + 50) != 0) return font;
  stbtt_uint32 count = 0;
  for (int i = 0; i < ttUSHORT(font.data() + 4); ++i) {
    unsigned char* record = font.data() + 12 + 16 * i;
    if (ttULONG(record + 8) == loca) count = ttULONG(record + 12) / 2;
  }
  if (loca + 2 * size_t{count} > font.size()) return font;
  stbtt_uint32 offset = 0;
  for (stbtt_uint32 i = 0; i < count; ++i) {
    unsigned char* entry = font.data() + loca + 2 * i;
    stbtt_uint32 length = ttUSHORT(entry);
    entry[0] = static_cast<unsigned char>(offset >> 8);
    entry[1] = static_cast<unsigned char>(offset);
    offset += length;
  }
  return font;
}

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
// `coverage` has a border of PAD empty pixels around the glyph's.
constexpr int PAD = 2;

void show_covered(const std::vector<unsigned char>& coverage, GlyphPixels& glyph) {
  const int w = glyph.width, h = glyph.height;
  const ptrdiff_t across = w + 2 * PAD;
  glyph.on.assign(static_cast<size_t>(w) * h, 0);
  uint8_t* out = glyph.on.data();
  for (int y = 0; y < h; ++y) {
    const unsigned char* c = coverage.data() + (y + PAD) * across + PAD;
    for (int x = 0; x < w; ++x, ++c, ++out) {
      int here = c[0];
      if (here >= GLYPH_COVERAGE) {
        *out = 1;
        continue;
      }
      if (here == 0) continue;
      int left = c[-1], right = c[1], up = c[-across], down = c[across];
      bool stem = left < here && (right < here || (right == here && c[2] < here)) &&
                  here + left + right >= STROKE_INK && left < GLYPH_COVERAGE &&
                  right < GLYPH_COVERAGE;
      bool bar = up < here && (down < here || (down == here && c[2 * across] < here)) &&
                 here + up + down >= STROKE_INK && up < GLYPH_COVERAGE && down < GLYPH_COVERAGE;
      // A pixel the glyph touches between four that show: where a stroke
      // meets another at a sharp angle (g's bowl and stem).
      bool pinhole = left >= GLYPH_COVERAGE && right >= GLYPH_COVERAGE && up >= GLYPH_COVERAGE &&
                     down >= GLYPH_COVERAGE;
      *out = stem || bar || pinhole;
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
  tables.font = face_font();
  if (!stbtt_InitFont(&tables.info, tables.font.data(), 0)) {
    tables.info = stbtt_fontinfo{};
    return;
  }
  int units = tables.info.head ? ttUSHORT(tables.info.data + tables.info.head + 18) : 0;
  if (units > 0) units_per_em_ = units;
  int line_gap = 0;
  stbtt_GetFontVMetrics(&tables.info, &ascender_, &descender_, &line_gap);
  descender_ = -descender_;
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  if (glyph_box(tables.info, stbtt_FindGlyphIndex(&tables.info, 'x'), &x0, &y0, &x1, &y1))
    x_height_ = y1;
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
  if (!tables_->info.data || !glyph_box(tables_->info, glyph, &x0, &y0, &x1, &y1)) return 0;
  return x1;
}

GlyphPixels Face::pixels(int glyph, int height) const {
  GlyphPixels out;
  const stbtt_fontinfo* info = &tables_->info;
  if (!info->data || height < 1) return out;
  stbtt_vertex* vertices = nullptr;
  int count = glyph_shape(*info, glyph, &vertices);
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  if (count <= 0 || !glyph_box(*info, glyph, &x0, &y0, &x1, &y1)) {
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
  // Heights are scaled so that the x-height is whole pixels, as hinting
  // would: the tops of x, e, a, m then sit on a row's edge. It is at least
  // five pixels once it is more than four: e needs a row for its top, its
  // eye, its bar, the gap below and its bottom.
  int64_t tall_num = height, tall_den = units_per_em_;
  if (x_height_ > 0) {
    int64_t exact = int64_t{x_height_} * height;
    tall_num = std::max<int64_t>(1, (exact + units_per_em_ / 2) / units_per_em_);
    if (exact > 4 * int64_t{units_per_em_}) tall_num = std::max<int64_t>(tall_num, 5);
    tall_den = x_height_;
  }
  float scale_y = static_cast<float>(tall_num) / static_cast<float>(tall_den);

  // The pixels the outline reaches, as stb_truetype's box would give them,
  // in whole numbers: rows downwards from the baseline.
  const int64_t em = units_per_em_;
  int ix0 = static_cast<int>(floor_div(int64_t{x0} * height + rest, em));
  int ix1 = static_cast<int>(-floor_div(-(int64_t{x1} * height + rest), em));
  int iy0 = static_cast<int>(floor_div(-int64_t{y1} * tall_num, tall_den));
  int iy1 = static_cast<int>(-floor_div(int64_t{y0} * tall_num, tall_den));
  out.left = static_cast<int>(whole) + ix0;
  out.top = iy0;
  out.width = ix1 - ix0;
  out.height = iy1 - iy0;
  if (out.width > 0 && out.height > 0) {
    const int across = out.width + 2 * PAD;
    std::vector<unsigned char> coverage(static_cast<size_t>(across) * (out.height + 2 * PAD));
    stbtt__bitmap target{out.width, out.height, across, coverage.data() + PAD * across + PAD};
    Scratch scratch;
    stbtt_Rasterize(&target, 0.5f, vertices, count, scale, scale_y, shift, 0.0f, ix0, iy0, 1,
                    &scratch);
    show_covered(coverage, out);
  } else {
    out.width = out.height = 0;
  }
  stbtt_FreeShape(info, vertices);
  return out;
}

}  // namespace kivet
