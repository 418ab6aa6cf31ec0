// A house-drawing assignment as a class hands it in: the teacher's reference
// and students' programs, one source built once per HOUSE_VARIANT:
//   reference, good    the assignment done right
//   different          the same pictures, drawn in other calls
//   one_pixel          one stray pixel beside the house
//   ignores_quit       never leaves its loop
//   crashes            dies at its 30th tick (SIGSEGV; on Windows an access
//                      violation)
//   early_sun          the sun starts moving at tick 10, not 20 (the same
//                      final picture, another one at tick 30)
//   draws_for_ever     draws without end once its script is over
//   floods             writes 40 MB to standard output first
//   signs              writes on standard output the first line of
//                      name.txt, a file beside it
// The sun moves 4 pixels to the right on each tick from tick 20 to 50.
#include <kivet/display.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool variant(const char* name) { return std::strcmp(HOUSE_VARIANT, name) == 0; }

[[noreturn]] void crash() {
#ifdef _WIN32
  // A write through a null pointer the compiler cannot see: an access
  // violation.
  volatile int* volatile nowhere = nullptr;
  *nowhere = 1;
#else
  std::raise(SIGSEGV);
#endif
  std::abort();
}

int sun_x(int ticks) {
  int start = variant("early_sun") ? 10 : 20;
  int steps = ticks - start;
  if (steps < 0) steps = 0;
  int last = 50 - start;
  if (steps > last) steps = last;
  return -200 + steps * 4 * 30 / last;
}

void draw(Display& display, int ticks) {
  display.clear(WHITE);
  display.circle(sun_x(ticks), 170, 25, YELLOW);
  if (variant("different")) {
    // The walls in two halves, the roof as before.
    display.rectangle(-100, -20, 0, -200, BROWN, 0);
    display.rectangle(1, -20, 100, -200, BROWN, 0);
  } else {
    display.rectangle(-100, -20, 100, -200, BROWN, 0);
  }
  display.triangle(-120, -20, 120, -20, 0, 80, RED, 0);
  display.rectangle(-20, -120, 20, -200, BLACK, 2);
  display.write_text(-60, -230, "My house", BLUE, 16);
  if (variant("one_pixel")) display.pixel(150, -100, BLACK);
}

}  // namespace

int kivet_main() {
  if (variant("floods")) {
    std::vector<char> megabyte(1 << 20, 'x');
    for (int i = 0; i < 40; ++i) std::fwrite(megabyte.data(), 1, megabyte.size(), stdout);
  }
  if (variant("signs")) {
    char name[64] = "(no name.txt)\n";
    if (FILE* file = std::fopen("name.txt", "r")) {
      if (!std::fgets(name, sizeof name, file)) std::strcpy(name, "(empty)\n");
      std::fclose(file);
    }
    std::fputs(name, stdout);
  }
  Display display;
  int ticks = 0;
  draw(display, ticks);
  int x, y;
  char key;
  for (;;) {
    EventKind kind = display.get_next_event(x, y, key);
    if (kind == kivet::quit) {
      if (variant("ignores_quit")) continue;
      if (variant("draws_for_ever")) {
        for (;;) display.pixel(0, 0, BLACK);
      }
      break;
    }
    if (kind != kivet::periodic) continue;
    ++ticks;
    if (variant("crashes") && ticks == 30) crash();
    draw(display, ticks);
  }
  return 0;
}
