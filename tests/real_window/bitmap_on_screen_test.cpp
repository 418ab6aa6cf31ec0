// The window shows exactly the off-screen bitmap: on Wayland, under a
// headless weston, where every frame must reach the compositor through the
// toolkit's draw cycle; and at scale 2 under Xvfb, where each bitmap pixel
// must be a solid 2 x 2 block even after many frames that redrew only bands.
// The scene program animates the simulation, halts and writes its bitmap.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "real_window/weston_session.h"
#include "real_window/window_fixture.h"

namespace xtest {
namespace {

using Clock = std::chrono::steady_clock;

// The part of the bitmap that the client area shows, by the size that the
// program reported ("client W H").
Image visible_bitmap(const TempDir& dir, const std::string& client_line) {
  int width = 0, height = 0;
  Image bitmap = read_png(dir.file("bitmap.png"));
  if (sscanf(client_line.c_str(), "client %d %d", &width, &height) != 2 || width <= 0 ||
      height <= 0 || bitmap.width < width || bitmap.height < height) {
    return Image();
  }
  return crop(bitmap, 0, 0, width, height);
}

// Takes pictures until one holds `part`, for at most five seconds.
template <typename TakePicture>
Place wait_until_shown(TakePicture take, const Image& part, Image& last) {
  Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
  do {
    last = take();
    Place place = find_image(last, part);
    if (place.found) return place;
    pause_ms(100);
  } while (Clock::now() < deadline);
  return Place{};
}

TEST(WaylandWindowTest, FramesReachTheCompositorAndTheWindowShowsTheBitmap) {
  if (!WestonServer::available()) GTEST_SKIP() << "weston is not installed";
  WestonServer weston;
  ASSERT_TRUE(weston.start()) << "weston did not start";
  TempDir dir;
  ChildProcess program;
  ASSERT_TRUE(program.start({SCENE_PATH, "40"}, "", dir.path(), weston.client_environment()));
  std::string client = program.wait_for_line("client", 15000);

  // While the scene moves, a picture a second; the processor is measured
  // over the same time.
  ASSERT_NE(program.wait_for_line("tick 5", 15000), "") << "the program does not run";
  unsigned long cpu_before = cpu_ticks(program.pid());
  Clock::time_point start = Clock::now();
  std::vector<Image> moving;
  for (int tick : {10, 20, 30}) {
    ASSERT_NE(program.wait_for_line("tick " + std::to_string(tick), 5000), "");
    moving.push_back(weston.screenshot());
  }
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  double percent = 100.0 * (cpu_ticks(program.pid()) - cpu_before) / sysconf(_SC_CLK_TCK) / seconds;
  EXPECT_LT(percent, 25.0) << "the program spins";

  ASSERT_EQ(program.wait_for_line("halted", 5000), "halted");
  Image bitmap = visible_bitmap(dir, client);
  ASSERT_FALSE(bitmap.empty()) << "no bitmap.png, or no client size (" << client << ")";
  Image shown;
  Place place = wait_until_shown([&] { return weston.screenshot(); }, bitmap, shown);
  ASSERT_TRUE(place.found) << "no screenshot shows the bitmap";

  // The window stays where the compositor put it: each picture taken while
  // the scene moved shows a newer frame than the one before.
  for (size_t i = 0; i + 1 < moving.size(); ++i) {
    Image earlier = crop(moving[i], place.x, place.y, bitmap.width, bitmap.height);
    Image later = crop(moving[i + 1], place.x, place.y, bitmap.width, bitmap.height);
    EXPECT_NE(earlier, later) << "no new frame on the screen between pictures " << i << " and "
                              << i + 1;
  }
}

TEST(ScaledWindowTest, EachBitmapPixelIsASolidBlockAndClicksKeepTheirPlace) {
  if (!XvfbServer::available()) GTEST_SKIP() << "Xvfb is not installed";
  XvfbServer xvfb;
  // At scale 2 the graphics window is 1202 x 1080 device pixels.
  ASSERT_TRUE(xvfb.start(1600, 1200)) << "Xvfb did not start";
  XConnection x(xvfb.display());
  ASSERT_TRUE(x.ok());
  TempDir dir;
  ChildProcess program;
  ASSERT_TRUE(program.start({SCENE_PATH, "30"}, xvfb.display(), dir.path(), {"GDK_SCALE=2"}));
  std::string client = program.wait_for_line("client", 15000);
  ASSERT_EQ(client, "client 601 515") << "the client area is measured in logical pixels";
  ASSERT_EQ(program.wait_for_line("halted", 15000), "halted");
  Image bitmap = visible_bitmap(dir, client);
  ASSERT_FALSE(bitmap.empty()) << "no bitmap.png";

  Image expected = scale_up(bitmap, 2);
  Image shown;
  Place place = wait_until_shown([&] { return x.capture(0, 0, 1202, 1080); }, expected, shown);
  ASSERT_TRUE(place.found)
      << count_differences(crop(shown, 0, 2 * MENU_BAR_HEIGHT, expected.width, expected.height),
                           expected)
      << " pixels of the client area, below the menu bar, differ from the bitmap made 2 x 2 blocks";

  // Display point (10, 20) is client pixel (310, 237), twice that on the
  // screen.
  std::string column = std::to_string(place.x + 2 * (ORIGIN_X + 10) + 1);
  std::string row = std::to_string(place.y + 2 * (ORIGIN_Y - 20) + 1);
  ASSERT_EQ(run_command({"xdotool", "mousemove", column, row, "click", "1"}, xvfb.display()), 0);
  EXPECT_EQ(program.wait_for_line("mouse", 5000), "mouse 10 20");
}

}  // namespace
}  // namespace xtest
