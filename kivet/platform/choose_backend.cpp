// The choice of backend at run time, for programs built against the
// installed library, which carries both. It is made once, when the library
// first needs its platform (on opening), from the environment:
//   KIVET_BACKEND=headless  no display: the headless backend, unattended
//   KIVET_BACKEND=gtk       windows through GTK
//   unset or empty          windows through GTK, when there is a display
// Any other value, or no display to open, ends the process with one line on
// standard error, before GTK is started (whose own message would not say
// what to do).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kivet/platform/headless/headless.h"
#include "kivet/platform/platform.h"

namespace kivet {
namespace {

constexpr int EXIT_UNKNOWN_BACKEND = 2;

bool is_set(const char* name) {
  const char* value = getenv(name);
  return value && *value;
}

Platform& chosen_platform() {
  const char* wanted = getenv("KIVET_BACKEND");
  if (wanted && *wanted) {
    if (strcmp(wanted, "headless") == 0) {
      headless::begin_unattended_run(stdout, stdin);
      return headless_platform();
    }
    if (strcmp(wanted, "gtk") == 0) return gtk_platform();
    fprintf(stderr,
            "kivet: unknown KIVET_BACKEND \"%s\": use KIVET_BACKEND=headless to run without a "
            "display, or KIVET_BACKEND=gtk (or none) for windows\n",
            wanted);
    exit(EXIT_UNKNOWN_BACKEND);
  }
  if (!is_set("DISPLAY") && !is_set("WAYLAND_DISPLAY")) {
    fprintf(stderr, "kivet: no display to open (neither DISPLAY nor WAYLAND_DISPLAY is set): %s\n",
            NO_DISPLAY_ADVICE);
    exit(EXIT_NO_DISPLAY);
  }
  return gtk_platform();
}

}  // namespace

Platform& platform() {
  static Platform& chosen = chosen_platform();
  return chosen;
}

}  // namespace kivet
