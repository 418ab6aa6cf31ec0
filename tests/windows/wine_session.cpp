// The private Wine prefix and its server, and screenshots with ImageMagick.
#include "windows/wine_session.h"

#include <sys/stat.h>
#include <unistd.h>

namespace xtest {
namespace {

constexpr int PREFIX_TIMEOUT_MS = 120000;
constexpr int COMMAND_TIMEOUT_MS = 30000;
// The server stays this long after its last Windows process; the tests
// start one program after another within it, and a test that crashes
// leaves nothing behind for long.
constexpr const char* SERVER_LINGER_SECONDS = "30";

}  // namespace

bool WinePrefix::available() {
  return on_path("wine") && on_path("wineserver") && on_path("wineboot") && on_path("import");
}

std::vector<std::string> WinePrefix::command(const std::string& program,
                                             const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {"wine", program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

// Wine's own commands report what they did on both streams; the tests
// need only their status.
int WinePrefix::run(const std::vector<std::string>& argv, int timeout_ms) {
  std::vector<std::string> quiet = {"sh", "-c", "exec \"$@\" >/dev/null 2>&1", "sh"};
  quiet.insert(quiet.end(), argv.begin(), argv.end());
  return run_command(quiet, display_, timeout_ms, "", environment_);
}

bool WinePrefix::start(const std::string& display) {
  stop();
  dir_ = std::make_unique<TempDir>();
  if (dir_->path().empty()) return false;
  display_ = display;
  std::string temp = dir_->file("tmp");
  std::string prefix = dir_->file("prefix");
  if (mkdir(temp.c_str(), 0700) != 0 || mkdir(prefix.c_str(), 0700) != 0) return false;
  // Everything Wine writes stays in the directory: no menu entries in the
  // home directory, no downloads of Mono or Gecko, no hints on standard
  // error.
  environment_ = {"WINEPREFIX=" + prefix, "TMPDIR=" + temp, "WINEDEBUG=-all",
                  "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d"};
  if (!start_server() || run({"wineboot", "-i"}, PREFIX_TIMEOUT_MS) != 0) return false;
  // Without a window manager, managed windows would wait 2 s at every hide
  // and get no caption. A program that crashes ends at once, as on a
  // Windows without a user, rather than under Wine's crash dialog.
  return run({"wine", "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N",
              "/f"},
             COMMAND_TIMEOUT_MS) == 0 &&
         run({"wine", "reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog", "/t",
              "REG_DWORD", "/d", "0", "/f"},
             COMMAND_TIMEOUT_MS) == 0;
}

bool WinePrefix::start_server() {
  server_started_ = run({"wineserver", "-p", SERVER_LINGER_SECONDS}, COMMAND_TIMEOUT_MS) == 0;
  return server_started_;
}

void WinePrefix::end_server() {
  if (!server_started_) return;
  run({"wineserver", "-k"}, COMMAND_TIMEOUT_MS);
  run({"wineserver", "-w"}, COMMAND_TIMEOUT_MS);
  server_started_ = false;
}

void WinePrefix::stop() {
  end_server();
  dir_.reset();
}

bool WinePrefix::switch_screen(const std::string& display, int dpi) {
  if (!dir_) return false;
  display_ = display;
  bool set = run({"wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                  "REG_DWORD", "/d", std::to_string(dpi), "/f"},
                 COMMAND_TIMEOUT_MS) == 0;
  // The desktop process of the old server holds the old display.
  end_server();
  return start_server() && set;
}

Image screenshot(const std::string& display) {
  TempDir dir;
  std::string path = dir.file("screen.png");
  if (run_command({"import", "-window", "root", "png:" + path}, display) != 0) return Image{};
  return read_png(path);
}

}  // namespace xtest
