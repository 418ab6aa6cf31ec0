// A program for the browser tests, built for the page and for Linux alike:
// its picture depends on its events alone and holds no text, so that a
// page and a headless run given the same script draw the same pixels. It
// starts halted. A click draws a disc where it landed, a periodic event
// moves a bar one step along the bottom; each event is also written to the
// text window ("mouse X Y", "periodic N", "keyboard K"); the key g asks
// for a line of text ("answer TEXT"), and d makes a second Display.
#include <kivet/display.h>
#include <kivet/kivet.h>

namespace {

void draw_bar(Display& display, int steps) {
  display.rectangle(-300, -200, 300, -240, GRAY_20, 0);
  int left = -300 + (steps * 7) % 560;
  display.rectangle(left, -205, left + 40, -235, NAVY_BLUE, 0);
}

void ask() {
  char answer[256] = "";
  KIVET_gets("Type a line:\n(then Enter)", answer);
  KIVET_log_message("answer %s\n", answer);
}

}  // namespace

int kivet_main() {
  Display display;
  display.clear(WHITE);
  display.triangle(-250, 200, -150, 200, -200, 120, ORANGE, 0);
  display.oval(100, 200, 250, 130, SEA_GREEN, 3);
  draw_bar(display, 0);
  int steps = 0;
  for (;;) {
    int x = 0, y = 0;
    char key = 0;
    EventKind kind = display.get_next_event(x, y, key);
    if (kind == kivet::quit) break;
    if (kind == kivet::mouse) {
      display.circle(x, y, 12, (x + y) % 2 == 0 ? RED : BLUE);
      KIVET_log_message("mouse %d %d\n", x, y);
    } else if (kind == kivet::periodic) {
      draw_bar(display, ++steps);
      KIVET_log_message("periodic %d\n", steps);
    } else if (kind == kivet::keyboard) {
      KIVET_log_message("keyboard %d\n", static_cast<unsigned char>(key));
      if (key == 'g') ask();
      if (key == 'd') {
        Display second;  // refused: the error in the dialog, then exit status -1
      }
    }
  }
  return 0;
}
