// The headless backend: a deterministic in-memory window system. Timer ticks
// come only when a test posts them, or when the wait sleeps with the timer
// running (the clock then moves on to the next tick).
//
// Unattended, as in a program's run without a display, there is no screen
// and no input: text-window lines go to a stream, and the dialog reads its
// answer from another.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <thread>

#include "kivet/platform/headless/headless.h"
#include "kivet/state.h"

namespace kivet::headless {
namespace {

constexpr int TEXT_LINES_SHOWN = 64;

struct WindowState {
  bool exists = false;
  bool visible = false;
  WindowSetup setup;
};

struct DialogRun {
  bool open = false;
  int result = 0;
  std::string edit_text;
};

struct State {
  std::map<WindowId, WindowState> windows;
  Menu menu;
  bool timer = false;
  int ticks = 0;
  int sleeps = 0;
  int presents = 0;
  std::vector<uint32_t> screen;  // the client area's pixels, 0xRRGGBB
  std::vector<std::string> text_lines;
  std::deque<DialogReply> replies;
  std::vector<DialogSetup> dialogs;
  int cancels_ignored = 0;
  bool fail_dialog = false;
  DialogRun dialog;
  std::function<void()> idle_handler;
  int tick_limit = -1;
  FILE* run_out = nullptr;  // set in an unattended run
  FILE* run_in = nullptr;
  bool ctrl_held = false;  // as the keyboard has it, whichever window saw it
};

State& state() {
  static State s;
  return s;
}

// The client area, white until something is presented.
std::vector<uint32_t>& screen_pixels() {
  State& s = state();
  if (s.screen.empty()) s.screen.assign(static_cast<size_t>(CLIENT_WIDTH) * CLIENT_HEIGHT, 0xFFFFFF);
  return s.screen;
}

bool unattended_run() { return state().run_out != nullptr; }

// The prompt without the spaces that pad it to its fixed length.
std::string shown_prompt(const std::string& prompt) {
  size_t end = prompt.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : prompt.substr(0, end + 1);
}

// One line of `in` without its line end; at the end of input, what was
// read so far (nothing: an empty answer).
std::string read_answer(FILE* in) {
  std::string answer;
  char piece[256];
  while (fgets(piece, sizeof piece, in)) {
    answer += piece;
    if (answer.back() == '\n') break;
  }
  if (!answer.empty() && answer.back() == '\n') answer.pop_back();
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
  return answer;
}

void write_line(const std::string& line) {
  FILE* out = state().run_out;
  fputs(line.c_str(), out);
  fputc('\n', out);
  // Lines reach the stream as they come: a run that stops early still
  // shows everything up to that point.
  fflush(out);
}

class HeadlessPlatform : public Platform {
 public:
  Size screen_size() override { return Size{SCREEN_WIDTH, SCREEN_HEIGHT}; }

  void create_window(WindowId window, const WindowSetup& setup) override {
    WindowState& w = state().windows[window];
    w.exists = true;
    w.visible = false;
    w.setup = setup;
    send_message(Message{window, MessageKind::create, 0, 0});
  }

  void destroy_window(WindowId window) override {
    WindowState& w = state().windows[window];
    w.exists = false;
    w.visible = false;
  }

  bool show_window(WindowId window, bool show) override {
    WindowState& w = state().windows[window];
    bool was = w.visible;
    if (w.exists) w.visible = show;
    return was;
  }

  Size client_size(WindowId window) override {
    if (window == WindowId::graphics) return Size{CLIENT_WIDTH, CLIENT_HEIGHT};
    const WindowSetup& setup = state().windows[window].setup;
    return Size{setup.width, setup.height};
  }

  void set_menu(WindowId, const Menu& menu) override { state().menu = menu; }

  void check_menu_entry(int command, bool checked) override {
    for (MenuEntry& entry : state().menu.entries) {
      if (!entry.separator && entry.command == command) entry.checked = checked;
    }
  }

  void start_timer(int, int) override { state().timer = true; }
  void stop_timer(int) override { state().timer = false; }

  // The changed rows reach the screen at once; those below the client
  // area are never seen.
  void present(const Bitmap& bitmap, ChangedRows changed) override {
    State& s = state();
    if (unattended_run() || !s.windows[WindowId::graphics].exists) return;
    ++s.presents;
    std::vector<uint32_t>& screen = screen_pixels();
    int last = std::min(changed.bottom, CLIENT_HEIGHT - 1);
    for (int y = std::max(changed.top, 0); y <= last; ++y) {
      memcpy(&screen[static_cast<size_t>(y) * CLIENT_WIDTH], bitmap.row(y),
             CLIENT_WIDTH * sizeof(uint32_t));
    }
  }

  void text_clear() override {
    // A line written to the stream cannot be taken back.
    if (!unattended_run()) state().text_lines.clear();
  }

  void text_add_line(const char* line) override {
    if (unattended_run()) {
      write_line(line);
      return;
    }
    auto& lines = state().text_lines;
    lines.emplace_back(line);
    if (lines.size() > TEXT_LINES_SHOWN) lines.erase(lines.begin());
  }

  // The program's own pause: nothing else is going on in memory.
  void sleep(int milliseconds) override {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }

  void process_events(bool block) override {
    if (!block) return;
    State& s = state();
    ++s.sleeps;
    if (unattended_run()) {
      // Nothing will ever come: the wait is told to end the run.
      post_message(Message{WindowId::none, MessageKind::quit, 0, 0});
      return;
    }
    // A tick matters only to an armed periodic event; otherwise the wait
    // would sleep for ever, which in a test is a fault of the test.
    if (!s.timer || event_kind != EVENT_PERIODIC) {
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
    post_message(Message{WindowId::graphics, MessageKind::timer, TIMER_NUMBER, 0});
  }

  int run_dialog(const DialogSetup& setup) override {
    State& s = state();
    s.dialogs.push_back(setup);
    if (s.fail_dialog) {
      s.fail_dialog = false;
      return -1;
    }
    DialogReply reply;
    if (unattended_run()) {
      write_line(shown_prompt(setup.prompt));
      reply.text = read_answer(s.run_in);
    } else if (!s.replies.empty()) {
      reply = s.replies.front();
      s.replies.pop_front();
    }
    s.dialog = DialogRun{true, 0, ""};
    setup.proc(DialogMessage{DialogMessageKind::init, 0});
    if (reply.escape_first) {
      // Escape and the close box both send the cancel command.
      for (int i = 0; i < 2; ++i) {
        setup.proc(DialogMessage{DialogMessageKind::command, DIALOG_CANCEL});
        if (s.dialog.open) ++s.cancels_ignored;
      }
    }
    s.dialog.edit_text = reply.text;
    setup.proc(DialogMessage{DialogMessageKind::command, DIALOG_OKAY});
    if (s.dialog.open) {
      fprintf(stderr, "headless: the dialog did not end on its default button\n");
      abort();
    }
    return s.dialog.result;
  }

  std::string dialog_item_text(int id) override {
    return id == DIALOG_EDIT ? state().dialog.edit_text : std::string();
  }

  void end_dialog(int result) override {
    state().dialog.open = false;
    state().dialog.result = result;
  }

  bool unattended() override { return unattended_run(); }
};

}  // namespace

void reset() {
  State& s = state();
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
  s = State{};
  s.screen = std::move(screen);
  reset_state();
  // A test's own main has started: a Display opens as it is made.
  main_started = true;
}

void begin_unattended_run(FILE* out, FILE* in) {
  state().run_out = out;
  state().run_in = in;
}

void post(const Message& message) { post_message(message); }

void click(int client_x, int client_y) {
  post(Message{WindowId::graphics, MessageKind::left_button_down, client_x, client_y});
}

// Key messages carry the modifiers held before the key itself, as a
// toolkit's key events do.
static int modifiers() { return state().ctrl_held ? CONTROL_HELD : 0; }

void key_down(int key_code, int ch, WindowId window) {
  post(Message{window, MessageKind::key_down, key_code, ch, modifiers()});
  if (key_code == KEY_CONTROL) state().ctrl_held = true;
}

void key_up(int key_code, WindowId window) {
  post(Message{window, MessageKind::key_up, key_code, 0, modifiers()});
  if (key_code == KEY_CONTROL) state().ctrl_held = false;
}

void release_ctrl_elsewhere() { state().ctrl_held = false; }

void character(int ch) { post(Message{WindowId::graphics, MessageKind::character, ch, 0}); }

void tick() { post(Message{WindowId::graphics, MessageKind::timer, TIMER_NUMBER, 0}); }

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

int ticks_delivered() { return state().ticks; }
int sleeps() { return state().sleeps; }
void quit_after_ticks(int ticks) { state().tick_limit = ticks; }
void set_idle_handler(std::function<void()> handler) { state().idle_handler = std::move(handler); }
uint32_t screen_pixel(int x, int y) {
  return screen_pixels()[static_cast<size_t>(y) * CLIENT_WIDTH + x] & 0xFFFFFF;
}

const std::vector<std::string>& text_lines() { return state().text_lines; }
bool visible(WindowId window) { return state().windows[window].visible; }
bool exists(WindowId window) { return state().windows[window].exists; }
WindowSetup window_setup(WindowId window) { return state().windows[window].setup; }
const Menu& menu() { return state().menu; }

bool menu_checked(int command) {
  for (const MenuEntry& entry : state().menu.entries) {
    if (!entry.separator && entry.command == command) return entry.checked;
  }
  return false;
}

bool timer_running() { return state().timer; }
int presents() { return state().presents; }
void queue_dialog_reply(const DialogReply& reply) { state().replies.push_back(reply); }
const std::vector<DialogSetup>& dialogs_shown() { return state().dialogs; }
int dialog_cancels_ignored() { return state().cancels_ignored; }
void fail_next_dialog() { state().fail_dialog = true; }

}  // namespace kivet::headless

kivet::Platform& kivet::headless_platform() {
  static headless::HeadlessPlatform instance;
  return instance;
}
