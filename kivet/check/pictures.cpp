// PNG reading by stb_image and writing by stb_image_write, both with
// private names. Files are read and written through the standard streams
// so that names in UTF-8 work on every system.
#include "kivet/check/pictures.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include "stb_image.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

namespace kivet::check {
namespace {

std::filesystem::path file_path(const std::string& utf8) { return std::filesystem::u8path(utf8); }

void append_to_stream(void* context, void* data, int size) {
  static_cast<std::ofstream*>(context)->write(static_cast<const char*>(data), size);
}

// A pixel of the picture, or black outside it.
const unsigned char* pixel_or_null(const Picture& picture, int x, int y) {
  if (x >= picture.width || y >= picture.height) return nullptr;
  return &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
}

bool same_pixel(const unsigned char* a, const unsigned char* b) {
  if (!a || !b) return a == b;
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

}  // namespace

Picture read_picture(const std::string& path) {
  std::ifstream in(file_path(path), std::ios::binary);
  if (!in) return Picture{};
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return decode_picture(bytes);
}

Picture decode_picture(const std::string& png) {
  Picture picture;
  if (png.empty() || png.size() > (1u << 30)) return picture;
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels =
      stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()),
                            static_cast<int>(png.size()), &width, &height, &channels, 3);
  if (!pixels) return picture;
  picture.width = width;
  picture.height = height;
  picture.rgb.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
  stbi_image_free(pixels);
  return picture;
}

std::string write_picture(const Picture& picture, const std::string& path) {
  std::ofstream out(file_path(path), std::ios::binary | std::ios::trunc);
  if (!out) return "cannot create " + path;
  int written = stbi_write_png_to_func(append_to_stream, &out, picture.width, picture.height, 3,
                                       picture.rgb.data(), picture.width * 3);
  out.close();
  if (!written || !out) return "cannot write " + path;
  return std::string();
}

Picture visible_part(const Picture& picture) {
  Picture part;
  part.width = VISIBLE_WIDTH;
  part.height = VISIBLE_HEIGHT;
  part.rgb.assign(static_cast<size_t>(VISIBLE_WIDTH) * VISIBLE_HEIGHT * 3, 0);
  for (int y = 0; y < VISIBLE_HEIGHT; ++y) {
    for (int x = 0; x < VISIBLE_WIDTH; ++x) {
      const unsigned char* p = pixel_or_null(picture, x, y);
      if (p) std::copy(p, p + 3, &part.rgb[(static_cast<size_t>(y) * VISIBLE_WIDTH + x) * 3]);
    }
  }
  return part;
}

long count_differences(const Picture& expected, const Picture& got) {
  long differing = 0;
  for (int y = 0; y < VISIBLE_HEIGHT; ++y) {
    for (int x = 0; x < VISIBLE_WIDTH; ++x) {
      if (!same_pixel(pixel_or_null(expected, x, y), pixel_or_null(got, x, y))) ++differing;
    }
  }
  return differing;
}

Picture difference_picture(const Picture& expected, const Picture& got) {
  Picture shown = visible_part(expected);
  for (int y = 0; y < VISIBLE_HEIGHT; ++y) {
    for (int x = 0; x < VISIBLE_WIDTH; ++x) {
      unsigned char* p = &shown.rgb[(static_cast<size_t>(y) * VISIBLE_WIDTH + x) * 3];
      if (same_pixel(pixel_or_null(expected, x, y), pixel_or_null(got, x, y))) {
        for (int c = 0; c < 3; ++c) p[c] = static_cast<unsigned char>(192 + p[c] / 4);
      } else {
        p[0] = 255;
        p[1] = 0;
        p[2] = 0;
      }
    }
  }
  return shown;
}

}  // namespace kivet::check
