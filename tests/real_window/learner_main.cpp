// A program as learners write them: the Display at file scope so that
// helper functions can draw, text with accents, a question through the
// dialog, and a loop that goes on asking for events after the quit. It
// prints "ready", waits for a click, paints the scene chalk and asks for a
// name, and prints "answer TEXT" once the dialog is closed (with the
// argument "no-dialog" it asks nothing); then it prints every event as
// "event KIND X Y KEY", and ends after its third quit.
#include <cstdio>
#include <cstring>

#include "kivet/display.h"
#include "kivet/state.h"

Display display;

void draw_greeting(const char* name) {
  display.write_text(-250, 100,
                     "Caf\xc3\xa9 20\xc2\xb0"
                     "C",
                     BLACK, 40);
  display.write_text(-250, 0, name, BLUE, 40);
}

int kivet_main() {
  display.clear(WHITE);
  printf("ready\n");
  fflush(stdout);
  bool ask =
      kivet::state().start_argc < 2 || strcmp(kivet::state().start_argv[1], "no-dialog") != 0;
  int x, y;
  char key;
  if (ask && display.get_next_event(x, y, key) == kivet::mouse) {
    // The window is up to date now; what follows is drawn after it.
    display.clear(CHALK);
    draw_greeting("");
    char name[256];
    KIVET_gets("Your name?", name);
    printf("answer %s\n", name);
    draw_greeting(name);
  }
  fflush(stdout);
  for (int quits = 0; quits < 3;) {
    x = y = -1;
    key = -1;
    EventKind kind = display.get_next_event(x, y, key);
    printf("event %d %d %d %d\n", kind, x, y, key);
    fflush(stdout);
    if (kind == kivet::quit) ++quits;
  }
  return 0;
}
