// The simulation for the tests that compare the screen with the off-screen
// bitmap: it prints the size of its client area ("client W H"), runs for
// the number of periodic events given as its argument (printing "tick N" at
// each), then halts, writes its bitmap to
// "bitmap.png" in its working directory and prints "halted". After that it
// prints each click as "mouse X Y" and ends at quit.
#include <cstdio>
#include <cstdlib>

#include "app/main.h"
#include "kivet/display.h"
#include "kivet/kivet.h"
#include "kivet/platform/platform.h"
#include "kivet/snapshot.h"
#include "kivet/state.h"

// Its own process entry: the simulation's driver steps come from the
// application, whose entry point it does not use.
int main(int argc, char** argv) {
  kivet::state().start_argc = argc;
  kivet::state().start_argv = argv;
  kivet::state().start_command_line = "";
  kivet::state().start_show_mode = 1;
  kivet::start_main();
  int ticks = argc > 1 ? atoi(argv[1]) : 30;
  std::srand(1);
  Display display;
  kivet::Size client = kivet::platform().client_size(kivet::WindowId::graphics);
  printf("client %d %d\n", client.width, client.height);
  display.clear(WHITE);
  display.set_animation(kivet::run);
  Airfield airfield(&display);
  add_runways(airfield);
  queue_first_takeoff(airfield, display);
  int tick_counter = 0;
  for (int tick = 1;;) {
    int x = 0, y = 0;
    char key = 0;
    EventKind kind = display.get_next_event(x, y, key);
    if (!handle_event(kind, airfield, display, tick_counter)) break;
    if (kind == kivet::mouse) printf("mouse %d %d\n", x, y);
    if (kind == kivet::periodic && tick <= ticks) {
      printf("tick %d\n", tick);
      if (tick++ == ticks) {
        display.set_animation(kivet::halt);
        bool written = kivet::write_png(*kivet::state().offscreen_bitmap, "bitmap.png").empty();
        printf(written ? "halted\n" : "bitmap.png not written\n");
      }
    }
    fflush(stdout);
  }
  return 0;
}
