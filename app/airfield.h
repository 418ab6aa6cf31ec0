// The whole scene: sky, ground, the terminal with its name, and up to three
// runways with their traffic. Once per tick `update` redraws everything and
// gives every runway one step.
#pragma once

#include <memory>

#include "app/runway.h"
#include "app/traffic_chooser.h"

class Display;

class Airfield {
 public:
  static constexpr int kMaxRunways = 3;

  // The display is not owned.
  explicit Airfield(Display* display);
  // Deletes the runways in the order they were added, then the chooser.
  ~Airfield();
  Airfield(const Airfield&) = delete;
  Airfield& operator=(const Airfield&) = delete;

  // Adds a runway with its centre line at height y; false, changing
  // nothing, when the airfield already has three.
  bool add_runway(int y);
  // The runway at an index from 0 to runway_count() - 1, lent; null outside.
  Runway* get_runway(int index) const;
  int runway_count() const { return count_; }
  // A random runway index and movement kind for new traffic.
  MovementKind choose_traffic(int& index);

  // One tick: redraws the scene, then, runway by runway, lets an idle runway
  // take its next movement from a queue picked by a coin toss, and steps and
  // draws the current movement, deleting it once it has finished.
  void update();
  void draw_scene();

 private:
  Display* display_;
  std::unique_ptr<Runway> runways_[kMaxRunways];
  int count_ = 0;
  std::unique_ptr<TrafficChooser> chooser_;
};
