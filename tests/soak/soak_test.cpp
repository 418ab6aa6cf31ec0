// Soak: the whole simulation through the headless backend for many periodic
// events, with random traffic and randomly injected clicks, keys, menu
// commands and script recording, then teardown. Run under the sanitizers,
// LeakSanitizer checks that teardown frees everything; the test itself checks
// that memory other than the queued movements stays flat.
//
// KIVET_SOAK_EVENTS sets the number of periodic events (default 30,000).
// Ten times in a run it prints the events per second since the last report,
// the movements waiting, the resident memory and the heap beyond the queued
// movements; a tick costs more as the queues grow, by design.
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "app/main.h"
#include "kivet/script.h"
#include "support/test_support.h"

namespace headless = kivet::headless;

namespace {

long soak_events() {
  const char* text = std::getenv("KIVET_SOAK_EVENTS");
  long events = text ? std::atol(text) : 30000;
  return events > 0 ? events : 30000;
}

size_t heap_in_use() { return mallinfo2().uordblks; }

double resident_megabytes() {
  long pages = 0, resident = 0;
  FILE* statm = fopen("/proc/self/statm", "r");
  if (!statm) return 0;
  if (fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
  fclose(statm);
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

int waiting_movements(const Airfield& airfield) {
  int waiting = 0;
  for (int i = 0; i < airfield.runway_count(); ++i) {
    Runway* runway = airfield.get_runway(i);
    waiting += runway->get_takeoff_queue()->size() + runway->get_landing_queue()->size();
  }
  return waiting;
}

// Heap bytes held by one waiting movement, measured the same way.
double bytes_per_waiting_movement(Display& display) {
  Runway runway(15, &display);
  size_t before = heap_in_use();
  const int count = 2000;
  for (int i = 0; i < count; ++i) {
    runway.get_takeoff_queue()->enqueue(std::make_unique<Takeoff>(15, &display));
    runway.get_landing_queue()->enqueue(std::make_unique<Landing>(15, &display));
  }
  return static_cast<double>(heap_in_use() - before) / (2 * count);
}

// One random input posted before a wait, as a user might give it.
void inject(std::mt19937& random) {
  std::uniform_int_distribution<int> percent(0, 99);
  int roll = percent(random);
  if (roll < 3) {
    headless::click(std::uniform_int_distribution<int>(0, 700)(random),
                    std::uniform_int_distribution<int>(0, 600)(random));
  } else if (roll < 6) {
    int ch = std::uniform_int_distribution<int>(0, 255)(random);
    headless::key_down(ch >= 'a' && ch <= 'z' ? ch - 32 : ch, ch);
    headless::key_up(ch);
  } else if (roll < 8) {
    // Animate, halt, advance, logging, record, playback, play one.
    int command = std::uniform_int_distribution<int>(1, 7)(random);
    if (percent(random) < 50) {
      headless::command(command);
    } else {
      headless::ctrl_key("AHFLRPO"[command - 1], percent(random) < 50);
    }
  }
}

}  // namespace

class SoakTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    enter_scratch_directory();
  }
};

TEST_F(SoakTest, LongRunWithRandomInputKeepsMemoryFlatAndTearsDownCleanly) {
  const long events = soak_events();
  std::mt19937 random(20261208);
  std::srand(20261208);
  size_t baseline = 0;
  double per_movement = 0;
  double worst_growth = 0;
  long periodic = 0;
  {
    Display display;
    per_movement = bytes_per_waiting_movement(display);
    display.clear(WHITE);
    display.set_animation(kivet::run);
    Airfield airfield(&display);
    add_runways(airfield);
    queue_first_takeoff(airfield, display);
    // Halted with nothing to play: a user would start the animation again.
    headless::set_idle_handler([] { headless::command(kivet::CMD_ANIMATE); });
    int tick_counter = 0;
    long waits = 0;
    const long report_every = std::max(events / 10, 1L);
    auto stretch_start = std::chrono::steady_clock::now();
    long stretch_events = 0;
    auto report = [&] {
      auto now = std::chrono::steady_clock::now();
      double seconds = std::chrono::duration<double>(now - stretch_start).count();
      int waiting = waiting_movements(airfield);
      double beyond = heap_in_use() - waiting * per_movement - static_cast<double>(baseline);
      printf(
          "soak: %ld events, %.0f events/s, %d movements waiting, resident %.1f MB, heap beyond "
          "the queued movements %+.0f KB\n",
          periodic, (periodic - stretch_events) / std::max(seconds, 1e-9), waiting,
          resident_megabytes(), beyond / 1024);
      fflush(stdout);
      stretch_start = now;
      stretch_events = periodic;
    };
    while (periodic < events) {
      inject(random);
      int x, y;
      char key;
      EventKind kind = display.get_next_event(x, y, key);
      ASSERT_NE(kind, kivet::quit);
      ASSERT_NE(kind, kivet::none);
      handle_event(kind, airfield, display, tick_counter);
      ++waits;
      if (kind == kivet::periodic && ++periodic % report_every == 0) report();
      if (waits == 2000) baseline = heap_in_use() - waiting_movements(airfield) * per_movement;
      if (waits > 2000 && waits % 1000 == 0) {
        double residual = heap_in_use() - waiting_movements(airfield) * per_movement;
        worst_growth = std::max(worst_growth, residual - static_cast<double>(baseline));
      }
    }
    if (kivet::state().recording) kivet::script_toggle_recording();
    RecordProperty("waiting_movements_at_end", waiting_movements(airfield));
  }
  RecordProperty("periodic_events", static_cast<int>(periodic));
  RecordProperty("worst_growth_bytes", static_cast<int>(worst_growth));
  // Apart from the queued movements, the heap may move by the log ring's
  // lines, stdio buffers and the like, never by something per tick.
  EXPECT_LT(worst_growth, 512.0 * 1024) << "heap growth beyond the queued movements";
  EXPECT_EQ(periodic, events);
}
