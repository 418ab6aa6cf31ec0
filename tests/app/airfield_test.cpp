// Airfield: runway slots, the frame of one update, the coin tosses of idle
// runways, teardown.
#include "app/airfield.h"

#include <cstdlib>
#include <memory>

#include "app_test_support.h"

TEST(Airfield, AtMostThreeRunwaysAndTheirIndices) {
  Airfield airfield(nullptr);
  EXPECT_EQ(airfield.get_runway(0), nullptr);
  for (int y : {15, -85, -185}) EXPECT_TRUE(airfield.add_runway(y));
  Runway* last = airfield.get_runway(2);
  EXPECT_FALSE(airfield.add_runway(50));
  EXPECT_EQ(airfield.runway_count(), 3);
  EXPECT_EQ(airfield.get_runway(2), last);
  EXPECT_EQ(airfield.get_runway(1)->get_y(), -85);
  EXPECT_EQ(airfield.get_runway(-1), nullptr);
  EXPECT_EQ(airfield.get_runway(3), nullptr);
}

TEST(Airfield, TeardownDeletesEveryMovementRunwayByRunway) {
  std::vector<int> deleted;
  {
    Airfield airfield(nullptr);
    for (int y : {15, -85, -185}) airfield.add_runway(y);
    airfield.get_runway(2)->get_takeoff_queue()->enqueue(
        std::make_unique<Traced<Takeoff>>(1, &deleted));
    airfield.get_runway(1)->get_landing_queue()->enqueue(
        std::make_unique<Traced<Landing>>(2, &deleted));
    airfield.get_runway(0)->set_current_activity(std::make_unique<Traced<Takeoff>>(3, &deleted));
  }
  EXPECT_EQ(deleted, (std::vector<int>{3, 2, 1}));
}

class AirfieldUpdate : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    airfield_ = std::make_unique<Airfield>(display());
    for (int y : {15, -85, -185}) airfield_->add_runway(y);
  }
  void TearDown() override {
    airfield_.reset();
    DisplayTest::TearDown();
  }
  Runway* runway(int index) { return airfield_->get_runway(index); }

  std::unique_ptr<Airfield> airfield_;
};

// From bottom to top: white, sky, ground, terminal, label, runways 0 to 2
// with their waiting takeoffs, then the movements after their step.
TEST_F(AirfieldUpdate, FrameLayersSceneRunwaysWaitingTakeoffsThenMovingAircraft) {
  seed_movement(true, 13);
  runway(0)->set_current_activity(std::make_unique<Takeoff>(15, display()));
  seed_movement(false, 9);
  runway(2)->get_takeoff_queue()->enqueue(std::make_unique<Takeoff>(-185, display()));
  std::srand(find_seed(2, [](const std::vector<int>& v) { return v[1] % 2 == 1; }));
  const std::vector<std::string> lines = logged([&] { airfield_->update(); });

  const std::vector<std::string> scene = {
      "Flushing the graphics window",
      "Clearing the graphics window",
      "white rectangle with bounding box (-300,250) to (300,-250), filled",
      "ice blue rectangle with bounding box (-300,250) to (300,125), filled",
      "sea green rectangle with bounding box (-300,125) to (300,-250), filled",
      "peach rectangle with bounding box (-250,210) to (-100,70), filled",
      "black text at (-250,190), \" Seattle Tacoma \"",
      "50% gray rectangle with bounding box (-135,33) to (300,-12), filled"};
  ASSERT_EQ(lines.size(), scene.size() - 1 + 3 * 5 + 2 * 7);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8), scene);
  EXPECT_EQ(lines[11], "50% gray triangle at (-300,37), (-135,33), (-135,15)");
  EXPECT_EQ(lines[12], "50% gray rectangle with bounding box (-135,-67) to (300,-112), filled");
  EXPECT_EQ(lines[21], "50% gray triangle at (-300,-162), (-135,-167), (-135,-185)");
  std::vector<std::string> aircraft = aircraft_lines("white", -175, -194, false);
  for (const std::string& line : aircraft_lines("pink", -122, 6, false)) aircraft.push_back(line);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 22, lines.end()), aircraft);
}

TEST_F(AirfieldUpdate, EachIdleRunwayTossesACoinForItsQueueInIndexOrder) {
  KIVET_set_logging(0);
  for (unsigned seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    Airfield airfield(display());
    for (int y : {15, -85, -185}) airfield.add_runway(y);
    Runway* only_takeoff = airfield.get_runway(0);
    Runway* busy = airfield.get_runway(1);
    Runway* both = airfield.get_runway(2);
    seed_movement(false, 8);
    only_takeoff->get_takeoff_queue()->enqueue(std::make_unique<Takeoff>(15, display()));
    busy->set_current_activity(std::make_unique<Landing>(-85, display()));
    both->get_takeoff_queue()->enqueue(std::make_unique<Takeoff>(-185, display()));
    both->get_landing_queue()->enqueue(std::make_unique<Landing>(-185, display()));
    Activity* takeoff_0 = only_takeoff->get_takeoff_queue()->item_at(1);
    Activity* takeoff_2 = both->get_takeoff_queue()->item_at(1);
    Activity* landing_2 = both->get_landing_queue()->item_at(1);

    const std::vector<int> r = rand_sequence(seed, 3);
    std::srand(seed);
    airfield.update();
    ASSERT_EQ(std::rand(), r[2]) << "no toss for the busy runway";
    EXPECT_EQ(only_takeoff->get_current_activity(), r[0] % 2 == 0 ? takeoff_0 : nullptr);
    EXPECT_EQ(both->get_current_activity(), r[1] % 2 == 0 ? takeoff_2 : landing_2);
    if (r[0] % 2 == 0) {
      EXPECT_EQ(takeoff_0->get_aircraft()->get_x(), -127) << "steps in the same tick";
    }
  }
}

TEST_F(AirfieldUpdate, FinishedMovementIsDrawnOnceMoreThenDeleted) {
  std::vector<int> deleted;
  seed_movement(false, 6);
  runway(1)->set_current_activity(std::make_unique<Traced<Landing>>(1, &deleted, -85, display()));
  runway(1)->get_current_activity()->get_aircraft()->set_x(-300);
  const std::vector<std::string> lines = logged([&] { airfield_->update(); });
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 7, lines.end()),
            aircraft_lines("white", -300, 40, true));
  EXPECT_EQ(deleted, std::vector<int>{1});
  EXPECT_EQ(runway(1)->get_current_activity(), nullptr);
}
