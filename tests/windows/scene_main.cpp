// The simulation for the Windows tests under Wine, the same in every run:
// the random traffic starts from a fixed seed and the program starts halted,
// so that a script played into it (Ctrl+P) gives the same picture in real
// windows and headless. It prints "ready", then each event on a line of its
// own ("periodic N", "mouse X Y", "keyboard K", "quit"). Typed keys act:
//   g  asks for a line of text in the dialog and prints "answer SHOWN TEXT"
//   d  constructs a second Display, which the library refuses
//   e  ends the program with status 3
// It has its own process entry, as the library's does: the simulation's
// driver steps come from the application, whose entry point it does not
// use.
#include <cstdio>
#include <cstdlib>

#include "app/main.h"
#include "kivet/display.h"
#include "kivet/kivet.h"
#include "kivet/platform/platform.h"
#include "kivet/state.h"

namespace {

void ask_for_text() {
  char answer[256] = "";
  int shown = KIVET_gets("Type a line:", answer);
  std::printf("answer %d %s\n", shown, answer);
}

}  // namespace

int main(int argc, char** argv) {
  kivet::state().start_argc = argc;
  kivet::state().start_argv = argv;
  kivet::state().start_command_line = "";
  kivet::state().start_show_mode = 1;
  kivet::start_main();
  std::srand(1);
  Display display;
  display.clear(WHITE);
  Airfield airfield(&display);
  add_runways(airfield);
  queue_first_takeoff(airfield, display);
  airfield.update();
  std::printf("ready\n");
  std::fflush(stdout);
  int tick_counter = 0, periodic = 0, status = 0;
  for (bool going = true; going;) {
    int x = 0, y = 0;
    char key = 0;
    EventKind kind = display.get_next_event(x, y, key);
    going = handle_event(kind, airfield, display, tick_counter);
    if (kind == kivet::periodic) std::printf("periodic %d\n", ++periodic);
    if (kind == kivet::mouse) std::printf("mouse %d %d\n", x, y);
    if (kind == kivet::keyboard) std::printf("keyboard %d\n", static_cast<unsigned char>(key));
    std::fflush(stdout);
    if (kind != kivet::keyboard) continue;
    if (key == 'g') ask_for_text();
    if (key == 'd') {
      Display second;
    }
    if (key == 'e') {
      status = 3;
      going = false;
    }
  }
  std::printf("quit\n");
  std::fflush(stdout);
  return status;
}
