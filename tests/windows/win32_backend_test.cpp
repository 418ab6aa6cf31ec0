// The Win32 backend alone under Wine on a private Xvfb: a probe program
// opens the windows as the library does and prints the messages the
// backend posts; the test looks at the screen and plays the user with
// xdotool.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "real_window/wine_session.h"
#include "real_window/x_session.h"

namespace {

constexpr int CLIENT_WIDTH = 601;
constexpr int CLIENT_HEIGHT = 515;
// Where the probe draws its text over the pattern, and how far the text
// may reach.
constexpr int TEXT_LEFT = 20, TEXT_TOP = 20, TEXT_RIGHT = 200, TEXT_BOTTOM = 50;

// The probe's pattern: every pixel unlike its neighbours.
uint32_t pattern(int x, int y) {
  return static_cast<uint32_t>((x * 2654435761u) ^ (y * 40503u) ^ (x * y)) & 0xFFFFFF;
}

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Where the probe's client area is on the screen, shown at `scale`, and how
// its pixels compare with the pattern: `ink` pixels of the text's colour
// where the text stands, `wrong` pixels elsewhere that are not the pattern.
struct ClientOnScreen {
  bool found = false;
  int left = 0, top = 0;
  long wrong = 0, ink = 0;
};

ClientOnScreen find_client(const xtest::Image& screen, int scale) {
  ClientOnScreen client;
  xtest::Image part;
  part.width = 64;
  part.height = 8;
  for (int y = 300; y < 308; ++y) {
    for (int x = 300; x < 364; ++x) part.pixels.push_back(pattern(x, y));
  }
  xtest::Place place = xtest::find_image(screen, xtest::scale_up(part, scale));
  if (!place.found) return client;
  client.found = true;
  client.left = place.x - 300 * scale;
  client.top = place.y - 300 * scale;
  for (int y = 0; y < CLIENT_HEIGHT * scale; ++y) {
    for (int x = 0; x < CLIENT_WIDTH * scale; ++x) {
      uint32_t shown = screen.at(client.left + x, client.top + y);
      uint32_t wanted = pattern(x / scale, y / scale);
      bool in_text = x / scale >= TEXT_LEFT && x / scale < TEXT_RIGHT && y / scale >= TEXT_TOP &&
                     y / scale < TEXT_BOTTOM;
      if (in_text && shown == 0 && wanted != 0) {
        ++client.ink;
      } else if (shown != wanted) {
        ++client.wrong;
      }
    }
  }
  return client;
}

class Win32BackendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!xtest::XvfbServer::available() || !xtest::WinePrefix::available()) return;
    xvfb_ = new xtest::XvfbServer;
    wine_ = new xtest::WinePrefix;
    ready_ = xvfb_->start() && wine_->start(xvfb_->display());
  }

  static void TearDownTestSuite() {
    delete wine_;
    delete xvfb_;
    wine_ = nullptr;
    xvfb_ = nullptr;
  }

  void SetUp() override {
    if (!xtest::XvfbServer::available() || !xtest::WinePrefix::available()) {
      GTEST_SKIP() << "Xvfb, Wine or ImageMagick is not installed";
    }
    ASSERT_TRUE(ready_) << "Xvfb or the Wine prefix did not start";
  }

  void start(const std::vector<std::string>& arguments, const std::string& on = display()) {
    ASSERT_TRUE(probe_.start(xtest::WinePrefix::command(PROBE_PATH, arguments), on, "",
                             wine_->environment()));
  }

  // The next line from the probe that starts with `prefix`, without the
  // carriage return that the C runtime writes.
  std::string line(const std::string& prefix, int timeout_ms = 10000) {
    std::string found = probe_.wait_for_line(prefix, timeout_ms);
    if (!found.empty() && found.back() == '\r') found.pop_back();
    return found;
  }

  void xdotool(std::vector<std::string> args, const std::string& on = display()) {
    args.insert(args.begin(), "xdotool");
    ASSERT_EQ(xtest::run_command(args, on), 0);
  }

  static const std::string& display() { return xvfb_->display(); }

  static xtest::XvfbServer* xvfb_;
  static xtest::WinePrefix* wine_;
  static bool ready_;
  xtest::ChildProcess probe_;
};

xtest::XvfbServer* Win32BackendTest::xvfb_ = nullptr;
xtest::WinePrefix* Win32BackendTest::wine_ = nullptr;
bool Win32BackendTest::ready_ = false;

TEST_F(Win32BackendTest, WindowsPixelsClicksKeysAndMenu) {
  start({"windows"});
  EXPECT_EQ(line("client"), "client 601x515 screen 1024x768 line_height_20 24");
  ASSERT_EQ(line("ready"), "ready");
  xtest::XConnection x(display());
  Window graphics = x.find_window("KIVET Graphics");
  Window text = x.find_window("KIVET Text");
  ASSERT_NE(graphics, 0u);
  ASSERT_NE(text, 0u);
  EXPECT_EQ(x.geometry(text), (xtest::Geometry{0, 513, 1024, 256}));

  // The client area shows the bitmap's first 515 rows pixel for pixel; the
  // text's pixels are exactly its colour.
  pause_ms(300);
  xtest::Image screen = xtest::screenshot(display());
  ClientOnScreen client = find_client(screen, 1);
  ASSERT_TRUE(client.found) << "the pattern is not on the screen";
  int left = client.left, top = client.top;
  xtest::Geometry frame = x.geometry(graphics);
  EXPECT_EQ(left - frame.x, 3);
  EXPECT_EQ(top - frame.y, 41);
  EXPECT_EQ(frame.width, CLIENT_WIDTH + 6);
  EXPECT_EQ(frame.height, CLIENT_HEIGHT + 44);
  EXPECT_EQ(client.wrong, 0);
  EXPECT_GT(client.ink, 200);

  // A click and keys; Ctrl comes from each key's own state.
  xdotool({"mousemove", std::to_string(left + 100), std::to_string(top + 200), "click", "1"});
  EXPECT_EQ(line("message {graphics left"), "message {graphics left_button_down 100 200 0}");
  xdotool({"windowfocus", "--sync", std::to_string(graphics)});
  xdotool({"key", "--delay", "50", "x", "ctrl+h"});
  EXPECT_EQ(line("message {graphics key_down 88"), "message {graphics key_down 88 120 0}");
  EXPECT_EQ(line("message {graphics key_down 17"), "message {graphics key_down 17 0 1}");
  EXPECT_EQ(line("message {graphics key_down 72"), "message {graphics key_down 72 8 1}");
  EXPECT_EQ(line("message {graphics key_up 17"), "message {graphics key_up 17 0 0}");

  // Alt+R opens the menu, whose mnemonics choose its entries.
  xdotool({"key", "--delay", "200", "alt+r", "l"});
  EXPECT_EQ(line("message {graphics command"), "message {graphics command 4 0 0}");
  xdotool({"key", "--delay", "200", "alt+r"});
  pause_ms(300);
  xtest::Image open_menu = xtest::screenshot(display());
  xdotool({"key", "q"});
  EXPECT_EQ(line("message {graphics command"), "message {graphics command 8 0 0}");
  std::string ticks = line("ticks");
  EXPECT_EQ(probe_.wait_exit(10000), 0);
  EXPECT_GT(xtest::count_differences(open_menu, screen), 1000) << "no menu was seen open";
  EXPECT_NE(ticks, "ticks 0");
}

// At 200% every pixel is a sharp 2 x 2 block and clicks map back; Ctrl+C in
// the console asks the program to quit.
TEST_F(Win32BackendTest, ScaledScreenShowsSharpBlocksAndMapsClicks) {
  xtest::XvfbServer large;
  ASSERT_TRUE(large.start(1600, 1200));
  struct Restore {
    ~Restore() { wine_->switch_screen(xvfb_->display(), 96); }
  } restore;
  ASSERT_TRUE(wine_->switch_screen(large.display(), 192));
  start({"windows"}, large.display());
  EXPECT_EQ(line("client"), "client 601x515 screen 1600x1200 line_height_20 24");
  ASSERT_EQ(line("ready"), "ready");
  pause_ms(300);
  ClientOnScreen client = find_client(xtest::screenshot(large.display()), 2);
  ASSERT_TRUE(client.found) << "the pattern is not on the screen in 2 x 2 blocks";
  EXPECT_EQ(client.wrong, 0);
  EXPECT_GT(client.ink, 4 * 200);
  xdotool({"mousemove", std::to_string(client.left + 2 * 100 + 1),
           std::to_string(client.top + 2 * 200 + 1), "click", "1"},
          large.display());
  EXPECT_EQ(line("message {graphics left"), "message {graphics left_button_down 100 200 0}");
  kill(probe_.pid(), SIGINT);
  EXPECT_EQ(line("message {none quit"), "message {none quit 0 0 0}");
  EXPECT_EQ(probe_.wait_exit(10000), 0);
}

TEST_F(Win32BackendTest, DialogReturnsTypedTextAndIgnoresCancel) {
  start({"dialog"});
  ASSERT_EQ(line("dialog open"), "dialog open");
  xtest::XConnection x(display());
  Window dialog = x.find_window("KIVET_gets");
  ASSERT_NE(dialog, 0u);
  // Its client area lies 50 dialog units right of and below its owner's,
  // measured in the dialog's own units: it is 185 x 92 of them. (Wine's
  // frames: a 3-pixel border and a 19-pixel caption.)
  xtest::Geometry place = x.geometry(dialog);
  int width = place.width - 6, height = place.height - 6 - 19;
  EXPECT_NEAR(place.x + 3 - 3, 50.0 * width / 185, 1.0);
  EXPECT_NEAR(place.y + 3 + 19 - 41, 50.0 * height / 92, 1.0);
  xdotool({"windowfocus", "--sync", std::to_string(dialog)});
  xdotool({"key", "Escape"});
  EXPECT_EQ(line("cancel"), "cancel ignored");
  xdotool({"type", "--delay", "30", "hello you"});
  xdotool({"key", "Return"});
  EXPECT_EQ(line("answer"), "answer hello you");
  EXPECT_EQ(line("result"), "result 1 ticks_waiting 1");
  EXPECT_EQ(probe_.wait_exit(10000), 0);
}

TEST_F(Win32BackendTest, TimerKeepsToTheClock) {
  start({"timer", "5"});
  std::string last, count;
  for (std::string tick = line("tick"); !tick.empty() && count.empty(); tick = line("tick")) {
    (tick.rfind("ticks", 0) == 0 ? count : last) = tick;
  }
  EXPECT_EQ(probe_.wait_exit(10000), 0);
  std::printf("%s, last %s\n", count.c_str(), last.c_str());
  int ticks = std::stoi(count.substr(6));
  EXPECT_GE(ticks, 49);
  EXPECT_LE(ticks, 50);
}

}  // namespace
