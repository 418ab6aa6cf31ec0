// The choice of backend at run time, for programs built against the
// installed library, which carries the headless backend and the system's
// windowed one. It is made once, when the library first needs its platform
// (on opening), from the environment:
//   KIVET_BACKEND=headless  no display: the unattended runner
//   KIVET_BACKEND=<name>    the windowed backend by its name (gtk, win32)
//   unset or empty          the windowed backend
// Any other value ends the process with one line on standard error. A
// windowed backend that finds no display says so itself, the same way.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kivet/platform/headless/unattended_platform.h"
#include "kivet/platform/platform.h"

namespace kivet {
namespace {

constexpr int EXIT_UNKNOWN_BACKEND = 2;

Platform& chosen_platform() {
  const char* wanted = getenv("KIVET_BACKEND");
  if (!wanted || !*wanted || strcmp(wanted, windowed_backend_name()) == 0) {
    return windowed_platform();
  }
  if (strcmp(wanted, "headless") == 0) {
    return unattended_platform();
  }
  fprintf(stderr,
          "kivet: unknown KIVET_BACKEND \"%s\": use KIVET_BACKEND=headless to run without a "
          "display, or KIVET_BACKEND=%s (or none) for windows\n",
          wanted, windowed_backend_name());
  exit(EXIT_UNKNOWN_BACKEND);
}

}  // namespace

Platform& platform() {
  static Platform& chosen = chosen_platform();
  return chosen;
}

}  // namespace kivet
