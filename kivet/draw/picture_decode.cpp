// The decoder: stb_image for the four formats, reading from memory (the
// file layer reads the file), its every allocation bounded.
#include "kivet/draw/picture_decode.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kivet {
namespace {

// The largest block the decoder may need for a picture within the bound:
// a 16-bit PNG of PICTURE_MAX_SIDE squared, unpacked, with its filter
// bytes. A block asked beyond it makes the decode fail ("out of memory").
constexpr size_t LARGEST_BLOCK =
    size_t{PICTURE_MAX_SIDE} * (size_t{PICTURE_MAX_SIDE} * 8 + 1) + 4096;

// Each block carries its size before it, so that a growing block is
// checked against the bound as well.
constexpr size_t HEADER = 16;

void* bounded_malloc(size_t size) {
  if (size > LARGEST_BLOCK) return nullptr;
  auto* block = static_cast<unsigned char*>(std::malloc(size + HEADER));
  if (!block) return nullptr;
  std::memcpy(block, &size, sizeof size);
  return block + HEADER;
}

void bounded_free(void* memory) {
  if (memory) std::free(static_cast<unsigned char*>(memory) - HEADER);
}

void* bounded_realloc(void* memory, size_t size) {
  if (!memory) return bounded_malloc(size);
  if (size > LARGEST_BLOCK) return nullptr;
  auto* block = static_cast<unsigned char*>(std::realloc(static_cast<unsigned char*>(memory) - HEADER,
                                                         size + HEADER));
  if (!block) return nullptr;
  std::memcpy(block, &size, sizeof size);
  return block + HEADER;
}

}  // namespace
}  // namespace kivet

#define STBI_MALLOC(size) kivet::bounded_malloc(size)
#define STBI_REALLOC(memory, size) kivet::bounded_realloc(memory, size)
#define STBI_FREE(memory) kivet::bounded_free(memory)
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_FAILURE_USERMSG
// One thread uses the decoder; a thread-local reason would not link in the
// browser, whose WebAssembly has no threads.
#define STBI_NO_THREAD_LOCALS
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

namespace kivet {

Picture decode_picture(const unsigned char* bytes, size_t size, int max_side) {
  if (max_side > PICTURE_MAX_SIDE) max_side = PICTURE_MAX_SIDE;
  Picture picture;
  if (size > static_cast<size_t>(INT32_MAX)) {
    picture.failure = "the file is too large";
    return picture;
  }
  int length = static_cast<int>(size);
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(bytes, length, &width, &height, &channels)) {
    picture.failure = std::string("not a PNG, JPEG, BMP or GIF picture (") + stbi_failure_reason() + ")";
    return picture;
  }
  if (width > max_side || height > max_side || width < 1 || height < 1) {
    picture.failure = "the picture is " + std::to_string(width) + " x " + std::to_string(height) +
                      " pixels, more than the " + std::to_string(max_side) + " x " +
                      std::to_string(max_side) + " that can be drawn";
    return picture;
  }
  stbi_uc* rgba = stbi_load_from_memory(bytes, length, &width, &height, &channels, 4);
  if (!rgba) {
    picture.failure = std::string("cannot be decoded (") + stbi_failure_reason() + ")";
    return picture;
  }
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    const stbi_uc* p = rgba + i * 4;
    // At least half opaque: drawn in its own colour; else left out.
    picture.pixels[i] = p[3] >= 128 ? 0xFF000000u | (uint32_t{p[0]} << 16) |
                                          (uint32_t{p[1]} << 8) | p[2]
                                    : 0;
  }
  stbi_image_free(rgba);
  return picture;
}

}  // namespace kivet
