// The kept glyphs: for each character height used, a table of every glyph
// of the face, each rasterised when it is first asked for.
#include "kivet/draw/glyph_cache.h"

#include <memory>
#include <vector>

namespace kivet {
namespace {

constexpr int HEIGHTS = 128;
// What a glyph costs beside its pixels: its place in a height's table.
constexpr size_t GLYPH_OVERHEAD = sizeof(GlyphPixels) + 1;

struct Height {
  std::vector<GlyphPixels> glyphs;
  std::vector<bool> made;
};

struct Kept {
  std::unique_ptr<Height> heights[HEIGHTS];
  size_t bytes = 0;
};

// Never destroyed: text may still be drawn while the program's statics go.
Kept& kept() {
  static Kept* kept = new Kept;
  return *kept;
}

}  // namespace

void trim_glyph_cache() {
  Kept& k = kept();
  if (k.bytes <= GLYPH_CACHE_BYTES) return;
  for (std::unique_ptr<Height>& height : k.heights) height.reset();
  k.bytes = 0;
}

const GlyphPixels& cached_glyph(int glyph, int height) {
  static const GlyphPixels none;
  const Face& face = Face::get();
  if (height < 1 || height >= HEIGHTS || glyph < 0 || glyph >= face.glyph_count()) return none;
  Kept& k = kept();
  std::unique_ptr<Height>& at = k.heights[height];
  if (!at) {
    at.reset(new Height);
    at->glyphs.resize(static_cast<size_t>(face.glyph_count()));
    at->made.resize(static_cast<size_t>(face.glyph_count()));
    k.bytes += static_cast<size_t>(face.glyph_count()) * GLYPH_OVERHEAD;
  }
  GlyphPixels& pixels = at->glyphs[static_cast<size_t>(glyph)];
  if (!at->made[static_cast<size_t>(glyph)]) {
    pixels = face.pixels(glyph, height);
    at->made[static_cast<size_t>(glyph)] = true;
    k.bytes += pixels.on.size();
  }
  return pixels;
}

size_t cached_glyph_bytes() { return kept().bytes; }

}  // namespace kivet
