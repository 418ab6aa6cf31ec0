// Kept glyphs: the same pixels as the face makes, made once per glyph and
// height, and within their bound however many heights a program uses; a
// glyph still held when the rest are dropped stays whole.
#include <gtest/gtest.h>

#include <memory>

#include "kivet/draw/face.h"
#include "kivet/draw/glyph_cache.h"

namespace {

TEST(GlyphCacheTest, KeepsEachGlyphOnceAndStaysWithinItsBound) {
  const kivet::Face& face = kivet::Face::get();
  const int e = face.glyph(U'e');
  std::shared_ptr<const kivet::GlyphPixels> first = kivet::cached_glyph(e, 20);
  EXPECT_EQ(kivet::cached_glyph(e, 20).get(), first.get()) << "made once";
  EXPECT_NE(kivet::cached_glyph(e, 21).get(), first.get()) << "each height its own";
  kivet::GlyphPixels fresh = face.pixels(e, 20);
  EXPECT_EQ(first->on, fresh.on);
  EXPECT_EQ(first->width, fresh.width);
  EXPECT_EQ(first->stem, fresh.stem);

  // Every glyph at the largest heights is far more than the bound.
  std::shared_ptr<const kivet::GlyphPixels> held = kivet::cached_glyph(face.glyph(U'W'), 127);
  const kivet::GlyphPixels copy = *held;
  for (int height = 100; height <= 127; ++height) {
    for (int glyph = 0; glyph < face.glyph_count(); glyph += 3) {
      kivet::cached_glyph(glyph, height);
      ASSERT_LE(kivet::cached_glyph_bytes(), kivet::GLYPH_CACHE_BYTES);
    }
  }
  EXPECT_EQ(held->on, copy.on) << "a held glyph survives the others being dropped";
}

}  // namespace
