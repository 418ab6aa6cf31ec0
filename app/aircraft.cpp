#include "app/aircraft.h"

#include <algorithm>

#include "app/random_between.h"
#include "kivet/display.h"
#include "kivet/kivet.h"

namespace {

constexpr int kSlowNose = 10;
constexpr int kFastNose = 16;

}  // namespace

Aircraft::Aircraft(int x, int y, bool facing_left, Display* display, int speed)
    : display_(display), speed_(speed), x_(x), y_(y), facing_left_(facing_left) {}

void Aircraft::draw_shape(int body_colour, int nose_length) {
  const int x = x_;
  const int y = y_;
  // Drawn facing right, the mirror image about x = X when facing left. The
  // fuselage reaches from 16 behind the reference point to 9 ahead of it.
  const int ahead = facing_left_ ? -1 : 1;
  const int nose_base = x + ahead * 9;
  const int tail_end = x - ahead * 16;
  display_->triangle(tail_end, y - 5, x - ahead * 4, y - 5, tail_end, y + 14, body_colour, 0);
  display_->triangle(nose_base, y - 5, nose_base + ahead * nose_length, y - 5, nose_base, y + 5,
                     body_colour, 0);
  display_->rectangle(std::min(nose_base, tail_end), y - 5, std::max(nose_base, tail_end), y + 5,
                      body_colour, 0);
  display_->rectangle(x - 4, y + 5, x + 4, y + 9, GRAY_20, 0);
  display_->rectangle(x - 4, y - 2, x + 4, y - 11, GRAY_20, 0);
  display_->circle(nose_base, y - 5, 2, BLACK);
  display_->circle(x - ahead * 7, y - 5, 2, BLACK);
}

SlowAircraft::SlowAircraft(int x, int y, bool facing_left, Display* display)
    : Aircraft(x, y, facing_left, display, random_between(5, 15)) {}

void SlowAircraft::draw() { draw_shape(WHITE, kSlowNose); }

FastAircraft::FastAircraft(int x, int y, bool facing_left, Display* display)
    : Aircraft(x, y, facing_left, display, random_between(10, 20)) {}

void FastAircraft::draw() { draw_shape(PINK, kFastNose); }
