// The process entry: keeps the start-up values and calls the application's
// entry point once. Its return value is the process's exit status.
#include "kivet/kivet.h"
#include "kivet/platform/platform.h"
#include "kivet/state.h"

int main(int argc, char** argv) {
  kivet::start_argc = argc;
  kivet::start_argv = argv;
  kivet::start_instance = nullptr;
  kivet::start_previous_instance = nullptr;
  kivet::start_command_line = "";
  kivet::start_show_mode = 1;
  kivet::start_main();
  return kivet_main();
}
