// Shared helpers for the simulation's tests: control of the random
// generator, a display with logging on, movements that report their deletion.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/activity.h"
#include "kivet/display.h"
#include "support/test_support.h"

// The first `count` values of std::rand() after std::srand(seed).
std::vector<int> rand_sequence(unsigned seed, int count);
// The smallest seed whose first `count` values satisfy `accept`.
unsigned find_seed(int count, const std::function<bool(const std::vector<int>&)>& accept);
// Seeds so that the next takeoff or landing gets this aircraft kind and speed.
void seed_movement(bool fast, int speed);

// A library opened through its Display, logging on.
class DisplayTest : public HeadlessTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  Display* display() { return display_.get(); }
  // The lines that `action` writes (the text window keeps the last 64).
  static std::vector<std::string> logged(const std::function<void()>& action);

 private:
  std::unique_ptr<Display> display_;
};

// The seven log lines of an aircraft's drawing; `body` is the colour's name.
std::vector<std::string> aircraft_lines(const std::string& body, int x, int y, bool facing_left);

// A movement that adds its id to a list when it is deleted.
template <typename Movement>
class Traced : public Movement {
 public:
  Traced(int id, std::vector<int>* deleted, int runway_y = 15, Display* display = nullptr)
      : Movement(runway_y, display), id_(id), deleted_(deleted) {}
  ~Traced() override { deleted_->push_back(id_); }

 private:
  int id_;
  std::vector<int>* deleted_;
};
