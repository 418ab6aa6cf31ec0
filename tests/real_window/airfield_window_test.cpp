// The simulation in a real window: its picture read back from the screen
// (sky, ground, terminal and label, runways, aircraft where movements can put
// them), and the animation control of the "Run" menu's shortcuts: Ctrl+H
// stops the picture, Ctrl+F advances it by exactly one step.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "real_window/window_fixture.h"

namespace xtest {
namespace {

using namespace rgb;

// Centre-line heights of the three runways.
constexpr int RUNWAYS[3] = {15, -85, -185};

struct FoundAircraft {
  int x = 0;  // reference point, display coordinates
  int y = 0;
  bool facing_left = false;
  uint32_t body = 0;  // WHITE (slow) or PINK (fast)
};

std::string describe(const FoundAircraft& a) {
  char text[96];
  snprintf(text, sizeof text, "%s aircraft facing %s at (%d, %d)",
           a.body == PINK ? "pink" : "white", a.facing_left ? "left" : "right", a.x, a.y);
  return text;
}

bool is_scene_colour(uint32_t c) {
  return c == WHITE || c == BLACK || c == ICE_BLUE || c == SEA_GREEN || c == PEACH ||
         c == GRAY_50 || c == GRAY_20 || c == PINK;
}

// Colours that only aircraft use (white bodies share theirs with the
// centre lines).
bool is_aircraft_colour(uint32_t c) { return c == GRAY_20 || c == PINK || c == BLACK; }

bool all_of_colour(const Picture& p, uint32_t colour, int left, int top, int right, int bottom) {
  for (int y = bottom; y <= top; ++y) {
    for (int x = left; x <= right; ++x) {
      if (p.at(x, y) != colour) return false;
    }
  }
  return true;
}

// Every aircraft drawn whole: an aircraft with its reference point at (x, y)
// has a 9 x 5 wing above it (rows y + 5 to y + 9) and a 9 x 10 wing through
// it (rows y - 11 to y - 2), both 20% gray, its body colour between them,
// and black wheels 9 ahead of and 7 behind it on row y - 5. Covered aircraft
// may be missed.
std::vector<FoundAircraft> find_aircraft(const Picture& p) {
  std::vector<FoundAircraft> found;
  for (int y = -250 + 12; y <= 250 - 10; ++y) {
    for (int x = -300 + 22; x <= 300 - 22; ++x) {
      if (p.at(x, y + 7) != GRAY_20 || p.at(x, y - 6) != GRAY_20) continue;
      if (!all_of_colour(p, GRAY_20, x - 4, y + 9, x + 4, y + 5) ||
          !all_of_colour(p, GRAY_20, x - 4, y - 2, x + 4, y - 11)) {
        continue;
      }
      const uint32_t body = p.at(x, y + 1);
      if ((body != WHITE && body != PINK) || p.at(x, y - 1) != body || p.at(x, y + 4) != body) {
        continue;
      }
      // A wheel is a disc 5 pixels across around its centre.
      auto wheel = [&](int centre) {
        return p.at(centre, y - 5) == BLACK && p.at(centre - 2, y - 5) == BLACK &&
               p.at(centre + 2, y - 5) == BLACK && p.at(centre, y - 7) == BLACK &&
               p.at(centre, y - 3) == BLACK;
      };
      for (int ahead : {1, -1}) {
        if (wheel(x + 9 * ahead) && wheel(x - 7 * ahead) && p.at(x + 6 * ahead, y) == body &&
            p.at(x - 12 * ahead, y) == body) {
          found.push_back(FoundAircraft{x, y, ahead < 0, body});
        }
      }
    }
  }
  return found;
}

// "" when a movement can put the aircraft where it is, else why not. The
// reference point of a takeoff lies 9 below its runway's centre line: in the
// queue at x = -175, -215, ..., rolling from x = -135 (5 to 19 a step) and
// climbing beyond x = 148 by about 0.82 of each step. A landing comes down
// from (300, runway + 125) by about 0.82 of each step to runway + 9 (a last
// step may go up to 15 lower), rolls on and rises across the apron by about
// a quarter of each step.
std::string implausible_place(const FoundAircraft& a) {
  for (int r : RUNWAYS) {
    const int x = a.x, y = a.y;
    if (!a.facing_left) {
      const int rise = y - (r - 9);
      if (x <= -175 && (-175 - x) % 40 == 0 && rise == 0) return "";
      if (x >= -130 && x <= 147 && rise == 0) return "";
      if (x >= 148 && rise > (x - 148) / 2 && rise <= x - 148 + 16) return "";
    } else if (x >= -135) {
      const int from_start = 300 - x;
      const int highest = std::max(r + 9, r + 126 - from_start * 66 / 100);
      const int lowest = std::max(r - 6, r + 124 - from_start * 83 / 100);
      if (y >= lowest && y <= highest) return "";
    } else {
      if (y >= r - 6 && y <= r + 9 + (-135 - x) * 28 / 100 + 6) return "";
    }
  }
  return describe(a) + " is where no movement can be";
}

class AirfieldWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_FALSE(dir_.path().empty());
    start(AIRFIELD_PATH, dir_.path());
  }

  void TearDown() override {
    if (program_.running()) quit_and_expect_clean_exit();
  }

  // Halts the simulation at a moment when a takeoff is rolling early enough
  // on its runway to roll on for a few more steps; returns the still picture
  // and that takeoff.
  bool halt_with_rolling_takeoff(int timeout_ms, Picture* halted, FoundAircraft* takeoff) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
      key("ctrl+h");
      *halted = wait_still(1000, 5000);
      if (halted->empty()) return false;
      for (const FoundAircraft& a : find_aircraft(*halted)) {
        if (!a.facing_left && a.x >= -130 && a.x <= 100 && implausible_place(a).empty()) {
          *takeoff = a;
          return true;
        }
      }
      key("ctrl+a");
      pause_ms(300);
    }
    return false;
  }

  TempDir dir_;
};

// The checks of one picture of the running simulation; the aircraft in it
// are added to `aircraft`, and `checked_columns` counts for each runway the
// columns whose runway profile could be checked (not hidden by aircraft).
void check_scene(const Picture& p, std::vector<FoundAircraft>& aircraft, int checked_columns[3]) {
  // Nothing but the scene's colours: no smoothing, no stray palette entry.
  int strays = 0;
  for (uint32_t colour : p.image().pixels) strays += !is_scene_colour(colour);
  EXPECT_EQ(strays, 0) << "pixels in colours that the scene does not use";

  // Sky above y = 125 and ground up to it, where no aircraft flies.
  for (int x = -300; x <= 100; ++x) {
    if (x >= -250 && x <= -100) continue;  // the terminal
    EXPECT_EQ(p.at(x, 126), ICE_BLUE) << "x " << x;
    EXPECT_EQ(p.at(x, 125), SEA_GREEN) << "x " << x;
  }
  EXPECT_TRUE(all_of_colour(p, ICE_BLUE, -90, 250, 100, 220));
  EXPECT_TRUE(all_of_colour(p, ICE_BLUE, -300, 250, -260, 130));
  for (int y : {110, -40, -140, -230}) {
    EXPECT_TRUE(all_of_colour(p, SEA_GREEN, -90, y, 100, y)) << "ground at y " << y;
  }

  // The terminal, from (-250, 70) to (-100, 210), with its label standing on
  // (-250, 190): black glyphs in the rows above that point, none lower.
  // (Landings taxiing off runway 15 may cover its lowest rows.)
  EXPECT_TRUE(all_of_colour(p, PEACH, -250, 185, -100, 85));
  EXPECT_EQ(p.at(-251, 100), SEA_GREEN);
  EXPECT_EQ(p.at(-99, 100), SEA_GREEN);
  EXPECT_EQ(p.at(-175, 69), SEA_GREEN);
  EXPECT_EQ(p.at(-247, 210), PEACH);
  EXPECT_EQ(p.at(-247, 211), ICE_BLUE);
  int label_left = 300, label_right = -300, label_bottom = 250, label_pixels = 0;
  for (int y = 186; y <= 230; ++y) {
    for (int x = -260; x <= -40; ++x) {
      if (p.at(x, y) != BLACK) continue;
      ++label_pixels;
      label_left = std::min(label_left, x), label_right = std::max(label_right, x);
      label_bottom = std::min(label_bottom, y);
    }
  }
  EXPECT_GT(label_pixels, 150) << "the label's glyphs";
  EXPECT_GT(label_left, -250) << "the label begins with a blank";
  EXPECT_LT(label_left, -235);
  EXPECT_GT(label_right, -140) << "the label's two words reach across the terminal";
  EXPECT_GE(label_bottom, 191);

  // Runways: where no aircraft hides them, every column of a strip (from
  // x = -135 to the right edge) is ground at r - 28, gray from r - 27 to
  // r + 18 with a white centre line three rows wide around r (a line 2 wide
  // takes the pixels within one pixel of it), and ground at r + 19.
  // The apron left of it is gray from r - 27 to r, and its exit taxiway
  // rises to the left edge.
  for (int i = 0; i < 3; ++i) {
    const int r = RUNWAYS[i];
    std::vector<bool> hidden(601, false);
    for (int x = -300; x <= 300; ++x) {
      for (int y = r - 36; y <= r + 56 && y <= 250; ++y) {
        if (is_aircraft_colour(p.at(x, y))) {
          for (int near = std::max(-300, x - 25); near <= std::min(300, x + 25); ++near) {
            hidden[near + 300] = true;
          }
          break;
        }
      }
    }
    for (int x = -300; x <= 299; ++x) {
      if (hidden[x + 300] || (x >= -137 && x <= -133)) continue;
      ++checked_columns[i];
      const std::string where = "runway " + std::to_string(r) + " x " + std::to_string(x);
      EXPECT_EQ(p.at(x, r - 28), SEA_GREEN) << where;
      EXPECT_EQ(p.at(x, r - 27), GRAY_50) << where;
      EXPECT_EQ(p.at(x, r - 14), GRAY_50) << where;
      if (x > -135) {
        EXPECT_EQ(p.at(x, r), WHITE) << where;
        int white = 0;
        for (int y = r - 3; y <= r + 3; ++y) white += p.at(x, y) == WHITE;
        EXPECT_EQ(white, 3) << where;
        EXPECT_EQ(p.at(x, r - 1), WHITE) << where;
        EXPECT_EQ(p.at(x, r + 1), WHITE) << where;
        EXPECT_EQ(p.at(x, r + 18), GRAY_50) << where;
        EXPECT_EQ(p.at(x, r + 19), SEA_GREEN) << where;
      } else {
        EXPECT_EQ(p.at(x, r), GRAY_50) << where;
        // The taxiway between its lower edge, from (-300, r + 22) to
        // (-135, r), and its upper edge, from (-300, r + 45) to (-135, r + 18).
        const int lower = r + 22 * (-135 - x) / 165, upper = r + 18 + 27 * (-135 - x) / 165;
        EXPECT_EQ(p.at(x, (lower + upper) / 2), GRAY_50) << where;
        EXPECT_EQ(p.at(x, upper + 3), SEA_GREEN) << where;
        if (lower - 3 > r) {
          EXPECT_EQ(p.at(x, lower - 3), SEA_GREEN) << where;
        }
      }
    }
  }

  for (const FoundAircraft& a : find_aircraft(p)) {
    EXPECT_EQ(implausible_place(a), "");
    // A fast (pink) aircraft has a nose of 16, a slow one a nose of 10.
    const int ahead = a.facing_left ? -1 : 1;
    if (a.body == PINK) {
      EXPECT_EQ(p.at(a.x + 21 * ahead, a.y - 4), PINK) << describe(a);
    } else {
      EXPECT_EQ(p.at(a.x + 17 * ahead, a.y - 4), WHITE) << describe(a);
    }
    aircraft.push_back(a);
  }
}

TEST_F(AirfieldWindowTest, PictureShowsTheSceneAndAircraftWhereMovementsPutThem) {
  // Several pictures of the running simulation, a second apart, as traffic
  // builds up.
  std::vector<FoundAircraft> aircraft;
  int checked_columns[3] = {0, 0, 0};
  Picture last;
  int different = 0;
  pause_ms(1500);
  for (int i = 0; i < 8; ++i) {
    Picture p = picture();
    ASSERT_FALSE(p.empty());
    different += p != last;
    check_scene(p, aircraft, checked_columns);
    if (HasFailure()) return;  // one picture's failures are enough to read
    last = std::move(p);
    pause_ms(1000);
  }
  EXPECT_GE(different, 3) << "the picture hardly moves";
  EXPECT_FALSE(aircraft.empty()) << "no aircraft seen";
  for (int i = 0; i < 3; ++i) {
    EXPECT_GT(checked_columns[i], 8 * 300) << "runway " << RUNWAYS[i] << " mostly hidden";
  }
}

TEST_F(AirfieldWindowTest, HaltStopsThePictureAndAdvanceMovesItExactlyOneStep) {
  Picture halted;
  FoundAircraft takeoff;
  ASSERT_TRUE(halt_with_rolling_takeoff(30000, &halted, &takeoff))
      << "the picture never stood still after Ctrl+H with a takeoff rolling";
  pause_ms(1000);
  EXPECT_EQ(picture(), halted) << "the picture changed a second after it stood still";

  // The takeoff as halted, and after each of two single steps: a rolling
  // takeoff keeps its height and covers the same distance every step.
  std::vector<int> xs;
  auto takeoff_x = [&](const Picture& p) {
    for (const FoundAircraft& a : find_aircraft(p)) {
      if (!a.facing_left && a.y == takeoff.y && a.x >= takeoff.x && a.x <= takeoff.x + 60) {
        return a.x;
      }
    }
    return -1000;
  };
  xs.push_back(takeoff.x);
  Picture before = halted;
  for (int step = 0; step < 2; ++step) {
    key("ctrl+f");
    Picture stepped = wait_for_change(before, 3000);
    ASSERT_FALSE(stepped.empty()) << "Ctrl+F did not advance the picture";
    Picture after = wait_still(1000, 5000);
    ASSERT_FALSE(after.empty()) << "the picture goes on changing after Ctrl+F";
    EXPECT_EQ(after, stepped) << "more than one picture after one Ctrl+F";
    xs.push_back(takeoff_x(after));
    before = after;
  }
  pause_ms(1000);
  EXPECT_EQ(picture(), before);
  int first = xs[1] - xs[0], second = xs[2] - xs[1];
  if (xs[1] != -1000 && xs[2] != -1000) {
    EXPECT_GE(first, 5);
    EXPECT_LE(first, 19);
    EXPECT_EQ(second, first) << "takeoff at x " << xs[0] << ", then " << xs[1] << ", " << xs[2];
  } else {
    ADD_FAILURE() << "the takeoff at (" << takeoff.x << ", " << takeoff.y
                  << ") was hidden after a step";
  }

  // Animate runs it again.
  key("ctrl+a");
  EXPECT_FALSE(wait_for_change(before, 5000).empty());
}

TEST_F(AirfieldWindowTest, LoggingWritesTheStepsDrawingCallsOnlyWhileOn) {
  key("ctrl+h");
  ASSERT_FALSE(wait_still(1000, 5000).empty()) << "Ctrl+H did not stop the picture";
  EXPECT_EQ(text_lines_when_still(), 0);

  // With logging on, a step's drawing calls fill the text window.
  key("ctrl+l");
  key("ctrl+f");
  int lines = 0;
  for (int tries = 0; tries < 50 && lines < 8; ++tries) lines = text_lines_when_still();
  EXPECT_GE(lines, 8) << "no sentences after a step with logging on";
  Image logged = text_window();

  // Off, a step writes nothing, although the picture moves on.
  key("ctrl+l");
  for (int step = 0; step < 3; ++step) {
    key("ctrl+f");
    pause_ms(300);
  }
  text_lines_when_still();
  EXPECT_EQ(text_window(), logged) << "sentences written with logging off";

  key("ctrl+l");
  key("ctrl+f");
  Image again;
  for (int tries = 0; tries < 50 && (again.empty() || again == logged); ++tries) {
    pause_ms(100);
    again = text_window();
  }
  EXPECT_NE(again, logged) << "no sentences after logging was switched on again";
}

TEST_F(AirfieldWindowTest, ShortcutsWorkWithShiftFromTheTextWindow) {
  // Keys typed into the text window reach the graphics window's shortcuts.
  point_at(800, 700);
  Picture halted;
  for (int tries = 0; tries < 3 && halted.empty(); ++tries) {
    key("ctrl+shift+h");
    halted = wait_still(1000, 5000);
  }
  ASSERT_FALSE(halted.empty()) << "Ctrl+Shift+H in the text window did not halt";
  key("ctrl+shift+a");
  EXPECT_FALSE(wait_for_change(halted, 5000).empty()) << "Ctrl+Shift+A did not animate";
  quit_and_expect_clean_exit();
}

}  // namespace
}  // namespace xtest
