// A user's program: a circle with a bad colour and a negative radius,
// logged, then events until quit. Its exit status is 3.
#include <kivet/display.h>

int kivet_main() {
  Display display;
  KIVET_set_logging(1);
  display.circle(0, 0, -5, 24);
  int x, y;
  char key;
  while (display.get_next_event(x, y, key) != kivet::quit) {
  }
  return 3;
}
