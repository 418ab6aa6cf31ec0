#include "app_test_support.h"

#include <algorithm>
#include <cstdlib>

#include "kivet/platform/platform.h"

std::vector<int> rand_sequence(unsigned seed, int count) {
  std::srand(seed);
  std::vector<int> values(count);
  for (int& v : values) v = std::rand();
  return values;
}

unsigned find_seed(int count, const std::function<bool(const std::vector<int>&)>& accept) {
  unsigned seed = 1;
  while (!accept(rand_sequence(seed, count))) ++seed;
  return seed;
}

void seed_movement(bool fast, int speed) {
  std::srand(find_seed(2, [&](const std::vector<int>& v) {
    return v[0] % 2 == (fast ? 1 : 0) && (fast ? 10 : 5) + v[1] % 10 == speed;
  }));
}

void DisplayTest::SetUp() {
  HeadlessTest::SetUp();
  display_ = std::make_unique<Display>();
  KIVET_set_logging(1);
}

void DisplayTest::TearDown() {
  display_.reset();
  HeadlessTest::TearDown();
}

std::vector<std::string> DisplayTest::logged(const std::function<void()>& action) {
  kivet::platform().text_clear();
  action();
  EXPECT_LT(text_lines().size(), 64u) << "more lines than the text window keeps";
  return text_lines();
}

std::vector<std::string> aircraft_lines(const std::string& body, int x, int y, bool facing_left) {
  auto p = [](int px, int py) { return "(" + std::to_string(px) + "," + std::to_string(py) + ")"; };
  const int f = facing_left ? -1 : 1;  // mirrored about x when facing left
  const int nose = body == "pink" ? 16 : 10;
  const int front = x + 9 * f, rear = x - 16 * f;
  auto box = [&](const std::string& colour, int x1, int y1, int x2, int y2) {
    return colour + " rectangle with bounding box " + p(std::min(x1, x2), y1) + " to " +
           p(std::max(x1, x2), y2) + ", filled";
  };
  return {
      body + " triangle at " + p(rear, y - 5) + ", " + p(x - 4 * f, y - 5) + ", " + p(rear, y + 14),
      body + " triangle at " + p(front, y - 5) + ", " + p(front + nose * f, y - 5) + ", " +
          p(front, y + 5),
      box(body, rear, y + 5, front, y - 5),
      box("20% gray", x - 4, y + 9, x + 4, y + 5),
      box("20% gray", x - 4, y - 2, x + 4, y - 11),
      "black circle at " + p(front, y - 5) + ", radius 2",
      "black circle at " + p(x - 7 * f, y - 5) + ", radius 2"};
}

// Under LeakSanitizer: fontconfig, which text drawing reaches through Pango,
// keeps its process-wide caches through encoded offsets that the leak checker
// cannot follow, and so reports them as lost.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
