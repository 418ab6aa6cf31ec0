// A small program on the library for the real-window tests: it animates a
// few shapes, redrawing them on every periodic event, and prints each event
// on its own line ("mouse X Y", "keyboard K", "periodic N", "quit"). The key
// 'g' asks for a line of text and prints "answer TEXT"; every typed key is
// also written to the text window as "typed K".
#include <cstdio>

#include "kivet/display.h"
#include "kivet/kivet.h"

namespace {

void draw_scene(Display& display, int frame) {
  display.clear(WHITE);
  int x = frame % 200 - 100;
  display.rectangle(x, 100, x + 60, 40, GREEN, 0);
  display.circle(-x, -50, 30, RED);
  display.line(-300, -250, 300, 250, BLACK, 1);
  display.triangle(100, -200, 200, -200, 150, -120, BLUE, 2);
  display.write_text(-280, 230, "demo", BLACK, 12);
}

void ask_for_text() {
  char answer[256] = "";
  int shown = KIVET_gets("Type a line:", answer);
  printf("answer %d %s\n", shown, answer);
}

}  // namespace

int kivet_main() {
  Display display;
  int frame = 0;
  draw_scene(display, frame);
  display.set_animation(kivet::run);
  printf("ready\n");
  fflush(stdout);
  for (;;) {
    int x = 0, y = 0;
    char key = 0;
    EventKind kind = display.get_next_event(x, y, key);
    if (kind == kivet::quit) break;
    if (kind == kivet::periodic) {
      draw_scene(display, ++frame);
      printf("periodic %d\n", frame);
    } else if (kind == kivet::mouse) {
      printf("mouse %d %d\n", x, y);
    } else if (kind == kivet::keyboard) {
      printf("keyboard %d\n", static_cast<unsigned char>(key));
      KIVET_log_message("typed %d\n", static_cast<unsigned char>(key));
      if (key == 'g') ask_for_text();
    }
    fflush(stdout);
  }
  printf("quit\n");
  fflush(stdout);
  return 0;
}
