// Glyphs rasterised once and kept: text drawn again at every frame (a
// score, a label) then costs a copy of its pixels, not a rasterisation.
// The glyphs are kept for the program's life; once they hold more than
// GLYPH_CACHE_BYTES of pixels, the next text call drops them all first and
// they are rasterised again as they are asked for. Like the rest of the
// drawing, it is used from one thread.
#pragma once

#include <cstddef>

#include "kivet/draw/face.h"

namespace kivet {

// About 300 glyphs at the largest character height, thousands at usual ones.
constexpr size_t GLYPH_CACHE_BYTES = size_t{4} << 20;

// Drops every kept glyph if they hold more than GLYPH_CACHE_BYTES: called
// at the start of a text call, while no glyph is in use.
void trim_glyph_cache();

// The face's pixels of `glyph` at character height `height` (1 to 127),
// valid until the next trim_glyph_cache().
const GlyphPixels& cached_glyph(int glyph, int height);

// The pixel bytes held now, for tests.
size_t cached_glyph_bytes();

}  // namespace kivet
