// The in-memory platform: a deterministic window system without a screen.
// Windows, the menu with its check marks, the timer and the dialog live in
// memory; what is presented lands in a copy of the client area, and text
// lines in a list. Timer ticks come only when a test posts them, or when
// the wait sleeps for an armed periodic event with the timer running (the
// clock then moves on to the next tick). The functions of kivet::headless
// are the tests' side of it: input posted as a toolkit would post it, and
// what reached the windows.
#include "kivet/platform/headless/memory_platform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <thread>

namespace kivet {
namespace {

constexpr int TEXT_LINES_SHOWN = 64;

struct WindowState {
  bool exists = false;
  bool visible = false;
  WindowSetup setup;
};

struct Memory {
  std::map<WindowId, WindowState> windows;
  Menu menu;
  bool timer = false;
  int timer_number = 0;  // the one the library started last
  int ticks = 0;
  int sleeps = 0;
  int presents = 0;
  std::vector<uint32_t> screen;  // the client area's pixels, 0xRRGGBB
  std::vector<std::string> text_lines;
  std::deque<headless::DialogReply> replies;
  std::vector<DialogSetup> dialogs;
  int cancels_ignored = 0;
  bool fail_dialog = false;
  std::function<void()> idle_handler;
  int tick_limit = -1;
  bool ctrl_held = false;  // as the keyboard has it, whichever window saw it
};

Memory& memory() {
  static Memory m;
  return m;
}

// The client area, white until something is presented.
std::vector<uint32_t>& screen_pixels() {
  Memory& m = memory();
  if (m.screen.empty()) m.screen.assign(static_cast<size_t>(CLIENT_WIDTH) * CLIENT_HEIGHT, 0xFFFFFF);
  return m.screen;
}

}  // namespace

Size MemoryPlatform::screen_size() { return Size{headless::SCREEN_WIDTH, headless::SCREEN_HEIGHT}; }

void MemoryPlatform::create_window(WindowId window, const WindowSetup& setup) {
  WindowState& w = memory().windows[window];
  w.exists = true;
  w.visible = false;
  w.setup = setup;
  send_message(Message{window, MessageKind::create, 0, 0});
}

void MemoryPlatform::destroy_window(WindowId window) {
  WindowState& w = memory().windows[window];
  w.exists = false;
  w.visible = false;
}

bool MemoryPlatform::show_window(WindowId window, bool show) {
  WindowState& w = memory().windows[window];
  bool was = w.visible;
  if (w.exists) w.visible = show;
  return was;
}

Size MemoryPlatform::client_size(WindowId window) {
  if (window == WindowId::graphics) return Size{CLIENT_WIDTH, CLIENT_HEIGHT};
  const WindowSetup& setup = memory().windows[window].setup;
  return Size{setup.width, setup.height};
}

void MemoryPlatform::set_menu(WindowId, const Menu& menu) { memory().menu = menu; }

void MemoryPlatform::check_menu_entry(int command, bool checked) {
  for (MenuEntry& entry : memory().menu.entries) {
    if (!entry.separator && entry.command == command) entry.checked = checked;
  }
}

void MemoryPlatform::start_timer(int number, int) {
  memory().timer = true;
  memory().timer_number = number;
}
void MemoryPlatform::stop_timer(int) { memory().timer = false; }

// The changed rows reach the screen at once; those below the client area
// are never seen.
void MemoryPlatform::present(const Bitmap& bitmap, ChangedRows changed) {
  Memory& s = memory();
  if (!s.windows[WindowId::graphics].exists) return;
  ++s.presents;
  std::vector<uint32_t>& screen = screen_pixels();
  int last = std::min(changed.bottom, CLIENT_HEIGHT - 1);
  for (int y = std::max(changed.top, 0); y <= last; ++y) {
    memcpy(&screen[static_cast<size_t>(y) * CLIENT_WIDTH], bitmap.row(y),
           CLIENT_WIDTH * sizeof(uint32_t));
  }
}

void MemoryPlatform::text_clear() { memory().text_lines.clear(); }

void MemoryPlatform::text_add_line(const char* line) {
  auto& lines = memory().text_lines;
  lines.emplace_back(line);
  if (lines.size() > TEXT_LINES_SHOWN) lines.erase(lines.begin());
}

// The program's own pause: nothing else is going on in memory.
void MemoryPlatform::sleep(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void MemoryPlatform::process_events(bool block) {
  if (!block) return;
  Memory& s = memory();
  ++s.sleeps;
  // A tick matters only to an armed periodic event; otherwise the wait
  // would sleep for ever, which in a test is a fault of the test.
  if (!s.timer || !periodic_event_armed()) {
    if (s.idle_handler) {
      s.idle_handler();
      return;
    }
    fprintf(stderr, "headless: the wait sleeps with no input queued and no event to come\n");
    abort();
  }
  if (s.ticks == s.tick_limit) {
    post_message(Message{WindowId::none, MessageKind::quit, 0, 0});
    return;
  }
  ++s.ticks;
  post_message(Message{WindowId::graphics, MessageKind::timer, memory().timer_number, 0});
}

bool MemoryPlatform::run_dialog(const DialogSetup& setup, DialogHandler handler) {
  Memory& s = memory();
  s.dialogs.push_back(setup);
  if (s.fail_dialog) {
    s.fail_dialog = false;
    return false;
  }
  headless::DialogReply reply;
  if (!s.replies.empty()) {
    reply = s.replies.front();
    s.replies.pop_front();
  }
  if (reply.escape_first) {
    // Escape, then the close box.
    for (int i = 0; i < 2; ++i) {
      if (!handler(DialogChoice{DialogChoice::cancel, ""})) ++s.cancels_ignored;
    }
  }
  if (!handler(DialogChoice{DialogChoice::okay, reply.text})) {
    fprintf(stderr, "headless: the dialog did not end on its default button\n");
    abort();
  }
  return true;
}

Platform& memory_platform() {
  static MemoryPlatform instance;
  return instance;
}

namespace headless {

void reset_memory_platform() {
  Memory& s = memory();
  // The screen's memory is kept, white again: a fresh block of that size
  // costs far more than filling one.
  std::vector<uint32_t> screen = std::move(s.screen);
  if (!screen.empty()) {
    // One row, then copies of it: the wide stores of memcpy.
    std::fill(screen.begin(), screen.begin() + CLIENT_WIDTH, 0xFFFFFF);
    for (size_t y = 1; y < CLIENT_HEIGHT; ++y) {
      memcpy(&screen[y * CLIENT_WIDTH], screen.data(), CLIENT_WIDTH * sizeof(uint32_t));
    }
  }
  s = Memory{};
  s.screen = std::move(screen);
}

void post(const Message& message) { post_message(message); }

void click(int client_x, int client_y) {
  post(Message{WindowId::graphics, MessageKind::left_button_down, client_x, client_y});
}

// Key messages carry the modifiers held before the key itself, as a
// toolkit's key events do.
static int modifiers() { return memory().ctrl_held ? CONTROL_HELD : 0; }

void key_down(int key_code, int ch, WindowId window) {
  post(Message{window, MessageKind::key_down, key_code, ch, modifiers()});
  if (key_code == KEY_CONTROL) memory().ctrl_held = true;
}

void key_up(int key_code, WindowId window) {
  post(Message{window, MessageKind::key_up, key_code, 0, modifiers()});
  if (key_code == KEY_CONTROL) memory().ctrl_held = false;
}

void key_repeat(int key_code, int ch) {
  post(Message{WindowId::graphics, MessageKind::key_down, key_code, ch, modifiers() | AUTO_REPEAT});
}

void mouse_move(int client_x, int client_y) {
  post(Message{WindowId::graphics, MessageKind::mouse_move, client_x, client_y});
}

void button_up(int client_x, int client_y) {
  post(Message{WindowId::graphics, MessageKind::left_button_up, client_x, client_y});
}

void focus_lost(WindowId window) { post(Message{window, MessageKind::focus_lost, 0, 0}); }

void release_ctrl_elsewhere() { memory().ctrl_held = false; }

void character(int ch) { post(Message{WindowId::graphics, MessageKind::character, ch, 0}); }

void tick() { post(Message{WindowId::graphics, MessageKind::timer, memory().timer_number, 0}); }

void command(int number) { post(Message{WindowId::graphics, MessageKind::command, number, 0}); }

void close_window(WindowId window) { post(Message{window, MessageKind::close, 0, 0}); }

void ctrl_key(char letter, bool shift) {
  const int shift_code = 16;
  key_down(KEY_CONTROL);
  if (shift) key_down(shift_code);
  // With Ctrl held a letter types its control character.
  key_down(toupper(letter), toupper(letter) & 0x1F);
  key_up(toupper(letter));
  if (shift) key_up(shift_code);
  key_up(KEY_CONTROL);
}

int ticks_delivered() { return memory().ticks; }
int sleeps() { return memory().sleeps; }
void quit_after_ticks(int ticks) { memory().tick_limit = ticks; }
void set_idle_handler(std::function<void()> handler) { memory().idle_handler = std::move(handler); }
uint32_t screen_pixel(int x, int y) {
  return screen_pixels()[static_cast<size_t>(y) * CLIENT_WIDTH + x] & 0xFFFFFF;
}

const std::vector<std::string>& text_lines() { return memory().text_lines; }
bool visible(WindowId window) { return memory().windows[window].visible; }
bool exists(WindowId window) { return memory().windows[window].exists; }
WindowSetup window_setup(WindowId window) { return memory().windows[window].setup; }
const Menu& menu() { return memory().menu; }

bool menu_checked(int command) {
  for (const MenuEntry& entry : memory().menu.entries) {
    if (!entry.separator && entry.command == command) return entry.checked;
  }
  return false;
}

bool timer_running() { return memory().timer; }
int presents() { return memory().presents; }
void queue_dialog_reply(const DialogReply& reply) { memory().replies.push_back(reply); }
const std::vector<DialogSetup>& dialogs_shown() { return memory().dialogs; }
int dialog_cancels_ignored() { return memory().cancels_ignored; }
void fail_next_dialog() { memory().fail_dialog = true; }

}  // namespace headless
}  // namespace kivet
