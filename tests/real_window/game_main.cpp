// A small game-like program for the real-window, Wine and browser tests:
// key and mouse events switched on, a 20 ms tick. It prints every event on
// its own line, on standard output and in the text window
// ("pressed K D", "released K D" with D whether key_down says the key is
// down, "keyboard K", "mouse X Y", "moved X Y", "lifted X Y", "quit"),
// draws a dot at a click and a line along a drag, and ends with status 3.
// With the argument "no-wait" it draws and ends without asking for an
// event; with "busy" it draws and then computes for ever.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "kivet/display.h"
#include "kivet/state.h"

namespace {

bool given(const char* argument) {
  const kivet::LibraryState& s = kivet::state();
  return s.start_argc >= 2 && strcmp(s.start_argv[1], argument) == 0;
}

// One line on standard output (which the desktop tests read) and in the
// text window (which the browser's test reads).
void say(const char* format, ...) {
  char line[256];
  va_list values;
  va_start(values, format);
  vsnprintf(line, sizeof line, format, values);
  va_end(values);
  fputs(line, stdout);
  fflush(stdout);
  KIVET_log_message("%s", line);
}

}  // namespace

int kivet_main() {
  Display display;
  if (given("no-wait") || given("busy")) {
    display.clear(YELLOW);
    display.flush();
    printf("ready\n");
    fflush(stdout);
    for (volatile unsigned spin = 0; given("busy"); spin = spin + 1) {
    }
    return 0;
  }
  display.set_key_events(true);
  display.set_mouse_events(true);
  display.set_tick(20);
  display.clear(WHITE);
  say("ready\n");
  bool dragging = false;
  int last_x = 0, last_y = 0;
  for (;;) {
    int x = 0, y = 0;
    char key = 0;
    EventKind kind = display.get_next_event(x, y, key);
    if (kind == kivet::quit) break;
    switch (kind) {
      case kivet::key_pressed:
      case kivet::key_released:
        say("%s %d %d\n", kind == kivet::key_pressed ? "pressed" : "released", key,
               display.key_down(key) ? 1 : 0);
        break;
      case kivet::keyboard:
        say("keyboard %d\n", static_cast<unsigned char>(key));
        break;
      case kivet::mouse:
        say("mouse %d %d\n", x, y);
        display.circle(x, y, 3, RED);
        dragging = true;
        break;
      case kivet::mouse_moved:
        say("moved %d %d\n", x, y);
        if (dragging) display.line(last_x, last_y, x, y, BLUE, 3);
        break;
      case kivet::mouse_released:
        say("lifted %d %d\n", x, y);
        dragging = false;
        break;
      default:
        break;
    }
    last_x = x;
    last_y = y;
  }
  say("quit\n");
  return 3;
}
