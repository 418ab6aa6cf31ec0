// A question through the dialog, and its answer drawn in the window. Click
// the window to be asked again.
#include <kivet/display.h>
#include <kivet/kivet.h>

#include <cstdio>

void ask_and_greet(Display& display) {
  char name[256];  // the dialog writes at most 255 characters and a zero byte
  KIVET_gets("What is your name?", name);

  display.clear(CHALK);
  if (name[0] == '\0') {
    display.write_text(-250, 40, "Hello, whoever you are!", NAVY_BLUE, 32);
  } else {
    char greeting[300];
    snprintf(greeting, sizeof greeting, "Hello, %s!", name);
    display.write_text(-250, 40, greeting, NAVY_BLUE, 32);
  }
  display.write_text(-250, -40, "Click to be asked again.", GRAY_50, 16);
}

int kivet_main() {
  Display display;
  ask_and_greet(display);

  while (true) {
    int x, y;
    char key;
    EventKind event = display.get_next_event(x, y, key);
    if (event == kivet::quit) break;
    if (event == kivet::mouse) ask_and_greet(display);
  }
  return 0;
}
