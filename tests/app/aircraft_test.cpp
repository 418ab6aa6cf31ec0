// Aircraft: the seven shapes of the drawing for both kinds and facings.
#include "app/aircraft.h"

#include "app_test_support.h"

class AircraftDrawing : public DisplayTest {};

TEST_F(AircraftDrawing, SevenShapesForBothKindsAndFacings) {
  SlowAircraft slow(0, 0, false, display());
  const std::vector<std::string> slow_right = {
      "white triangle at (-16,-5), (-4,-5), (-16,14)",
      "white triangle at (9,-5), (19,-5), (9,5)",
      "white rectangle with bounding box (-16,5) to (9,-5), filled",
      "20% gray rectangle with bounding box (-4,9) to (4,5), filled",
      "20% gray rectangle with bounding box (-4,-2) to (4,-11), filled",
      "black circle at (9,-5), radius 2",
      "black circle at (-7,-5), radius 2"};
  EXPECT_EQ(logged([&] { slow.draw(); }), slow_right);
  EXPECT_EQ(aircraft_lines("white", 0, 0, false), slow_right);

  FastAircraft fast(100, 40, true, display());
  const std::vector<std::string> fast_left = {
      "pink triangle at (116,35), (104,35), (116,54)",
      "pink triangle at (91,35), (75,35), (91,45)",
      "pink rectangle with bounding box (91,45) to (116,35), filled",
      "20% gray rectangle with bounding box (96,49) to (104,45), filled",
      "20% gray rectangle with bounding box (96,38) to (104,29), filled",
      "black circle at (91,35), radius 2",
      "black circle at (107,35), radius 2"};
  EXPECT_EQ(logged([&] { fast.draw(); }), fast_left);
  EXPECT_EQ(aircraft_lines("pink", 100, 40, true), fast_left);

  fast.move_x_by(220);  // wholly outside the scene: still all seven calls
  fast.move_y_by(-3);
  EXPECT_EQ(logged([&] { fast.draw(); }), aircraft_lines("pink", 320, 37, true));
}
