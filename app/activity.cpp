#include "app/activity.h"

#include "app/random_between.h"
#include "app/scene.h"

namespace {

// A takeoff climbs, and a landing descends, over this share of the path's
// length at the right end, by this height in all.
constexpr double kClimbShare = 0.35;
constexpr int kClimbHeight = 125;
// Height of the start of a landing, and of the end of a takeoff, above the
// centre line.
constexpr int kApproachHeight = 125;
// Taxiing from the threshold to the left edge a landing rises about this much.
constexpr int kTaxiRise = 45;
// The aircraft's reference point lies this far from the centre line: below
// it for a takeoff, above it for a landing.
constexpr double kWheelOffset = 9.0;

std::unique_ptr<Aircraft> new_random_aircraft(int x, int y, bool facing_left, Display* display) {
  if (random_between(0, 2) == 0) return std::make_unique<SlowAircraft>(x, y, facing_left, display);
  return std::make_unique<FastAircraft>(x, y, facing_left, display);
}

// The climb (or, for a negative distance, descent) per tick for an aircraft
// that covers `distance` along x per tick on a path of `length` along x.
int climb_per_tick(int distance, int length) {
  return static_cast<int>((distance * kClimbHeight) / (length * kClimbShare));
}

}  // namespace

Activity::Activity(int start_x, int start_y, int end_x, int end_y, bool facing_left,
                   Display* display)
    : start_x_(start_x), start_y_(start_y), end_x_(end_x), end_y_(end_y) {
  aircraft_ = new_random_aircraft(start_x, start_y, facing_left, display);
}

Takeoff::Takeoff(int runway_y, Display* display)
    : Activity(kRunwayThreshold, static_cast<int>(runway_y - kWheelOffset), kSceneRight,
               runway_y + kApproachHeight, false, display) {}

bool Takeoff::step() {
  Aircraft* aircraft = get_aircraft();
  if (aircraft->get_x() >= end_x()) return true;
  const int speed = aircraft->get_speed();
  aircraft->move_x_by(speed);
  const double climb_from = start_x() + (end_x() - start_x()) * (1.0 - kClimbShare);
  if (aircraft->get_x() > climb_from) {
    aircraft->move_y_by(climb_per_tick(speed, end_x() - start_x()));
  }
  return false;
}

void Takeoff::draw() { get_aircraft()->draw(); }

Landing::Landing(int runway_y, Display* display)
    : Activity(kSceneRight, runway_y + kApproachHeight, kRunwayThreshold,
               static_cast<int>(runway_y + kWheelOffset), true, display) {}

bool Landing::step() {
  Aircraft* aircraft = get_aircraft();
  if (aircraft->get_x() <= kSceneLeft) return true;
  const int distance = -aircraft->get_speed();
  aircraft->move_x_by(distance);
  // Descend while above the runway's height; the last descent may end below
  // it, and the aircraft then rolls on at that height.
  if (aircraft->get_y() > end_y() && aircraft->get_x() >= end_x()) {
    aircraft->move_y_by(climb_per_tick(distance, start_x() - end_x()));
  }
  // Past the threshold the aircraft taxis up across the apron.
  if (aircraft->get_x() < end_x()) {
    aircraft->move_y_by((-distance * kTaxiRise) / (end_x() - kSceneLeft));
  }
  return false;
}

void Landing::draw() { get_aircraft()->draw(); }
