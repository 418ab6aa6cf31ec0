// The platform layer: the few window-system operations the library needs.
// A backend (GTK, Win32, web or headless) implements Platform. This header
// is part of the seam and needs nothing but the C++ standard library.
// The library owns the message queue, the pump and every handler; a backend
// only creates windows and menus, runs the timer, shows the bitmap and the
// text lines, and posts translated messages with kivet::post_message.
#pragma once

#include <string>
#include <vector>

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

// Messages of the modal text-input dialog.
enum class DialogMessageKind { init, command };
struct DialogMessage {
  DialogMessageKind kind = DialogMessageKind::init;
  int id = 0;  // for command: the control id (101 the default button, 2 cancel)
};
using DialogProc = bool (*)(const DialogMessage& message);

// Dialog ids.
constexpr int DIALOG_OKAY = 101;
constexpr int DIALOG_EDIT = 102;
constexpr int DIALOG_PROMPT = 103;
constexpr int DIALOG_CANCEL = 2;

struct DialogSetup {
  std::string title;
  std::string prompt;  // shown as the static text above the edit box
  std::string button;  // the default button's text
  DialogProc proc = nullptr;
};

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

  // Runs a modal dialog until the dialog procedure ends it; returns the
  // result given to end_dialog, or -1 when the dialog cannot be created.
  virtual int run_dialog(const DialogSetup& setup) = 0;
  virtual std::string dialog_item_text(int id) = 0;
  virtual void end_dialog(int result) = 0;

  // Whether the run has no user: no window on a screen and no live input.
  // The library then takes its events from the script alone.
  virtual bool unattended() { return false; }

  // Where the windows are, for the Run menu's grayed line about the
  // platform ("this build runs ..."): "on Windows", say.
  virtual const char* where_it_runs() { return "on Linux, under X11 or Wayland"; }
};

// The backend in use: the one linked in alone, or, in the installed
// library, the one chosen at run time.
Platform& platform();

// Each backend's one instance, for the choice at run time: the headless
// one and the system's windowed one (GTK, Win32 or web), with the name that
// KIVET_BACKEND gives it ("gtk", "win32", "web").
Platform& headless_platform();
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

}  // namespace kivet
