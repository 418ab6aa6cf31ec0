// The driver: pacing of new traffic, the draws of new movements, what each
// kind of event does, the runway check, and whole runs of kivet_main() on the
// headless backend.
#include "app/main.h"

#include <cstdlib>
#include <ctime>

#include "app_test_support.h"
#include "failing_allocation.h"

namespace headless = kivet::headless;

TEST(TrafficDue, TrueOnEveryFourteenthCallOnly) {
  int counter = 13;
  EXPECT_TRUE(traffic_due(counter));
  EXPECT_EQ(counter, 0);
  for (int call = 1; call <= 42; ++call) EXPECT_EQ(traffic_due(counter), call % 14 == 0) << call;
}

class Driver : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    KIVET_set_logging(0);
    airfield_ = std::make_unique<Airfield>(display());
    add_runways(*airfield_);
  }
  void TearDown() override {
    airfield_.reset();
    DisplayTest::TearDown();
  }
  Runway* runway(int index) { return airfield_->get_runway(index); }

  std::unique_ptr<Airfield> airfield_;
};

// The first movement draws a runway and a kind, which it ignores: it is
// always a takeoff. Later ones join the queue of the kind drawn.
TEST_F(Driver, NewMovementsDrawRunwayKindAircraftKindAndSpeed) {
  const int heights[] = {15, -85, -185};
  for (unsigned seed = 1; seed <= 12; ++seed) {
    for (bool first : {true, false}) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << (first ? " first" : ""));
      Airfield airfield(display());
      add_runways(airfield);
      const std::vector<int> r = rand_sequence(seed, 5);
      std::srand(seed);
      if (first) {
        queue_first_takeoff(airfield, *display());
      } else {
        generate_traffic(airfield, *display());
      }
      ASSERT_EQ(std::rand(), r[4]);
      Runway* chosen = airfield.get_runway(r[0] % 3);
      const bool landing = !first && r[1] % 2 == 1;
      EventQueue* queue = landing ? static_cast<EventQueue*>(chosen->get_landing_queue())
                                  : chosen->get_takeoff_queue();
      ASSERT_EQ(queue->size(), 1);
      Aircraft* aircraft = queue->item_at(1)->get_aircraft();
      EXPECT_EQ(aircraft->get_y(), heights[r[0] % 3] + (landing ? 125 : -9));
      EXPECT_EQ(aircraft->get_speed(), (r[2] % 2 == 1 ? 10 : 5) + r[3] % 10);
    }
  }
}

TEST_F(Driver, MovementGeneratedOnAnEventCanStepInTheSameUpdate) {
  // Draws: runway 0, takeoff, aircraft kind, speed, then runway 0's coin
  // picks its takeoff queue.
  std::srand(find_seed(5, [](const std::vector<int>& v) {
    return v[0] % 3 == 0 && v[1] % 2 == 0 && v[4] % 2 == 0;
  }));
  int counter = 13;
  EXPECT_TRUE(handle_event(kivet::periodic, *airfield_, *display(), counter));
  Activity* current = runway(0)->get_current_activity();
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(current->get_aircraft()->get_x(), -135 + current->get_aircraft()->get_speed());
}

TEST_F(Driver, InputEventsChangeNothingAndQuitEndsTheRun) {
  queue_first_takeoff(*airfield_, *display());
  KIVET_set_logging(1);
  const std::vector<int> r = rand_sequence(17, 1);
  std::srand(17);
  int counter = 6;
  for (EventKind kind : {kivet::mouse, kivet::keyboard, kivet::none, kivet::quit}) {
    bool going_on = false;
    EXPECT_TRUE(
        logged([&] { going_on = handle_event(kind, *airfield_, *display(), counter); }).empty());
    EXPECT_EQ(going_on, kind != kivet::quit);
  }
  EXPECT_EQ(counter, 6);
  EXPECT_EQ(std::rand(), r[0]) << "nothing drawn from the generator";
}

// Making a new movement takes three allocations: the movement, its aircraft
// and its place in the queue. Whichever fails, nothing is queued and the
// periodic event is handled to its end.
TEST_F(Driver, AMovementWithoutMemoryIsLeftOutAndTheRunGoesOn) {
  auto movements = [this] {
    int count = 0;
    for (int i = 0; i < 3; ++i) {
      count += runway(i)->get_takeoff_queue()->size() + runway(i)->get_landing_queue()->size() +
               (runway(i)->get_current_activity() != nullptr);
    }
    return count;
  };
  for (int failing = 1; failing <= 3; ++failing) {
    SCOPED_TRACE(testing::Message() << "allocation " << failing << " fails");
    int counter = 13;
    fail_allocation(failing);
    EXPECT_TRUE(handle_event(kivet::periodic, *airfield_, *display(), counter));
    EXPECT_FALSE(allocation_failure_pending()) << "the failure came";
    fail_allocation(0);
    EXPECT_EQ(movements(), 0);
  }
  int counter = 13;
  handle_event(kivet::periodic, *airfield_, *display(), counter);
  EXPECT_EQ(movements(), 1) << "with memory, the movement comes";
}

class DriverDeathTest : public DisplayTest {};

TEST_F(DriverDeathTest, MissingRunwayStopsWithAReport) {
  Airfield airfield(display());
  const char* report = "Assertion failed: runway != NULL, file .*main\\.cpp, line [0-9]+";
  EXPECT_DEATH(queue_first_takeoff(airfield, *display()), report);
  EXPECT_DEATH(generate_traffic(airfield, *display()), report);
}

// kivet_main() as the library's entry calls it, on the headless backend.
class DriverRun : public HeadlessTest {
 protected:
  // Runs kivet_main() for `periodic_events` periodic events, then a quit,
  // and returns the next value of the generator. The driver seeds with the
  // time in seconds; a run that does not fit in one second is repeated.
  int run(int periodic_events) {
    for (int attempt = 0; attempt < 5; ++attempt) {
      headless::reset();
      headless::quit_after_ticks(periodic_events);
      const time_t before = std::time(nullptr);
      EXPECT_EQ(kivet_main(), 0);
      const int next = std::rand();
      if (std::time(nullptr) == before) {
        seed_ = static_cast<unsigned>(before);
        EXPECT_EQ(headless::ticks_delivered(), periodic_events);
        return next;
      }
    }
    ADD_FAILURE() << "no run fitted in one second";
    return 0;
  }

  // The value after those a run of `periodic_events` draws, modelled on its
  // own: four for the first takeoff, then per periodic event four for new
  // traffic on every 14th and a coin per idle runway. Valid while no
  // movement can have finished (a takeoff takes at least 24 steps).
  int expected_next(int periodic_events) {
    std::srand(seed_);
    int takeoffs[3] = {}, landings[3] = {};
    bool busy[3] = {};
    ++takeoffs[std::rand() % 3];
    for (int i = 0; i < 3; ++i) std::rand();
    for (int event = 1; event <= periodic_events; ++event) {
      if (event % 14 == 0) {
        const int runway = std::rand() % 3;
        ++(std::rand() % 2 == 0 ? takeoffs : landings)[runway];
        std::rand(), std::rand();
      }
      for (int i = 0; i < 3; ++i) {
        int* queue = busy[i] ? nullptr : std::rand() % 2 == 0 ? takeoffs : landings;
        if (queue != nullptr && queue[i] > 0) {
          --queue[i];
          busy[i] = true;
        }
      }
    }
    return std::rand();
  }

  unsigned seed_ = 0;
};

// Quit at once: only the first takeoff's draws, and the scene stays white
// until the first periodic event. New traffic comes on the 14th, not before.
TEST_F(DriverRun, NewTrafficOnTheFourteenthPeriodicEventAndNotBefore) {
  for (int events : {0, 13, 14}) {
    const int next = run(events);
    EXPECT_EQ(next, expected_next(events)) << events << " periodic events";
    EXPECT_EQ(bitmap_pixel(0, 200), palette_rgb(events == 0 ? WHITE : ICE_BLUE)) << events;
  }
}
