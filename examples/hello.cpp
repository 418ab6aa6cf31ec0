// A first program: a red disc and a greeting, shown until the user quits.
#include <kivet/display.h>

int kivet_main() {
  Display display;                       // opens the windows
  display.clear(WHITE);
  display.circle(0, 0, 50, RED);         // a red disc in the middle
  display.write_text(-60, -80, "Hello!", BLUE, 24);

  int x, y;
  char key;
  while (display.get_next_event(x, y, key) != kivet::quit) {
  }
  return 0;                              // the program's exit status
}
