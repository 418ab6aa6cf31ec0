#include "kivet/draw/bitmap.h"

#include <algorithm>
#include <cstring>

#include "kivet/kivet.h"

namespace kivet {

uint32_t pixel_value(int color) {
  const KivetRgb& c = KIVET_palette[color];
  return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
}

namespace {

// The pixels of the bitmap let go last, kept for the next one: a fresh
// block of 1.3 MB costs far more than filling one (the fuzzers and tests
// open the library for every input).
std::vector<uint32_t>& spare_pixels() {
  static auto* spare = new std::vector<uint32_t>;  // a bitmap may go as the program ends
  return *spare;
}

}  // namespace

Bitmap::Bitmap() {
  std::vector<uint32_t>& spare = spare_pixels();
  if (spare.size() == static_cast<size_t>(BITMAP_WIDTH) * BITMAP_HEIGHT) {
    pixels_.swap(spare);
    fill(0xFFFFFF);
  } else {
    pixels_.assign(static_cast<size_t>(BITMAP_WIDTH) * BITMAP_HEIGHT, 0xFFFFFF);
  }
}

Bitmap::~Bitmap() {
  std::vector<uint32_t>& spare = spare_pixels();
  if (spare.empty()) spare.swap(pixels_);
}

void Bitmap::fill(uint32_t value) {
  // One row, then copies of it: the wide stores of memcpy.
  std::fill(row(0), row(0) + BITMAP_WIDTH, value);
  for (int y = 1; y < BITMAP_HEIGHT; ++y) memcpy(row(y), row(0), Bitmap::stride());
}

void ChangedRows::add(int64_t first, int64_t last) {
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, BITMAP_HEIGHT - 1);
  if (first > last) return;
  top = std::min(top, static_cast<int>(first));
  bottom = std::max(bottom, static_cast<int>(last));
  // All rows from `first` to `last` in a few word operations: a run of
  // ones as long as the range, moved to its place.
  const size_t count = static_cast<size_t>(last - first + 1);
  std::bitset<BITMAP_HEIGHT> run;
  run.set();
  rows_ |= (run >> (BITMAP_HEIGHT - count)) << static_cast<size_t>(first);
}

void ChangedRows::add(const ChangedRows& other) {
  if (other.empty()) return;
  top = std::min(top, other.top);
  bottom = std::max(bottom, other.bottom);
  rows_ |= other.rows_;
}

}  // namespace kivet
