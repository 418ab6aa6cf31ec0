// The kept glyphs, keyed by character height and glyph number. A lock
// keeps the table whole should two threads draw text at once.
#include "kivet/draw/glyph_cache.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace kivet {
namespace {

// What a kept glyph costs beside its pixels: the table's entry, the shared
// count and the glyph's own fields.
constexpr size_t GLYPH_OVERHEAD = 96;

struct Kept {
  std::mutex lock;
  std::unordered_map<uint32_t, std::shared_ptr<const GlyphPixels>> glyphs;
  size_t bytes = 0;
};

// Never destroyed: text may still be drawn while the program's statics go.
Kept& kept() {
  static Kept* kept = new Kept;
  return *kept;
}

}  // namespace

std::shared_ptr<const GlyphPixels> cached_glyph(int glyph, int height) {
  Kept& k = kept();
  const uint32_t key = static_cast<uint32_t>(height) << 16 | static_cast<uint16_t>(glyph);
  {
    std::lock_guard<std::mutex> hold(k.lock);
    auto found = k.glyphs.find(key);
    if (found != k.glyphs.end()) return found->second;
  }
  // Rasterised outside the lock: the face's tables never change.
  auto made = std::make_shared<const GlyphPixels>(Face::get().pixels(glyph, height));
  const size_t cost = made->on.size() + GLYPH_OVERHEAD;
  std::lock_guard<std::mutex> hold(k.lock);
  auto placed = k.glyphs.emplace(key, made);
  if (!placed.second) return placed.first->second;  // another thread was first
  if (k.bytes + cost > GLYPH_CACHE_BYTES) {
    k.glyphs.clear();
    k.bytes = 0;
    k.glyphs.emplace(key, made);
  }
  k.bytes += cost;
  return made;
}

size_t cached_glyph_bytes() {
  Kept& k = kept();
  std::lock_guard<std::mutex> hold(k.lock);
  return k.bytes;
}

}  // namespace kivet
