#include "support/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

WaitResult wait_event() {
  int x = -99, y = -99;
  char key = 99;
  int kind = KIVET_wait_event(&x, &y, &key);
  return WaitResult{kind, x, y, static_cast<signed char>(key)};
}

std::vector<std::string> text_lines() { return kivet::headless::text_lines(); }

std::vector<std::string> last_lines(size_t n) {
  const auto& lines = kivet::headless::text_lines();
  size_t from = lines.size() > n ? lines.size() - n : 0;
  return std::vector<std::string>(lines.begin() + from, lines.end());
}

uint32_t bitmap_pixel(int x, int y) {
  cairo_surface_t* s = kivet::offscreen_bitmap;
  cairo_surface_flush(s);
  int column = kivet::origin_x + x;
  int row = kivet::origin_y - y;
  const unsigned char* data = cairo_image_surface_get_data(s);
  uint32_t pixel;
  memcpy(&pixel, data + row * cairo_image_surface_get_stride(s) + column * 4, sizeof pixel);
  return pixel & 0xFFFFFF;
}

uint32_t palette_rgb(int color) {
  const KivetRgb& c = KIVET_palette[color];
  return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
}

void HeadlessTest::enter_scratch_directory() {
  char pattern[] = "/tmp/kivet-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  scratch_ = pattern;
  ASSERT_EQ(chdir(scratch_.c_str()), 0);
}

void HeadlessTest::leave_scratch_directory() {
  if (scratch_.empty()) return;
  ASSERT_EQ(chdir("/"), 0);
  ASSERT_EQ(system(("rm -rf " + scratch_).c_str()), 0);
  scratch_.clear();
}
