// A probe of the web backend on its own: the few library functions it calls
// are stand-ins here, and the program reports every message it gets as a
// line in the text pane, so that a browser test can read what arrived.
//   a click        "click X Y"          a key        "down CODE CHAR CTRL"
//   a key release  "up CODE CTRL"       a menu entry "command N"
//   a tick         "tick N MS" (N ticks so far, MS since the first)
// Keys: d asks for text in the dialog ("answer TEXT"); t draws a line of
// text ("text HEIGHT LINE_HEIGHT"), c one with control characters; w writes
// KIVET.SCR, r reads it ("file TEXT"); a switches on animation (the whole
// bitmap drawn anew and a text line at every tick); e ends the program
// with exit(-1) from inside a call; the menu's Quit (command 8) ends it
// with status 0.
#include <emscripten.h>

#include <cstdio>
#include <deque>
#include <string>

#include "kivet/platform/font.h"
#include "kivet/platform/platform.h"
#include "kivet/text_encoding.h"

namespace kivet {

static std::deque<Message> queue;

void post_message(const Message& message) { queue.push_back(message); }
void send_message(const Message& message) {
  if (message.kind == MessageKind::create && message.window == WindowId::graphics) {
    Menu menu;
    menu.title = "&Run";
    menu.entries = {
        {1, "&Animate\tCtrl+A"},
        {2, "&Halt animation\tCtrl+H"},
        {0, "", true},
        {4, "&Logging\tCtrl+L", false, false, true, true},
        {0, "", true},
        {8, "&Quit\tCtrl+Q"},
        {0, "", true},
        {9, "WEB: runs in a browser", false, true},
    };
    platform().set_menu(WindowId::graphics, menu);
  }
}
void display_lost() {}

std::string shown_utf8(const std::string& bytes, ControlCharacters) { return bytes; }

Bitmap::Bitmap() : pixels_(static_cast<size_t>(BITMAP_WIDTH) * BITMAP_HEIGHT, 0xFFFFFF) {}

}  // namespace kivet

using namespace kivet;

static void say(const std::string& line) { platform().text_add_line(line.c_str()); }

// A pattern the test computes too: every pixel of the bitmap different.
static uint32_t pattern(int x, int y) {
  return (static_cast<uint32_t>(x & 0xFF) << 16) | (static_cast<uint32_t>(y & 0xFF) << 8) |
         static_cast<uint32_t>((x * 3 + y * 5 + x / 256 * 64 + y / 256 * 128) & 0xFF);
}

static std::string answer;
static bool dialog_proc(const DialogMessage& message) {
  if (message.kind == DialogMessageKind::init) return true;
  if (message.id != DIALOG_OKAY) {
    say("cancel ignored");
    return false;
  }
  answer = platform().dialog_item_text(DIALOG_EDIT);
  platform().end_dialog(1);
  return true;
}

static void write_file() {
  FILE* file = fopen("KIVET.SCR", "wb");
  if (!file) return say("file cannot be written");
  fputs("KIVET_PERIODIC(3);\n", file);
  fclose(file);
  say("file written");
}

static void read_file() {
  char text[100] = "";
  FILE* file = fopen("KIVET.SCR", "rb");
  if (!file) return say("file missing");
  if (!fgets(text, sizeof text, file)) text[0] = 0;
  fclose(file);
  say(std::string("file ") + text);
}

static void animate(Bitmap& bitmap, int frame) {
  for (int y = 0; y < Bitmap::height(); ++y) {
    for (int x = 0; x < Bitmap::width(); ++x) bitmap.row(y)[x] = pattern(x + frame, y);
  }
  platform().present(bitmap, ChangedRows::all());
}

[[noreturn]] static void end_deep_inside(int depth) {
  if (depth > 0) end_deep_inside(depth - 1);
  exit(-1);
}

int main() {
  Platform& p = platform();
  p.create_window(WindowId::graphics, WindowSetup{"KIVET Graphics", 0, 0, 601, 540, false});
  p.create_window(WindowId::text, WindowSetup{"KIVET Text", 0, 513, 1024, 256, true});
  p.show_window(WindowId::text, true);
  p.show_window(WindowId::graphics, true);
  static Bitmap bitmap;
  for (int y = 0; y < Bitmap::height(); ++y) {
    for (int x = 0; x < Bitmap::width(); ++x) bitmap.row(y)[x] = pattern(x, y);
  }
  p.present(bitmap, ChangedRows::all());
  p.start_timer(2, 100);
  int ticks = 0;
  bool animating = false;
  double first_tick = 0;
  char line[160];
  while (true) {
    if (queue.empty()) p.process_events(true);
    while (!queue.empty()) {
      Message m = queue.front();
      queue.pop_front();
      switch (m.kind) {
        case MessageKind::timer:
          if (ticks++ == 0) first_tick = emscripten_get_now();
          snprintf(line, sizeof line, "tick %d %.0f", ticks, emscripten_get_now() - first_tick);
          say(line);
          if (animating) animate(bitmap, ticks);
          break;
        case MessageKind::left_button_down:
          snprintf(line, sizeof line, "click %d %d", m.a, m.b);
          say(line);
          break;
        case MessageKind::key_down:
          snprintf(line, sizeof line, "down %d %d %d", m.a, m.b, m.c);
          say(line);
          if (m.b == 'd' && m.c == 0) {
            int result = p.run_dialog(DialogSetup{"KIVET_gets", "Your name?\tplease", "Okay", dialog_proc});
            say("answer " + answer + " " + std::to_string(result));
          }
          if (m.b == 'w') write_file();
          if (m.b == 'r') read_file();
          if (m.b == 'a') animating = true;
          if (m.b == 'e') end_deep_inside(20);
          if (m.b == 'c') {
            font_engine().draw_line(bitmap, 10, 60, "A\tB\x01" "C\x7f" "D", 40, 0x0000FF);
            p.present(bitmap, ChangedRows{60, 120});
          }
          if (m.b == 't' && m.c == 0) {
            font_engine().draw_line(bitmap, 10, 10, "Hello, KIVET", 20, 0xFF0000);
            p.present(bitmap, ChangedRows{10, 40});
            snprintf(line, sizeof line, "text 20 %d", font_engine().line_height(20));
            say(line);
          }
          break;
        case MessageKind::key_up:
          snprintf(line, sizeof line, "up %d %d", m.a, m.c);
          say(line);
          break;
        case MessageKind::command:
          snprintf(line, sizeof line, "command %d", m.a);
          say(line);
          if (m.a == 8) return 0;
          break;
        default:
          break;
      }
    }
  }
}
