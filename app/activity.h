// Movements on a runway: a takeoff rolls from the runway's threshold to the
// right and climbs away; a landing comes down from the upper right, rolls out
// to the left and taxis up across the apron. Each movement owns the aircraft
// that flies it and advances it one step per tick.
#pragma once

#include <memory>

#include "app/aircraft.h"

class Display;

class Activity {
 public:
  virtual ~Activity() = default;
  Activity(const Activity&) = delete;
  Activity& operator=(const Activity&) = delete;

  // Advances the aircraft by one tick; true once the movement has finished,
  // in which case nothing moved.
  virtual bool step() = 0;
  virtual void draw() = 0;
  // The aircraft stays owned by the activity.
  virtual Aircraft* get_aircraft() { return aircraft_.get(); }

 protected:
  // Records the path and puts an aircraft of a random kind, with its random
  // speed, at the start point: two values from the generator, kind first.
  Activity(int start_x, int start_y, int end_x, int end_y, bool facing_left, Display* display);

  int start_x() const { return start_x_; }
  int start_y() const { return start_y_; }
  int end_x() const { return end_x_; }
  int end_y() const { return end_y_; }

 private:
  std::unique_ptr<Aircraft> aircraft_;
  int start_x_;
  int start_y_;
  int end_x_;
  int end_y_;
};

// From the runway's threshold, 9 below its centre line, off the right edge.
class Takeoff : public Activity {
 public:
  Takeoff(int runway_y, Display* display);
  ~Takeoff() override = default;
  bool step() override;
  void draw() override;
};

// From the right edge, 125 above the centre line, to the threshold and then
// across the apron to the left edge.
class Landing : public Activity {
 public:
  Landing(int runway_y, Display* display);
  ~Landing() override = default;
  bool step() override;
  void draw() override;
};
