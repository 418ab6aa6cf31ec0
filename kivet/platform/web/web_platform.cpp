// The web backend: the graphics window is the page's canvas with its menu
// bar, the text window the pane under it, the dialog the page's modal
// dialog. Page events (keys, clicks, menu choices, timer ticks) wait in the
// page's queue and become the library's messages when the program looks
// for them; a program that waits is suspended (ASYNCIFY) and the browser
// runs meanwhile.
#include <emscripten.h>

#include <string>

#include "kivet/platform/platform.h"
#include "kivet/platform/web/canvas_rows.h"
#include "kivet/platform/web/page.h"
#include "kivet/text_encoding.h"

namespace kivet::web {
namespace {

// A program that runs without waiting still lets the browser show its
// frames and take input this often.
constexpr double YIELD_EVERY_MS = 10;

int page_window(WindowId window) { return window == WindowId::graphics ? 1 : 2; }

class WebPlatform : public Platform {
 public:
  // The canvas is the client area.
  WebPlatform() { kivet_page_set_size(CLIENT_WIDTH, CLIENT_HEIGHT); }

  Size screen_size() override {
    int size[2] = {0, 0};
    kivet_page_screen_size(size);
    return Size{size[0], size[1]};
  }

  void create_window(WindowId window, const WindowSetup& setup) override {
    exists_[index(window)] = true;
    kivet_page_create_window(page_window(window),
                             shown_utf8(setup.title, ControlCharacters::replace).c_str());
    send_message(Message{window, MessageKind::create, 0, 0});
  }

  void destroy_window(WindowId window) override {
    if (!exists_[index(window)]) return;
    exists_[index(window)] = false;
    kivet_page_show_window(page_window(window), 0);
  }

  bool show_window(WindowId window, bool show) override {
    if (!exists_[index(window)]) return false;
    return kivet_page_show_window(page_window(window), show ? 1 : 0) != 0;
  }

  Size client_size(WindowId window) override {
    if (window == WindowId::graphics) return Size{CLIENT_WIDTH, CLIENT_HEIGHT};
    return Size{CLIENT_WIDTH, 0};
  }

  void set_menu(WindowId window, const Menu& menu) override {
    if (window != WindowId::graphics) return;
    kivet_page_menu_begin(shown_utf8(menu.title, ControlCharacters::replace).c_str());
    for (const MenuEntry& entry : menu.entries) {
      // The tab separates the shortcut shown at the right.
      std::string text = shown_utf8(entry.text, ControlCharacters::replace_but_newline_and_tab);
      kivet_page_menu_add(entry.command, text.c_str(), entry.separator, entry.grayed,
                          entry.checkable || entry.checked, entry.checked);
    }
  }

  void check_menu_entry(int command, bool checked) override {
    kivet_page_menu_check(command, checked ? 1 : 0);
  }

  void start_timer(int number, int period_ms) override {
    kivet_page_start_timer(number, period_ms);
  }

  void stop_timer(int number) override { kivet_page_stop_timer(number); }

  // The rows reach the canvas when the program next hands control to the
  // browser. A program that has not done so for a while (it computes
  // between its waits) does it now, so that what it flushed shows.
  void present(const Bitmap& bitmap, ChangedRows changed) override {
    if (!exists_[index(WindowId::graphics)] || changed.empty()) return;
    web::note_canvas_rows(changed);
    kivet_page_present(bitmap.data());
    yield_if_due();
  }

  bool shows_windows() override { return true; }

  void text_clear() override { kivet_page_text_clear(); }

  void text_add_line(const char* line) override {
    kivet_page_text_add(shown_utf8(line ? line : "", ControlCharacters::replace).c_str());
  }

  void process_events(bool block) override {
    if (!block) {
      yield_if_due();
      take_page_events();
      return;
    }
    if (take_page_events() == 0) {
      kivet_page_wait();
      take_page_events();
    }
    last_yield_ = emscripten_get_now();
  }

  // Input that comes meanwhile waits in the page's queue.
  void sleep(int milliseconds) override {
    if (milliseconds <= 0) return;
    kivet_page_sleep(milliseconds);
    last_yield_ = emscripten_get_now();
  }

  bool run_dialog(const DialogSetup& setup, DialogHandler handler) override {
    if (dialog_.open) return false;
    dialog_ = Dialog{true, false, handler};
    kivet_page_dialog_open(
        shown_utf8(setup.title, ControlCharacters::replace).c_str(),
        shown_utf8(setup.prompt, ControlCharacters::replace_but_newline_and_tab).c_str(),
        shown_utf8(setup.button, ControlCharacters::replace).c_str());
    kivet_page_dialog_focus();
    while (!dialog_.done) {
      kivet_page_wait();
      take_page_events();
    }
    kivet_page_dialog_close();
    dialog_.open = false;
    last_yield_ = emscripten_get_now();
    return true;
  }

  // A page whose address names a script plays it as a headless run does:
  // from its first line, as fast as the program takes it, and the program
  // is told to quit at its end.
  bool unattended() override {
    if (plays_script_ < 0) plays_script_ = kivet_page_plays_script();
    return plays_script_ == 1;
  }

  // "in a web browser (Firefox 140)", say.
  const char* where_it_runs() override {
    if (where_.empty()) {
      char browser[64] = "";
      kivet_page_browser_name(browser, sizeof browser);
      where_ = "in a web browser";
      if (browser[0]) where_ += std::string(" (") + browser + ")";
    }
    return where_.c_str();
  }

 private:
  struct Dialog {
    bool open = false;
    bool done = false;
    DialogHandler handler = nullptr;
  };

  static int index(WindowId window) { return window == WindowId::graphics ? 0 : 1; }

  int plays_script_ = -1;  // not asked yet

  void yield_if_due() {
    double now = emscripten_get_now();
    if (now - last_yield_ < YIELD_EVERY_MS) return;
    kivet_page_yield();
    last_yield_ = emscripten_get_now();
  }

  // Every queued page event becomes a message (the dialog's own go to its
  // handler); returns how many there were.
  int take_page_events() {
    int count = 0;
    int fields[3];
    for (int kind; (kind = kivet_page_take_event(fields)) != 0; ++count) {
      WindowId graphics = WindowId::graphics;
      switch (kind) {
        case KIVET_PAGE_TIMER:
          post_message(Message{graphics, MessageKind::timer, fields[0], 0});
          break;
        case KIVET_PAGE_CLICK:
          post_message(Message{graphics, MessageKind::left_button_down, fields[0], fields[1]});
          break;
        case KIVET_PAGE_KEY_DOWN:
          post_message(Message{graphics, MessageKind::key_down, fields[0], fields[1],
                               ((fields[2] & 1) ? CONTROL_HELD : 0) |
                                   ((fields[2] & 2) ? AUTO_REPEAT : 0)});
          break;
        case KIVET_PAGE_MOVE:
          post_message(Message{graphics, MessageKind::mouse_move, fields[0], fields[1]});
          break;
        case KIVET_PAGE_LIFT:
          post_message(Message{graphics, MessageKind::left_button_up, fields[0], fields[1]});
          break;
        case KIVET_PAGE_BLUR:
          post_message(Message{graphics, MessageKind::focus_lost, 0, 0});
          break;
        case KIVET_PAGE_KEY_UP:
          post_message(
              Message{graphics, MessageKind::key_up, fields[0], 0, fields[2] ? CONTROL_HELD : 0});
          break;
        case KIVET_PAGE_COMMAND:
          post_message(Message{graphics, MessageKind::command, fields[0], 0});
          break;
        case KIVET_PAGE_DIALOG:
          dialog_chosen(fields[0]);
          break;
        default:
          break;
      }
    }
    return count;
  }

  // The user's choice in the open dialog goes to its handler, which says
  // whether the dialog ends.
  void dialog_chosen(int chosen) {
    if (!dialog_.open || dialog_.done || !dialog_.handler) return;
    DialogChoice choice;
    if (chosen == KIVET_PAGE_DIALOG_OKAY) {
      choice = DialogChoice{DialogChoice::okay, dialog_text()};
    } else if (chosen == KIVET_PAGE_DIALOG_CANCEL) {
      choice.kind = DialogChoice::cancel;
    } else {
      return;
    }
    if (dialog_.handler(choice)) dialog_.done = true;
  }

  static std::string dialog_text() {
    int length = kivet_page_dialog_text(nullptr, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    kivet_page_dialog_text(&text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
  }

  bool exists_[2] = {false, false};
  double last_yield_ = 0;
  Dialog dialog_;
  std::string where_;
};

}  // namespace
}  // namespace kivet::web

// Never destroyed: the library may close itself from an atexit handler.
kivet::Platform& kivet::windowed_platform() {
  static web::WebPlatform* instance = new web::WebPlatform;
  return *instance;
}

const char* kivet::windowed_backend_name() { return "web"; }

// Called by the page when it is closed or left for good.
extern "C" EMSCRIPTEN_KEEPALIVE void kivet_web_page_closing() { kivet::display_lost(); }
