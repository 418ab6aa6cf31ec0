// Drives the Win32 backend alone, with the library's side played by a few
// lines: it opens the two windows as the library does, shows a pattern
// bitmap and prints every message the backend posts, one per line, for a
// test on Linux that watches the screen under Wine. Modes:
//   windows   both windows, the pattern, the menu; runs until a quit
//   dialog    the text-input dialog; prints its answer
//   timer N   counts the timer's ticks for N seconds, printing each one's time
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <sstream>
#include <string>

#include "kivet/platform/font.h"
#include "kivet/platform/platform.h"
#include "kivet/platform/win32/clock_timer.h"

using namespace kivet;

namespace {

std::deque<Message> queue;

void say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string text(const Message& message) {
  std::ostringstream out;
  out << message;
  return out.str();
}

Menu run_menu() {
  Menu menu;
  menu.title = "&Run";
  menu.entries = {{1, "&Animate\tCtrl+A"},
                  {0, "", true},
                  {4, "&Logging\tCtrl+L", false, false, true, true},
                  {8, "&Quit\tCtrl+Q"},
                  {9, "WINDOWS: grayed", false, true}};
  return menu;
}

// Every pixel different from its neighbours, so that a picture found on the
// screen is found at one place only.
uint32_t pattern(int x, int y) {
  return static_cast<uint32_t>((x * 2654435761u) ^ (y * 40503u) ^ (x * y)) & 0xFFFFFF;
}

Bitmap& pattern_bitmap() {
  static Bitmap bitmap;
  for (int y = 0; y < Bitmap::height(); ++y) {
    for (int x = 0; x < Bitmap::width(); ++x) bitmap.row(y)[x] = pattern(x, y);
  }
  // Text over it, in the font engine, for the eye.
  font_engine().draw_line(bitmap, 20, 20, "Caf\xc3\xa9 KIVET", 20, 0x000000);
  return bitmap;
}

void open_windows(Platform& p) {
  Size screen = p.screen_size();
  p.create_window(WindowId::graphics, WindowSetup{"KIVET Graphics", 0, 0, 601, 540, false});
  p.create_window(WindowId::text, WindowSetup{"KIVET Text", 0, (2 * screen.height) / 3 + 1,
                                              screen.width, screen.height / 3, true});
  p.show_window(WindowId::text, true);
  p.show_window(WindowId::graphics, true);
  Size client = p.client_size(WindowId::graphics);
  say("client " + std::to_string(client.width) + "x" + std::to_string(client.height) +
      " screen " + std::to_string(screen.width) + "x" + std::to_string(screen.height) +
      " line_height_20 " + std::to_string(font_engine().line_height(20)));
}

// Takes the messages queued so far; returns false at a quit.
bool take_messages(Platform& p) {
  while (!queue.empty()) {
    Message message = queue.front();
    queue.pop_front();
    say("message " + text(message));
    if (message.kind == MessageKind::quit) return false;
    if (message.kind == MessageKind::command && message.a == 8) return false;
    if (message.kind == MessageKind::command && message.a == 4) p.check_menu_entry(4, false);
    if (message.kind == MessageKind::close) return false;
    if (message.kind == MessageKind::paint && message.window == WindowId::text) {
      p.text_clear();
      p.text_add_line("first line");
      p.text_add_line("Caf\xc3\xa9 \xe9t\xe9");
    }
  }
  return true;
}

int run_windows(Platform& p) {
  open_windows(p);
  p.present(pattern_bitmap(), ChangedRows::all());
  p.start_timer(2, 100);
  say("ready");
  int ticks = 0;
  for (;;) {
    p.process_events(true);
    for (const Message& message : queue) ticks += message.kind == MessageKind::timer;
    if (!take_messages(p)) break;
  }
  say("ticks " + std::to_string(ticks));
  return 0;
}

bool dialog_proc(const DialogMessage& message) {
  if (message.kind == DialogMessageKind::init) {
    say("dialog open");
    return true;
  }
  if (message.id == DIALOG_CANCEL) {
    say("cancel ignored");
    return false;
  }
  if (message.id != DIALOG_OKAY) return false;
  say("answer " + windowed_platform().dialog_item_text(DIALOG_EDIT));
  windowed_platform().end_dialog(1);
  return true;
}

int run_dialog(Platform& p) {
  open_windows(p);
  p.start_timer(2, 100);
  DialogSetup setup{"KIVET_gets", "Name?\nTab\there", "Okay", dialog_proc};
  setup.prompt.resize(79, ' ');
  int result = p.run_dialog(setup);
  int ticks = 0;
  for (const Message& message : queue) ticks += message.kind == MessageKind::timer;
  say("result " + std::to_string(result) + " ticks_waiting " + std::to_string(ticks));
  return 0;
}

int run_timer(Platform& p, int seconds) {
  open_windows(p);
  int64_t start = win32::now_us();
  p.start_timer(2, 100);
  int ticks = 0;
  while (win32::now_us() - start < seconds * 1000000LL) {
    p.process_events(true);
    for (const Message& message : queue) {
      if (message.kind != MessageKind::timer) continue;
      ++ticks;
      say("tick " + std::to_string((win32::now_us() - start) / 1000));
    }
    queue.clear();
  }
  say("ticks " + std::to_string(ticks));
  return 0;
}

}  // namespace

// The library's side of the seam.
void kivet::post_message(const Message& message) {
  if (message.kind == MessageKind::timer) {
    for (const Message& queued : queue) {
      if (queued.kind == MessageKind::timer) return;
    }
  }
  queue.push_back(message);
}

void kivet::send_message(const Message& message) {
  if (message.kind == MessageKind::create && message.window == WindowId::graphics) {
    windowed_platform().set_menu(WindowId::graphics, run_menu());
  }
}

void kivet::display_lost() { say("display lost"); }

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "windows";
  Platform& p = windowed_platform();
  if (mode == "dialog") return run_dialog(p);
  if (mode == "timer") return run_timer(p, argc > 2 ? std::atoi(argv[2]) : 5);
  return run_windows(p);
}
