// Fuzz target: picture decoding and drawing. Any bytes must either decode
// within the size bound, every pixel drawn or left out, or give a reason;
// the picture then draws anywhere, at any scale, inside the bitmap only.
#include <cstdlib>

#include "kivet/draw/picture_decode.h"

using namespace kivet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Bitmap* bitmap = new Bitmap;
  // Small pictures only: each run stays fast, and the decoders' paths
  // are the same at any size.
  constexpr int MAX_SIDE = 256;
  Picture picture = decode_picture(data, size, MAX_SIDE);
  if (!picture.failure.empty()) {
    if (picture.width != 0 || !picture.pixels.empty()) abort();
    return 0;
  }
  if (picture.width < 1 || picture.height < 1 || picture.width > MAX_SIDE ||
      picture.height > MAX_SIDE ||
      picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) {
    abort();
  }
  for (uint32_t pixel : picture.pixels) {
    if (pixel != 0 && (pixel >> 24) != 0xFF) abort();
  }
  // Where and how large it is drawn comes from the input's first bytes.
  int x = size > 0 ? static_cast<int8_t>(data[0]) * 5 : 0;
  int y = size > 1 ? static_cast<int8_t>(data[1]) * 5 : 0;
  int scale = size > 2 ? 1 + data[2] % 4 : 1;
  ChangedRows changed;
  DrawTarget target{*bitmap, changed, Pixel{300, 270}};
  draw_picture(target, x, y, picture, scale);
  if (!changed.empty() && (changed.top < 0 || changed.bottom >= BITMAP_HEIGHT)) abort();
  return 0;
}
