// Glyphs rasterised once and kept: text drawn again at every frame (a
// score, a label) then costs a copy of its pixels, not a rasterisation.
// The glyphs are kept for the program's life, up to GLYPH_CACHE_BYTES of
// pixels; once a new glyph would pass that, all are dropped and rasterised
// again as they are next asked for. A glyph handed out stays valid for as
// long as its holder keeps it, whatever is dropped meanwhile.
#pragma once

#include <cstddef>
#include <memory>

#include "kivet/draw/face.h"

namespace kivet {

// About 300 glyphs at the largest character height, thousands at usual ones.
constexpr size_t GLYPH_CACHE_BYTES = size_t{4} << 20;

// The face's pixels of `glyph` at character height `height` (1 to 127).
std::shared_ptr<const GlyphPixels> cached_glyph(int glyph, int height);

// The pixel bytes held now, for tests.
size_t cached_glyph_bytes();

}  // namespace kivet
