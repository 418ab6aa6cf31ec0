// A program for the browser and Windows tests, built for the page, for
// Windows and for Linux alike: its picture depends on its events alone, so
// that a page, a Windows run and a Linux headless run given the same script
// draw the same pixels, text included: the airfield's label and accented,
// Cyrillic and Greek words at several sizes, in the built-in face. It
// starts halted. A click draws a disc where it landed, a periodic event
// moves a bar one step along the bottom; each event is also written to the
// text window ("mouse X Y", "periodic N", "keyboard K"); the key g asks
// for a line of text ("answer TEXT"), and d makes a second Display.
#include <kivet/display.h>
#include <kivet/kivet.h>

#include <initializer_list>

namespace {

void draw_bar(Display& display, int steps) {
  display.rectangle(-300, -200, 300, -240, GRAY_20, 0);
  int left = -300 + (steps * 7) % 560;
  display.rectangle(left, -205, left + 40, -235, NAVY_BLUE, 0);
}

// Text that every system must draw alike.
void draw_words(Display& display) {
  display.rectangle(-300, 110, 300, -190, GRAY_20, 0);
  display.write_text(-250, 80, " Seattle Tacoma ", BLACK, 20);
  int y = 50;
  for (int size : {10, 13, 16, 24, 32}) {
    display.write_text(-290, y,
                       "Caf\u00e9 20\u00b0C Zo\u00eb \u041f\u0440\u0438\u0432\u0435\u0442 "
                       "\u03a9mega",
                       size % 2 ? NAVY_BLUE : BLACK, size);
    y -= size * 6 / 5 + 4;
  }
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
  draw_words(display);
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
