#include "app/runway.h"

#include <utility>

#include "app/scene.h"
#include "kivet/display.h"
#include "kivet/kivet.h"

Runway::Runway(int y, Display* display)
    : y_(y),
      display_(display),
      takeoff_queue_(std::make_unique<TakeoffQueue>()),
      landing_queue_(std::make_unique<LandingQueue>()) {}

Runway::~Runway() {
  takeoff_queue_.reset();
  landing_queue_.reset();
  current_activity_.reset();
}

void Runway::set_current_activity(std::unique_ptr<Activity> activity) {
  current_activity_ = std::move(activity);
}

void Runway::release_current_activity() { current_activity_.reset(); }

void Runway::draw() {
  // The strip is not centred on its centre line: it reaches 27 below it and
  // 18 above. The exit taxiway leaves the threshold between y and y + 18 and
  // rises to the left edge, where it spans y + 22.5 (truncated) to y + 45.
  const int taxiway_low = static_cast<int>(y_ + 22.5);
  display_->rectangle(kRunwayThreshold, y_ - 27, kSceneRight, y_ + 18, GRAY_50, 0);
  display_->line(kRunwayThreshold, y_, kSceneRight, y_, WHITE, 2);
  display_->rectangle(kSceneLeft, y_ - 27, kRunwayThreshold, y_, GRAY_50, 0);
  display_->triangle(kSceneLeft, taxiway_low, kRunwayThreshold, y_ + 18, kSceneLeft, y_ + 45,
                     GRAY_50, 0);
  display_->triangle(kSceneLeft, taxiway_low, kRunwayThreshold, y_ + 18, kRunwayThreshold, y_,
                     GRAY_50, 0);
  takeoff_queue_->draw_all();
}
