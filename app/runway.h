// One runway of the airfield: its strip, centre line and apron, the two
// queues of movements waiting for it, and the one movement using it now.
#pragma once

#include <memory>

#include "app/activity.h"
#include "app/eventqueue.h"

class Display;

class Runway {
 public:
  // `y` is the height of the centre line; the display is not owned.
  Runway(int y, Display* display);
  // Deletes the takeoff queue, then the landing queue (with every movement
  // still waiting), then the current movement.
  ~Runway();
  Runway(const Runway&) = delete;
  Runway& operator=(const Runway&) = delete;

  int get_y() const { return y_; }
  // The movement using the runway, lent; null while the runway is idle.
  Activity* get_current_activity() const { return current_activity_.get(); }
  // Takes ownership; meant for an idle runway (null keeps it idle).
  void set_current_activity(std::unique_ptr<Activity> activity);
  // Deletes the current movement, if any; the runway is idle afterwards.
  void release_current_activity();
  TakeoffQueue* get_takeoff_queue() const { return takeoff_queue_.get(); }
  LandingQueue* get_landing_queue() const { return landing_queue_.get(); }

  // The strip, its centre line, the apron with its exit taxiway, and the
  // waiting takeoffs on top; neither the current movement nor the landings.
  void draw();

 private:
  int y_;
  Display* display_;
  std::unique_ptr<Activity> current_activity_;
  std::unique_ptr<TakeoffQueue> takeoff_queue_;
  std::unique_ptr<LandingQueue> landing_queue_;
};
