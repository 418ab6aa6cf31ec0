// The Display object: the application's one door into the library, with
// the colour moved to the front of every drawing call.
#include "kivet/display.h"

#include <cstdlib>
#include <cstring>

#include "kivet/kivet.h"
#include "kivet/platform/platform.h"
#include "kivet/script.h"
#include "kivet/state.h"

namespace {

using kivet::state;

// KIVET_LOGGING=1 starts the program with logging on, so that a run's text
// (standard output, headless) carries the sentences of its drawing calls
// without a change to the program.
bool logging_at_start() {
  const char* wanted = std::getenv("KIVET_LOGGING");
  return wanted && std::strcmp(wanted, "1") == 0;
}

// A Display made before main, at file scope or as a static member, waits
// for main to open the library: before main neither the platform nor all
// of the library's own objects exist yet. A second one made then is
// refused at the same moment.
void open_library() {
  KIVET_open(state().start_instance, state().start_previous_instance, state().start_command_line,
             state().start_show_mode);
  KIVET_set_logging(logging_at_start());
}

[[noreturn]] void refuse_second_display() {
  char reply[256] = "";
  KIVET_gets("Error: Attempted to instantiate multiple KIVET displays", reply);
  // The process ends here, without the first display's destructor: what
  // it is recording is finished first.
  kivet::script_finish();
  std::exit(-1);
}

}  // namespace

void kivet::start_main() {
  state().main_started = true;
  if (state().open_at_main) open_library();
  if (state().refuse_at_main) refuse_second_display();
}

Display::Display() : scene_width(600), scene_height(500) {
  if (state().display_exists) {
    if (!state().main_started) {
      state().refuse_at_main = true;
      return;
    }
    refuse_second_display();
  }
  state().display_exists = true;
  if (state().main_started) {
    open_library();
  } else {
    state().open_at_main = true;
  }
}

// Closing twice does nothing: a Display at file scope finds the library
// already closed when the program ended.
Display::~Display() { KIVET_close(); }

void Display::clear(int colour) {
  KIVET_flush();
  KIVET_clear();
  rectangle(-scene_width / 2, -scene_height / 2, scene_width / 2, scene_height / 2, colour, 0);
}

void Display::sleep(int milliseconds) {
  if (milliseconds > 0) kivet::platform().sleep(milliseconds);
}

EventKind Display::get_next_event(int& x, int& y, char& key) {
  int kind = KIVET_wait_event(&x, &y, &key);
  if (kind >= kivet::mouse && kind <= kivet::mouse_released) return static_cast<EventKind>(kind);
  return kivet::none;
}

void Display::set_animation(AnimationMode mode) {
  static const int codes[] = {0, 1, 2, 5};
  if (mode >= 0 && mode <= 3) KIVET_set_animation(codes[mode]);
}

void Display::flush() { KIVET_flush(); }


void Display::write_char(int x, int y, char ch, int colour, int size) {
  KIVET_printf_text(colour, x, y, size, "%c", ch);
}

void Display::write_text(int x, int y, const char* text, int colour, int size) {
  KIVET_printf_text(colour, x, y, size, "%s", text);
}

void Display::write_int(int x, int y, int value, int colour, int size) {
  KIVET_printf_text(colour, x, y, size, "%d", value);
}

void Display::pixel(int x, int y, int colour) { KIVET_draw_pixel(colour, x, y); }

void Display::line(int x1, int y1, int x2, int y2, int colour, int width) {
  KIVET_draw_line(colour, x1, y1, x2, y2, width);
}

void Display::rectangle(int x1, int y1, int x2, int y2, int colour, int width) {
  KIVET_draw_rectangle(colour, x1, y1, x2, y2, width);
}

void Display::triangle(int x1, int y1, int x2, int y2, int x3, int y3, int colour, int width) {
  KIVET_draw_triangle(colour, x1, y1, x2, y2, x3, y3, width);
}

void Display::oval(int x1, int y1, int x2, int y2, int colour, int width) {
  KIVET_draw_oval(colour, x1, y1, x2, y2, width);
}

void Display::circle(int x, int y, int radius, int colour) {
  KIVET_draw_circle(colour, x, y, radius);
}
