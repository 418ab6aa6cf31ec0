// The simulation as the program runs it, and the playback of a script of
// periodic events through it, shared by the bench programs of every backend
// so that their playback rates compare like with like.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/airfield.h"
#include "app/main.h"
#include "kivet/display.h"
#include "kivet/kivet.h"
#include "kivet/platform/platform.h"
#include "kivet/state.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double ms_between(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// The program's set-up: the scene, its runways and a first takeoff.
struct Simulation {
  Display display;
  Airfield airfield{&display};
  int tick_counter = 0;

  Simulation() {
    display.clear(WHITE);
    add_runways(airfield);
    queue_first_takeoff(airfield, display);
  }

  EventKind next() {
    int x, y;
    char key;
    EventKind kind = display.get_next_event(x, y, key);
    handle_event(kind, airfield, display, tick_counter);
    return kind;
  }
};

// The same traffic in every run, whatever the backend.
constexpr unsigned PLAYBACK_SEED = 20261208;

struct Playback {
  bool written = false;  // KIVET.SCR could be written
  double seconds = 0;    // from the first periodic event to the last
  double rate = 0;       // periodic events per second
  bool ended = false;    // the end of the script stopped the playback
};

// Writes KIVET.SCR with `count` periodic events in the working directory and
// plays it back through `sim`, halted as after Ctrl+P, the command arriving
// as the menu's would.
inline Playback play_back(Simulation& sim, int count) {
  Playback result;
  FILE* script = fopen("KIVET.SCR", "w");
  if (!script) {
    perror("KIVET.SCR");
    return result;
  }
  fprintf(script, "KIVET_PERIODIC(%d);\n", count);
  result.written = fclose(script) == 0;
  kivet::post_message(kivet::Message{kivet::WindowId::graphics, kivet::MessageKind::command,
                                     kivet::CMD_PLAYBACK, 0});
  int periodic = 0;
  Clock::time_point first{};
  while (periodic < count) {
    if (sim.next() != kivet::periodic) continue;
    if (periodic++ == 0) first = Clock::now();
  }
  result.seconds = ms_between(first, Clock::now()) / 1e3;
  result.rate = result.seconds > 0 ? (count - 1) / result.seconds : 0;
  // The script is used up: the next wait reads its end, which stops the
  // playback, and then waits for a live tick.
  sim.display.set_animation(kivet::run);
  sim.next();
  result.ended = !kivet::state().playing_back;
  return result;
}

}  // namespace bench
