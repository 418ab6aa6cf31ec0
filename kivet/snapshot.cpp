// The snapshot of the off-screen bitmap: the whole 601 x 540 picture the
// program drew, as a PNG, for automated checks of a program's output. The
// PNG is encoded by stb_image_write, which builds for every target.
#include "kivet/snapshot.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kivet/state.h"

// Only the in-memory writer, with private names, so that a program using
// stb itself is not disturbed.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

namespace kivet {

namespace {

struct Output {
  FILE* file;
  int error;  // the first write's errno, or 0
};

void write_to_file(void* context, void* data, int size) {
  Output& out = *static_cast<Output*>(context);
  if (out.error != 0 || size <= 0) return;
  if (fwrite(data, 1, static_cast<size_t>(size), out.file) != static_cast<size_t>(size)) {
    out.error = errno != 0 ? errno : EIO;
  }
}

// The bitmap's pixels as 8-bit red, green, blue.
std::vector<unsigned char> rgb_rows(const Bitmap& bitmap) {
  std::vector<unsigned char> rgb;
  rgb.reserve(static_cast<size_t>(BITMAP_WIDTH) * BITMAP_HEIGHT * 3);
  for (int y = 0; y < BITMAP_HEIGHT; ++y) {
    const uint32_t* row = bitmap.row(y);
    for (int x = 0; x < BITMAP_WIDTH; ++x) {
      rgb.push_back(static_cast<unsigned char>(row[x] >> 16));
      rgb.push_back(static_cast<unsigned char>(row[x] >> 8));
      rgb.push_back(static_cast<unsigned char>(row[x]));
    }
  }
  return rgb;
}

}  // namespace

std::string write_png(const Bitmap& bitmap, const char* path) {
  FILE* file = fopen(path, "wb");
  if (!file) return strerror(errno);
  Output out{file, 0};
  std::vector<unsigned char> rgb = rgb_rows(bitmap);
  errno = 0;
  bool encoded = stbi_write_png_to_func(write_to_file, &out, BITMAP_WIDTH, BITMAP_HEIGHT, 3,
                                        rgb.data(), BITMAP_WIDTH * 3) != 0;
  bool closed = fclose(file) == 0;
  if (out.error != 0) return strerror(out.error);
  if (!encoded) return "the picture could not be encoded";
  if (!closed) return strerror(errno);
  return std::string();
}

void write_requested_snapshot() {
  const char* path = getenv("KIVET_SNAPSHOT");
  if (!path || !*path || !state().offscreen_bitmap) return;
  std::string reason = write_png(*state().offscreen_bitmap, path);
  if (!reason.empty()) {
    fprintf(stderr, "kivet: cannot write the snapshot to %s: %s\n", path, reason.c_str());
  }
}

}  // namespace kivet
