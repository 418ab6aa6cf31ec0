// Runway: its five shapes, waiting takeoffs drawn on top, the current
// movement, and deletion of everything it holds.
#include "app/runway.h"

#include <memory>

#include "app_test_support.h"

TEST(Runway, ReleasesItsMovementAndDeletesQueuesThenTheCurrentOne) {
  std::vector<int> deleted;
  {
    Runway runway(-185, nullptr);
    runway.release_current_activity();
    EXPECT_EQ(runway.get_current_activity(), nullptr);
    runway.set_current_activity(std::make_unique<Traced<Landing>>(9, &deleted));
    runway.release_current_activity();
    EXPECT_EQ(deleted, std::vector<int>{9});
    EXPECT_EQ(runway.get_current_activity(), nullptr);

    deleted.clear();
    runway.get_takeoff_queue()->enqueue(std::make_unique<Traced<Takeoff>>(1, &deleted));
    runway.get_takeoff_queue()->enqueue(std::make_unique<Traced<Takeoff>>(2, &deleted));
    runway.get_landing_queue()->enqueue(std::make_unique<Traced<Landing>>(3, &deleted));
    runway.set_current_activity(std::make_unique<Traced<Landing>>(4, &deleted));
  }
  EXPECT_EQ(deleted, (std::vector<int>{2, 1, 3, 4}));
}

class RunwayDrawing : public DisplayTest {};

TEST_F(RunwayDrawing, FiveShapesThenTheWaitingTakeoffsOnly) {
  const std::vector<std::vector<std::string>> shapes = {
      {"50% gray rectangle with bounding box (-135,33) to (300,-12), filled",
       "white line from (-135,15) to (300,15), width 2",
       "50% gray rectangle with bounding box (-300,15) to (-135,-12), filled",
       "50% gray triangle at (-300,37), (-135,33), (-300,60)",
       "50% gray triangle at (-300,37), (-135,33), (-135,15)"},
      {"50% gray rectangle with bounding box (-135,-67) to (300,-112), filled",
       "white line from (-135,-85) to (300,-85), width 2",
       "50% gray rectangle with bounding box (-300,-85) to (-135,-112), filled",
       "50% gray triangle at (-300,-62), (-135,-67), (-300,-40)",
       "50% gray triangle at (-300,-62), (-135,-67), (-135,-85)"}};
  Runway high(15, display());
  EXPECT_EQ(logged([&] { high.draw(); }), shapes[0]);
  Runway low(-85, display());
  EXPECT_EQ(logged([&] { low.draw(); }), shapes[1]);

  low.get_landing_queue()->enqueue(std::make_unique<Landing>(-85, display()));
  low.set_current_activity(std::make_unique<Takeoff>(-85, display()));
  seed_movement(true, 11);
  low.get_takeoff_queue()->enqueue(std::make_unique<Takeoff>(-85, display()));
  std::vector<std::string> expected = shapes[1];
  for (const std::string& line : aircraft_lines("pink", -175, -94, false)) expected.push_back(line);
  EXPECT_EQ(logged([&] { low.draw(); }), expected);
}
