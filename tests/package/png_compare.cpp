// Compares two PNG pictures pixel for pixel:
//   png_compare EXPECTED GOT DIFFERENCE
// Exit status 0 when they are equal. Otherwise prints how many pixels
// differ and the first of them, writes DIFFERENCE (the expected picture
// faded, every differing pixel red) and exits with 1.
#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

struct Picture {
  cairo_surface_t* surface;
  int width, height;
};

bool load(const char* path, Picture& picture) {
  picture.surface = cairo_image_surface_create_from_png(path);
  if (cairo_surface_status(picture.surface) != CAIRO_STATUS_SUCCESS) {
    fprintf(stderr, "png_compare: cannot read %s: %s\n", path,
            cairo_status_to_string(cairo_surface_status(picture.surface)));
    return false;
  }
  picture.width = cairo_image_surface_get_width(picture.surface);
  picture.height = cairo_image_surface_get_height(picture.surface);
  return true;
}

// The pixel as 0xAARRGGBB, opaque when the picture has no alpha.
uint32_t pixel(const Picture& picture, int x, int y) {
  const unsigned char* row = cairo_image_surface_get_data(picture.surface) +
                             y * cairo_image_surface_get_stride(picture.surface);
  uint32_t value;
  memcpy(&value, row + 4 * x, sizeof value);
  if (cairo_image_surface_get_format(picture.surface) == CAIRO_FORMAT_RGB24) value |= 0xFF000000u;
  return value;
}

uint32_t faded(uint32_t value) {
  uint32_t r = (value >> 16) & 0xFF, g = (value >> 8) & 0xFF, b = value & 0xFF;
  auto fade = [](uint32_t c) { return 192 + c / 4; };
  return 0xFF000000u | (fade(r) << 16) | (fade(g) << 8) | fade(b);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: png_compare EXPECTED GOT DIFFERENCE\n");
    return 2;
  }
  Picture expected, got;
  if (!load(argv[1], expected) || !load(argv[2], got)) return 1;
  if (expected.width != got.width || expected.height != got.height) {
    printf("%s is %d x %d pixels, %s is %d x %d\n", argv[1], expected.width, expected.height,
           argv[2], got.width, got.height);
    return 1;
  }
  cairo_surface_t* difference =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, expected.width, expected.height);
  unsigned char* data = cairo_image_surface_get_data(difference);
  int stride = cairo_image_surface_get_stride(difference);
  long differing = 0;
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      uint32_t want = pixel(expected, x, y), have = pixel(got, x, y);
      uint32_t shown = faded(want);
      if (want != have) {
        if (differing == 0) {
          printf("first difference at pixel (%d, %d): expected #%08X, got #%08X\n", x, y, want,
                 have);
        }
        ++differing;
        shown = 0xFFFF0000u;
      }
      memcpy(data + y * stride + 4 * x, &shown, sizeof shown);
    }
  }
  if (differing > 0) {
    cairo_surface_mark_dirty(difference);
    cairo_surface_write_to_png(difference, argv[3]);
    printf("%ld pixels differ\n", differing);
  }
  cairo_surface_destroy(difference);
  cairo_surface_destroy(expected.surface);
  cairo_surface_destroy(got.surface);
  return differing > 0 ? 1 : 0;
}
