// Kept glyphs: the same pixels as the face makes, made once per glyph and
// height, and brought back within their bound however many heights a
// program uses.
#include <gtest/gtest.h>

#include "kivet/draw/face.h"
#include "kivet/draw/glyph_cache.h"

namespace {

TEST(GlyphCacheTest, KeepsEachGlyphOnceAndStaysWithinItsBound) {
  const kivet::Face& face = kivet::Face::get();
  const int e = face.glyph(U'e');
  const kivet::GlyphPixels& first = kivet::cached_glyph(e, 20);
  EXPECT_EQ(&kivet::cached_glyph(e, 20), &first) << "made once";
  EXPECT_NE(&kivet::cached_glyph(e, 21), &first) << "each height its own";
  kivet::GlyphPixels fresh = face.pixels(e, 20);
  EXPECT_EQ(first.on, fresh.on);
  EXPECT_EQ(first.width, fresh.width);
  EXPECT_EQ(first.stem, fresh.stem);
  EXPECT_EQ(kivet::cached_glyph(e, 0).width, 0) << "a height out of range has no pixels";
  EXPECT_EQ(kivet::cached_glyph(-1, 20).width, 0);

  // Every glyph at the largest heights is far more than the bound.
  for (int height = 100; height <= 127; ++height) {
    kivet::trim_glyph_cache();
    ASSERT_LE(kivet::cached_glyph_bytes(), kivet::GLYPH_CACHE_BYTES);
    for (int glyph = 0; glyph < face.glyph_count(); glyph += 3) kivet::cached_glyph(glyph, height);
  }
  kivet::trim_glyph_cache();
  EXPECT_EQ(kivet::cached_glyph(e, 20).on, fresh.on) << "made again after a trim";
}

}  // namespace
