// Decides where the next generated movement goes and what it is.
#pragma once

class Airfield;

enum class MovementKind { takeoff = 0, landing = 1 };

class TrafficChooser {
 public:
  // The airfield is not owned; it owns the chooser.
  explicit TrafficChooser(Airfield* airfield) : airfield_(airfield) {}
  TrafficChooser(const TrafficChooser&) = delete;
  TrafficChooser& operator=(const TrafficChooser&) = delete;

  // A random index from 0 to the airfield's runway count - 1.
  int choose_runway();
  // Sets `index` to a random runway, then picks a takeoff or a landing with
  // even chance: two values from the generator, runway first.
  MovementKind choose_movement(int& index);

 private:
  Airfield* airfield_;
};
