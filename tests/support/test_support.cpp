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
  return kivet::state().offscreen_bitmap->at(kivet::state().origin_x + x,
                                             kivet::state().origin_y - y);
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
