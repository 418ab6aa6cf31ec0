// The platform layer: the few window-system operations the library needs.
// A backend (GTK, Win32, web or headless) implements Platform. This header
// is part of the seam and needs nothing but the C++ standard library.
// The library owns the message queue, the pump and every handler; a backend
// only creates windows and menus, runs the timer, shows the bitmap and the
// text lines, and posts translated messages with kivet::post_message.
#pragma once

#include <string>
#include <vector>

#include "kivet/client_area.h"
#include "kivet/draw/bitmap.h"
#include "kivet/platform/message.h"

namespace kivet {

struct Size {
  int width = 0;
  int height = 0;
};

struct WindowSetup {
  const char* title = "";
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool resizable = false;
};

// One entry of a drop-down menu. `text` marks the mnemonic with '&' and
// separates the shown shortcut with a tab.
struct MenuEntry {
  int command = 0;
  std::string text;
  bool separator = false;
  bool grayed = false;
  bool checked = false;
  bool checkable = false;  // the entry can carry a check mark
};

struct Menu {
  std::string title;
  std::vector<MenuEntry> entries;
};

// The modal text-input dialog: a title, a prompt above a multi-line edit
// box, and one default button. The prompt is at most 79 bytes of whole
// UTF-8 characters; the backend shows it as it is.
struct DialogSetup {
  std::string title;
  std::string prompt;
  std::string button;  // the default button's text
};

// What the user did in the dialog: chose the default button (or pressed
// Enter in the edit box), with the edit box's text then, or asked to
// cancel it (Escape, the close box).
struct DialogChoice {
  enum Kind { okay, cancel };
  Kind kind = okay;
  std::string text;  // the edit box's text, with okay
};

// The library's answer to a choice: true ends the dialog.
using DialogHandler = bool (*)(const DialogChoice& choice);

class Platform {
 public:
  virtual ~Platform() = default;

  virtual Size screen_size() = 0;
  // Creates a window. For the graphics window the backend sends the create
  // message (kivet::send_message) before returning, so the handler can set
  // its menu with set_menu.
  virtual void create_window(WindowId window, const WindowSetup& setup) = 0;
  virtual void destroy_window(WindowId window) = 0;
  // Shows or hides a window; returns whether it was visible before.
  virtual bool show_window(WindowId window, bool show) = 0;
  virtual Size client_size(WindowId window) = 0;

  virtual void set_menu(WindowId window, const Menu& menu) = 0;
  virtual void check_menu_entry(int command, bool checked) = 0;

  virtual void start_timer(int number, int period_ms) = 0;
  virtual void stop_timer(int number) = 0;

  // Shows the off-screen bitmap in the graphics window at (0, 0): its rows
  // `changed.top` to `changed.bottom` differ from what the window showed
  // (the first present after the window was created covers every row). A
  // backend may read the pixels at the window's next frame (within one
  // refresh of the display), so that any number of presents between two
  // frames cost one copy: it keeps the union of the changed rows until
  // then. The bitmap stays alive and at the same address while the library
  // is open. A frame that is due at once is drawn before present returns.
  virtual void present(const Bitmap& bitmap, ChangedRows changed) = 0;

  // The text window: clear it, or scroll it up one line and draw `line` at
  // its bottom. Lines past what the window holds are lost at the top.
  virtual void text_clear() = 0;
  virtual void text_add_line(const char* line) = 0;

  // Lets the toolkit handle its pending events, which post messages. With
  // `block`, sleeps until at least one toolkit event has been handled.
  virtual void process_events(bool block) = 0;

  // Suspends the program for `milliseconds`. The window system goes on
  // meanwhile (what was presented reaches the screen); input waits in the
  // library's queue.
  virtual void sleep(int milliseconds) = 0;

  // Runs a modal dialog owned by the graphics window, handing each choice
  // of the user to `handler`, until it answers that the dialog ends. The
  // timer and repaints go on meanwhile. Returns false when the dialog
  // cannot be created.
  virtual bool run_dialog(const DialogSetup& setup, DialogHandler handler) = 0;

  // Whether the run has no user: no window on a screen and no live input.
  // The library then takes its events from the script alone.
  virtual bool unattended() { return false; }

  // Whether the windows are on a screen before a user: the learner's notes
  // on standard error are given only then.
  virtual bool shows_windows() { return false; }

  // Where the windows are, for the Run menu's grayed line about the
  // platform ("this build runs ..."): "on Windows", say.
  virtual const char* where_it_runs() { return "on Linux, under X11 or Wayland"; }
};

// The backend in use: the one linked in alone, or, in the installed
// library, the one chosen at run time.
Platform& platform();

// The system's windowed backend (GTK, Win32 or web), for the choice at run
// time beside the unattended runner, with the name that KIVET_BACKEND gives
// it ("gtk", "win32", "web").
Platform& windowed_platform();
const char* windowed_backend_name();

// When there is no display to open, the process ends with this status and
// a line on standard error that ends with this advice.
constexpr int EXIT_NO_DISPLAY = 1;
constexpr const char* NO_DISPLAY_ADVICE =
    "run the program on a desktop, or set KIVET_BACKEND=headless to run it without one";

// Provided by the library: queue a message, or hand it to its window's
// handler at once.
void post_message(const Message& message);
void send_message(const Message& message);
// Provided by the library: the connection to the display is gone and the
// backend is about to end the process. What is recorded is finished first.
void display_lost();
// Provided by the library: whether the event wait waits for a timer tick
// (a periodic event is armed), so that a tick would end the wait.
bool periodic_event_armed();
// Provided by the library: the program starts (the process entry, or a
// test's own start); a Display made before it opens now.
void start_main();
// Provided by the library, for tests and soak runs: every library variable
// back to its value at the start of the process. The windows stay as they
// are on the platform.
void reset_library();

}  // namespace kivet
