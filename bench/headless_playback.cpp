// The limit that painting a real window can only approach: playback of a
// script of COUNT periodic events (written to KIVET.SCR in the working
// directory) with the headless backend, which keeps its window in memory.
// Prints one table row (row number, figure, verdict), tab separated.
//
//   headless_playback COUNT
#include <cstdio>
#include <cstdlib>

#include "bench/playback.h"

int main(int argc, char** argv) {
  int count = argc > 1 ? atoi(argv[1]) : 0;
  if (count < 2) {
    fprintf(stderr, "usage: %s COUNT (at least 2)\n", argv[0]);
    return 2;
  }
  kivet::start_main();
  std::srand(bench::PLAYBACK_SEED);
  bench::Simulation sim;
  bench::Playback result = bench::play_back(sim, count);
  if (!result.written) return 1;
  printf("6h\t%.0f events/s (%d in %.1f s)%s\t%s\n", result.rate, count, result.seconds,
         result.ended ? "" : ", playback did not end", result.ended ? "-" : "FAIL");
  return 0;
}
