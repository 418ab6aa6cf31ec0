#include "app/airfield.h"

#include <utility>

#include "app/random_between.h"
#include "app/scene.h"
#include "kivet/display.h"
#include "kivet/kivet.h"

namespace {

constexpr int kHorizon = 125;
constexpr int kTerminalLeft = -250;
constexpr int kTerminalBottom = 70;
constexpr int kTerminalRight = -100;
constexpr int kTerminalTop = 210;
// The label's line of text stands on this point, in the terminal's upper part.
constexpr int kLabelX = -250;
constexpr int kLabelY = 190;
constexpr int kLabelSize = 20;
constexpr const char* kLabel = " Seattle Tacoma ";

}  // namespace

Airfield::Airfield(Display* display)
    : display_(display), chooser_(std::make_unique<TrafficChooser>(this)) {}

Airfield::~Airfield() {
  for (int i = 0; i < count_; ++i) runways_[i].reset();
  chooser_.reset();
}

bool Airfield::add_runway(int y) {
  if (count_ == kMaxRunways) return false;
  runways_[count_] = std::make_unique<Runway>(y, display_);
  ++count_;
  return true;
}

Runway* Airfield::get_runway(int index) const {
  if (index < 0 || index >= count_) return nullptr;
  return runways_[index].get();
}

MovementKind Airfield::choose_traffic(int& index) { return chooser_->choose_movement(index); }

void Airfield::update() {
  draw_scene();
  for (int i = 0; i < count_; ++i) {
    Runway& runway = *runways_[i];
    if (runway.get_current_activity() == nullptr) {
      // The coin picks the queue whatever the queues hold: when it picks an
      // empty one the runway stays idle until the next tick.
      if (random_between(0, 2) == 0) {
        runway.set_current_activity(runway.get_takeoff_queue()->dequeue());
      } else {
        runway.set_current_activity(runway.get_landing_queue()->dequeue());
      }
    }
    Activity* movement = runway.get_current_activity();
    if (movement == nullptr) continue;
    const bool finished = movement->step();
    movement->draw();
    if (finished) runway.release_current_activity();
  }
}

void Airfield::draw_scene() {
  display_->clear(WHITE);
  display_->rectangle(kSceneLeft, kHorizon, kSceneRight, kSceneTop, ICE_BLUE, 0);
  display_->rectangle(kSceneLeft, kSceneBottom, kSceneRight, kHorizon, SEA_GREEN, 0);
  display_->rectangle(kTerminalLeft, kTerminalBottom, kTerminalRight, kTerminalTop, PEACH, 0);
  display_->write_text(kLabelX, kLabelY, kLabel, BLACK, kLabelSize);
  for (int i = 0; i < count_; ++i) runways_[i]->draw();
}
