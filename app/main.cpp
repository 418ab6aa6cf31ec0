// The application's driver: builds the display and the airfield, queues a
// first takeoff, and advances the simulation on every periodic event until
// the user quits. New traffic arrives on every 14th periodic event.
#include "app/main.h"

#include <cstddef>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <new>

#include "app/activity.h"
#include "app/check.h"
#include "kivet/kivet.h"

namespace {

constexpr int kTicksPerMovement = 14;

// Creates a movement for the runway at height `runway_y` and queues it. When
// there is no memory for the movement, its aircraft or its place in the
// queue, nothing is queued and the simulation goes on without it.
template <typename Movement>
void queue_new(EventQueue* queue, int runway_y, Display& display) {
  try {
    queue->enqueue(std::make_unique<Movement>(runway_y, &display));
  } catch (const std::bad_alloc&) {
  }
}

}  // namespace

bool traffic_due(int& counter) {
  if (counter == kTicksPerMovement - 1) {
    counter = 0;
    return true;
  }
  ++counter;
  return false;
}

void add_runways(Airfield& airfield) {
  airfield.add_runway(15);
  airfield.add_runway(-85);
  airfield.add_runway(-185);
}

void queue_first_takeoff(Airfield& airfield, Display& display) {
  int index = 0;
  airfield.choose_traffic(index);  // only the runway is used
  Runway* runway = airfield.get_runway(index);
  APP_CHECK(runway != NULL);
  queue_new<Takeoff>(runway->get_takeoff_queue(), runway->get_y(), display);
}

void generate_traffic(Airfield& airfield, Display& display) {
  int index = 0;
  const MovementKind kind = airfield.choose_traffic(index);
  Runway* runway = airfield.get_runway(index);
  APP_CHECK(runway != NULL);
  switch (kind) {
    case MovementKind::takeoff:
      queue_new<Takeoff>(runway->get_takeoff_queue(), runway->get_y(), display);
      break;
    case MovementKind::landing:
      queue_new<Landing>(runway->get_landing_queue(), runway->get_y(), display);
      break;
  }
}

bool handle_event(EventKind kind, Airfield& airfield, Display& display, int& tick_counter) {
  switch (kind) {
    case kivet::periodic:
      // A movement generated now can already leave its queue in this update.
      if (traffic_due(tick_counter)) generate_traffic(airfield, display);
      airfield.update();
      return true;
    case kivet::quit:
      return false;
    default:
      return true;
  }
}

int kivet_main() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  Display display;
  display.clear(WHITE);
  display.set_animation(kivet::run);
  Airfield airfield(&display);
  add_runways(airfield);
  queue_first_takeoff(airfield, display);

  int tick_counter = 0;
  bool quit = false;
  while (!quit) {
    int x, y;
    char key;
    quit = !handle_event(display.get_next_event(x, y, key), airfield, display, tick_counter);
  }
  // The airfield, with every movement still waiting or running, goes first,
  // then the display, which closes the library.
  return 0;
}
