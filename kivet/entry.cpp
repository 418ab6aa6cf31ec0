// The process entry: keeps the start-up values and calls the application's
// entry point once. Its return value is the process's exit status.
#include "kivet/kivet.h"
#include "kivet/platform/platform.h"
#include "kivet/state.h"

int main(int argc, char** argv) {
  kivet::state().start_argc = argc;
  kivet::state().start_argv = argv;
  kivet::state().start_instance = nullptr;
  kivet::state().start_previous_instance = nullptr;
  kivet::state().start_command_line = "";
  kivet::state().start_show_mode = 1;
  kivet::start_main();
  return kivet_main();
}
