#include "app/traffic_chooser.h"

#include "app/airfield.h"
#include "app/random_between.h"

int TrafficChooser::choose_runway() { return random_between(0, airfield_->runway_count()); }

MovementKind TrafficChooser::choose_movement(int& index) {
  index = choose_runway();
  return static_cast<MovementKind>(random_between(0, 2));
}
