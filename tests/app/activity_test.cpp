// Takeoffs and landings: the two worked runs tick by tick, and the amounts
// and finishing tick for every speed.
#include "app/activity.h"

#include <cstdlib>
#include <utility>

#include "app_test_support.h"

namespace {

using Position = std::pair<int, int>;

Position position_of(Activity& a) { return {a.get_aircraft()->get_x(), a.get_aircraft()->get_y()}; }

// Runs `a` to its end, checking each step against `expected`, then the
// finishing step, which moves nothing.
void expect_run(Activity& a, const std::vector<Position>& expected) {
  for (size_t tick = 0; tick < expected.size(); ++tick) {
    ASSERT_FALSE(a.step()) << "tick " << tick + 1;
    ASSERT_EQ(position_of(a), expected[tick]) << "tick " << tick + 1;
  }
  EXPECT_TRUE(a.step());
  EXPECT_EQ(position_of(a), expected.back());
}

}  // namespace

TEST(Activity, TakeoffAtSpeedTenRollsThenClimbsFromTick29AndFinishesOnTick45) {
  seed_movement(false, 10);
  Takeoff takeoff(15, nullptr);
  std::vector<Position> expected;
  for (int t = 1; t <= 28; ++t) expected.emplace_back(-135 + 10 * t, 6);
  for (int t = 29; t <= 44; ++t) expected.emplace_back(-135 + 10 * t, 14 + 8 * (t - 29));
  expect_run(takeoff, expected);
  EXPECT_EQ(expected.back(), Position(305, 134));
}

TEST(Activity, LandingAtSpeedTenDescendsRollsOutTaxisAndFinishesOnTick61) {
  seed_movement(true, 10);
  Landing landing(15, nullptr);
  std::vector<Position> expected;
  for (int t = 1; t <= 15; ++t) expected.emplace_back(300 - 10 * t, 140 - 8 * t);
  for (int t = 16; t <= 43; ++t) expected.emplace_back(300 - 10 * t, 20);
  for (int t = 44; t <= 60; ++t) expected.emplace_back(300 - 10 * t, 22 + 2 * (t - 44));
  expect_run(landing, expected);
  EXPECT_EQ(expected.back(), Position(-300, 54));
}

// Every speed of either kind: the takeoff climbs its amount from x = 148 on
// (speed 6 passes x = 147 level); the landing descends that amount while it
// was above its runway (y 24) and right of the threshold, and rises its taxi
// amount left of it. Both finish on the step after reaching x = 300 or -300,
// exactly (speeds 5 and 15; 5, 6, 10, 12 and 15) or beyond.
TEST(Activity, ClimbDescentTaxiAndFinishForEverySpeed) {
  const int climb[] = {4, 4, 5, 6, 7, 8, 9, 9, 10, 11, 12, 13, 13, 14, 15};
  const int taxi[] = {1, 1, 1, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5};
  for (int kind = 0; kind < 2; ++kind) {
    for (int speed = 5 + 5 * kind; speed <= 14 + 5 * kind; ++speed) {
      SCOPED_TRACE(testing::Message() << "speed " << speed << " kind " << kind);
      seed_movement(kind == 1, speed);
      Takeoff takeoff(15, nullptr);
      std::vector<Position> expected;
      for (Position p(-135, 6); p.first < 300;) {
        p.first += speed;
        if (p.first >= 148) p.second += climb[speed - 5];
        expected.push_back(p);
      }
      expect_run(takeoff, expected);

      seed_movement(kind == 1, speed);
      Landing landing(15, nullptr);
      expected.clear();
      for (Position p(300, 140); p.first > -300;) {
        p.first -= speed;
        if (p.second > 24 && p.first >= -135) p.second -= climb[speed - 5];
        if (p.first < -135) p.second += taxi[speed - 5];
        expected.push_back(p);
      }
      expect_run(landing, expected);
    }
  }
}
