// Decoding a picture file's bytes (PNG, JPEG, BMP or GIF, its first frame)
// through stb_image, within bounds: the picture's size (PICTURE_MAX_SIDE)
// is checked before its pixels are decoded, and no block of the decoder's
// memory may grow past what the largest picture needs, so a small file
// that unpacks to gigabytes is refused rather than followed.
#pragma once

#include <cstddef>

#include "kivet/draw/picture.h"

namespace kivet {

// The picture in `bytes`, at most `max_side` pixels (PICTURE_MAX_SIDE at
// most) either way; on failure `failure` says why, in words.
Picture decode_picture(const unsigned char* bytes, size_t size, int max_side = PICTURE_MAX_SIDE);

}  // namespace kivet
