// The Xvfb and Wine prefix of the run, and the fixture's helpers.
#include "windows/wine_fixture.h"

#include <unistd.h>

#include <chrono>
#include <thread>

namespace xtest {
namespace {

constexpr int START_TIMEOUT_MS = 15000;

struct Session {
  XvfbServer xvfb;
  WinePrefix wine;
  bool ready = false;
};

Session* session = nullptr;

// Brings the Xvfb and the prefix up before the first test, and down after
// the last, whatever tests are run.
class WineEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!XvfbServer::available() || !WinePrefix::available()) return;
    session = new Session;
    session->ready = session->xvfb.start() && session->wine.start(session->xvfb.display());
  }
  void TearDown() override {
    delete session;
    session = nullptr;
  }
};

const ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new WineEnvironment);

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string without_carriage_returns(std::string text) {
  std::string result;
  for (char c : text) {
    if (c != '\r') result += c;
  }
  return result;
}

}  // namespace

const std::string& wine_display() {
  static const std::string none;
  return session ? session->xvfb.display() : none;
}

WinePrefix* wine_prefix() { return session && session->ready ? &session->wine : nullptr; }

std::string windows_program(const std::string& path) {
  return std::string(WINDOWS_BUILD_DIR) + "/" + path + ".exe";
}

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

void WineTest::SetUp() {
  if (!XvfbServer::available() || !WinePrefix::available()) {
    GTEST_SKIP() << "Xvfb, Wine or ImageMagick is not installed";
  }
  ASSERT_TRUE(exists(windows_program("airfield")))
      << "no Windows build in " << WINDOWS_BUILD_DIR << ": run make windows first";
  ASSERT_NE(wine_prefix(), nullptr) << "Xvfb or the Wine prefix did not start";
  ASSERT_FALSE(dir_.path().empty());
}

void WineTest::TearDown() {
  // A program still running would hold its windows into the next test.
  if (program_.running()) program_.wait_exit(0);
}

void WineTest::start(const std::string& program, const std::vector<std::string>& arguments) {
  ASSERT_TRUE(program_.start(WinePrefix::command(windows_program(program), arguments),
                             wine_display(), dir_.path(), wine_prefix()->environment()));
  XConnection x(wine_display());
  graphics_ = x.find_window("KIVET Graphics", START_TIMEOUT_MS);
  ASSERT_NE(graphics_, 0u) << "no graphics window";
  ASSERT_NE(x.find_window("KIVET Text", START_TIMEOUT_MS), 0u) << "no text window";
}

std::string WineTest::line(const std::string& prefix, int timeout_ms) {
  return without_carriage_returns(program_.wait_for_line(prefix, timeout_ms));
}

void WineTest::xdotool(std::vector<std::string> args) {
  args.insert(args.begin(), "xdotool");
  ASSERT_EQ(run_command(args, wine_display()), 0);
}

void WineTest::key(const std::string& keys) {
  xdotool({"windowfocus", "--sync", std::to_string(graphics_)});
  xdotool({"key", "--delay", "100", keys});
}

void WineTest::click(int x, int y) {
  xdotool({"mousemove", std::to_string(WINE_CLIENT_LEFT + x), std::to_string(WINE_CLIENT_TOP + y),
           "click", "1"});
}

Image WineTest::client() {
  Image screen = screenshot(wine_display());
  if (screen.width < WINE_CLIENT_LEFT + CLIENT_WIDTH) return Image{};
  return crop(screen, WINE_CLIENT_LEFT, WINE_CLIENT_TOP, CLIENT_WIDTH, CLIENT_HEIGHT);
}

Image WineTest::wait_for_change(const Image& before, int timeout_ms) {
  for (int waited = 0; waited < timeout_ms; waited += 100) {
    Image now = client();
    if (now != before) return now;
    pause_ms(100);
  }
  return Image{};
}

Image WineTest::wait_still(int quiet_ms, int timeout_ms) {
  Image last = client();
  int still = 0;
  for (int waited = 0; waited < timeout_ms; waited += 100) {
    pause_ms(100);
    Image now = client();
    still = now == last ? still + 100 : 0;
    if (still >= quiet_ms) return now;
    last = now;
  }
  return Image{};
}

HeadlessRun run_headless(const std::string& program, const std::string& dir,
                         const std::string& input) {
  HeadlessRun run;
  bool windows = program.size() > 4 && program.compare(program.size() - 4, 4, ".exe") == 0;
  std::vector<std::string> environment = {"KIVET_BACKEND=headless", "KIVET_SNAPSHOT=snapshot.png"};
  if (windows) {
    const std::vector<std::string>& wine = wine_prefix()->environment();
    environment.insert(environment.end(), wine.begin(), wine.end());
  }
  std::vector<std::string> argv = {"sh",
                                   "-c",
                                   "exec $0 \"$1\" <\"$2\" >output.txt",
                                   windows ? "wine" : "env",
                                   program,
                                   input.empty() ? "/dev/null" : input};
  // The prefix's desktop belongs to the Xvfb, where it was started; a Wine
  // program without a display would start another one, without windows,
  // which the next program with windows would find.
  run.status = run_command(argv, windows ? wine_display() : "", 60000, dir, environment);
  run.output = without_carriage_returns(read_file(dir + "/output.txt"));
  run.snapshot = read_png(dir + "/snapshot.png");
  return run;
}

Image shown_part(const Image& snapshot) {
  if (snapshot.width != CLIENT_WIDTH || snapshot.height < CLIENT_HEIGHT) return Image{};
  return crop(snapshot, 0, 0, CLIENT_WIDTH, CLIENT_HEIGHT);
}

}  // namespace xtest
