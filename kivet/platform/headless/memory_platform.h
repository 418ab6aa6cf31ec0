// The in-memory platform: windows, menu, timer and dialog in memory, with
// no screen and no clock of its own. A test posts messages as the window
// system would, and reads back what reached the windows. The unattended
// runner (unattended_platform.h) builds on it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "kivet/platform/platform.h"

namespace kivet {

// The in-memory window system. Timer ticks come only when a test posts
// them, or when the wait sleeps for an armed periodic event with the timer
// running (the clock then moves on to the next tick).
class MemoryPlatform : public Platform {
 public:
  Size screen_size() override;
  void create_window(WindowId window, const WindowSetup& setup) override;
  void destroy_window(WindowId window) override;
  bool show_window(WindowId window, bool show) override;
  Size client_size(WindowId window) override;
  void set_menu(WindowId window, const Menu& menu) override;
  void check_menu_entry(int command, bool checked) override;
  void start_timer(int number, int period_ms) override;
  void stop_timer(int number) override;
  void present(const Bitmap& bitmap, ChangedRows changed) override;
  void text_clear() override;
  void text_add_line(const char* line) override;
  void process_events(bool block) override;
  void sleep(int milliseconds) override;
  bool run_dialog(const DialogSetup& setup, DialogHandler handler) override;
};

Platform& memory_platform();

}  // namespace kivet

namespace kivet::headless {

constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;

// Puts the library's state and the in-memory windows back to their start,
// with the program started, so the next test can open the library afresh.
// The library's platform is the in-memory one again.
void reset();
// Only the in-memory windows, menu, input state and dialog replies.
void reset_memory_platform();

// Makes the library's platform the unattended runner, with `out` for the
// text window's lines and the dialog's prompts and `in` for its answers.
void begin_unattended_run(FILE* out, FILE* in);

// Input, posted to the library's queue as the toolkit would post it.
void post(const Message& message);
void click(int client_x, int client_y);
// A key press: its code and the character it types (0 for none). Key
// messages say whether Ctrl is held, as the keys posted so far left it.
void key_down(int key_code, int character = 0, WindowId window = WindowId::graphics);
void key_up(int key_code, WindowId window = WindowId::graphics);
// The key held until it repeats: a further press with AUTO_REPEAT.
void key_repeat(int key_code, int character = 0);
void character(int ch);
// The mouse moved to, or its left button let go at, a client-area pixel.
void mouse_move(int client_x, int client_y);
void button_up(int client_x, int client_y);
// The window loses the keyboard to another one.
void focus_lost(WindowId window = WindowId::graphics);
void tick();
void command(int number);
void close_window(WindowId window);
// Types Ctrl+letter as a keyboard would: Ctrl down, the letter, Ctrl up.
void ctrl_key(char letter, bool shift = false);
// Ctrl is let go while another program has the keyboard: no message comes.
void release_ctrl_elsewhere();

// When the wait sleeps with nothing queued and the timer runs, the backend
// delivers the next timer tick (its clock moves on 100 ms). Returns the
// ticks so delivered, and how often the wait slept.
int ticks_delivered();
int sleeps();
// Called when the wait would sleep with nothing to come (no input queued and
// no periodic event armed); it may post input. Without one, that is a fault
// of the test and the process stops.
void set_idle_handler(std::function<void()> handler);
// After `ticks` ticks delivered that way, the next sleep brings the
// platform's quit message instead of a tick.
void quit_after_ticks(int ticks);

// What reached the windows.
// A pixel of the graphics window's client area, 0xRRGGBB.
uint32_t screen_pixel(int x, int y);
const std::vector<std::string>& text_lines();
bool visible(WindowId window);
bool exists(WindowId window);
WindowSetup window_setup(WindowId window);
const Menu& menu();
bool menu_checked(int command);
bool timer_running();
int presents();

// Dialog: the replies the next dialogs get, in order. A reply is the text
// typed into the edit box, then Enter. `escape_first` presses Escape and
// the close box before the reply.
struct DialogReply {
  std::string text;
  bool escape_first = false;
};
void queue_dialog_reply(const DialogReply& reply);
const std::vector<DialogSetup>& dialogs_shown();
int dialog_cancels_ignored();
void fail_next_dialog();

}  // namespace kivet::headless
