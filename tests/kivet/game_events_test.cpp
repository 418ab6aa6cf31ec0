// Key and mouse events and the tick, which a program switches on: what the
// wait returns for held, repeated and released keys, moves and releases of
// the mouse, focus loss, and the same input for a program that has not
// switched them on; the script lines they are recorded as and played from.
#include <fstream>
#include <sstream>

#include "kivet/display.h"
#include "kivet/script.h"
#include "support/test_support.h"

namespace headless = kivet::headless;
using kivet::MessageKind;
using kivet::WindowId;

namespace {

class GameEventsTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    enter_scratch_directory();
    open_library();
    KIVET_set_logging(0);
  }
  // A client-area pixel of a display point.
  static int cx(int x) { return kivet::state().origin_x + x; }
  static int cy(int y) { return kivet::state().origin_y - y; }

  // A session of a little game: an arrow held (with auto-repeat), a
  // letter typed, the arrow let go, the mouse moved three times before the
  // program looks, dragged and let go, then Ctrl+A (the library's own).
  static void post_session() {
    headless::key_down(kivet::arrow_left);
    headless::key_repeat(kivet::arrow_left);
    headless::key_repeat(kivet::arrow_left);
    headless::key_down('A', 'a');
    headless::key_up('A');
    headless::key_up(kivet::arrow_left);
    headless::mouse_move(cx(1), cy(1));
    headless::mouse_move(cx(2), cy(2));
    headless::mouse_move(cx(10), cy(-20));
    headless::click(cx(10), cy(-20));
    headless::mouse_move(cx(30), cy(-25));
    headless::button_up(cx(30), cy(-25));
    headless::key_down(186, ';');  // a code above 127
    headless::key_up(186);
  }

  // Every event until the session's input is used up, as "kind:x,y,key".
  static std::vector<std::string> events_until_idle() {
    std::vector<std::string> events;
    while (!kivet::state().message_queue.empty()) {
      WaitResult r = wait_event();
      events.push_back(std::to_string(r.kind) + ":" + std::to_string(r.x) + "," +
                       std::to_string(r.y) + "," + std::to_string(r.key));
    }
    return events;
  }

  static std::string file() {
    std::ifstream in("KIVET.SCR");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(GameEventsTest, ASessionGivesOnePressPerKeyTheLatestMoveAndReleases) {
  KIVET_set_key_events(1);
  KIVET_set_mouse_events(1);
  post_session();
  headless::key_down(kivet::arrow_up);  // held at the end
  std::vector<std::string> events;
  std::vector<bool> left_down;
  while (!kivet::state().message_queue.empty()) {
    WaitResult r = wait_event();
    events.push_back(std::to_string(r.kind) + ":" + std::to_string(r.x) + "," +
                     std::to_string(r.y) + "," + std::to_string(r.key));
    left_down.push_back(KIVET_key_down(kivet::arrow_left) != 0);
  }
  EXPECT_EQ(events, (std::vector<std::string>{
                        "5:0,0,37",      // the arrow pressed, once
                        "5:0,0,65",      // A pressed
                        "2:0,0,97",      // ... and typed
                        "6:0,0,65",      // A released
                        "6:0,0,37",      // the arrow released
                        "7:10,-20,0",    // three moves: the latest
                        "1:10,-20,0",    // the click
                        "7:30,-25,0",    // the drag
                        "8:30,-25,0",    // the button let go
                        "5:0,0,-70",     // code 186 comes negative
                        "2:0,0,59",      // ';'
                        "6:0,0,-70",     //
                        "5:0,0,38",      // up pressed
                    }));
  EXPECT_EQ(left_down, (std::vector<bool>{true, true, true, true, false, false, false, false,
                                          false, false, false, false, false}));
  EXPECT_TRUE(KIVET_key_down(kivet::arrow_up));
  EXPECT_FALSE(KIVET_key_down(186));
  // Ctrl+A stays the library's: it starts the animation, no key event.
  headless::ctrl_key('a');
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 5);  // Ctrl itself is a key
  EXPECT_EQ(r.key, kivet::KEY_CONTROL);
  EXPECT_EQ(wait_event().kind, 6);  // Ctrl let go: A gave nothing
  EXPECT_TRUE(kivet::state().running);
  // Losing the keyboard lets the held arrow up, and only it.
  headless::focus_lost(WindowId::text);
  r = wait_event();
  EXPECT_EQ(r.kind, 6);
  EXPECT_EQ(r.key, kivet::arrow_up);
  EXPECT_FALSE(KIVET_key_down(kivet::arrow_up));
  EXPECT_EQ(wait_event().kind, 3);
}

TEST_F(GameEventsTest, AProgramThatHasNotSwitchedThemOnSeesTheOldEventsOnly) {
  post_session();
  headless::character('!');  // the last message gives an event
  EXPECT_EQ(events_until_idle(),
            (std::vector<std::string>{"2:0,0,97", "1:10,-20,0", "2:0,0,59", "2:0,0,33"}));
  EXPECT_FALSE(KIVET_key_down(kivet::arrow_left));
  // A script of the new lines gives such a program nothing from them.
  std::ofstream("KIVET.SCR") << "KIVET_DOWN(37);\nKIVET_AT(1, 2);\nKIVET_KBD(97);\n"
                                "KIVET_UP(37);\nKIVET_LIFT(1, 2);\n";
  kivet::script_toggle_playback();
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 2);
  EXPECT_EQ(r.key, 97);
  EXPECT_FALSE(KIVET_key_down(37));
  // Past the last lines, which are passed over: the end of the script.
  headless::click(cx(0), cy(0));
  EXPECT_EQ(wait_event().kind, 1);
  EXPECT_EQ(last_lines(1), (std::vector<std::string>{"EOF encountered in script file KIVET.SCR"}));
}

TEST_F(GameEventsTest, ASessionRecordedPlaysBackTheSameEventsAndKeys) {
  KIVET_set_key_events(1);
  KIVET_set_mouse_events(1);
  kivet::script_toggle_recording();
  post_session();
  std::vector<std::string> live = events_until_idle();
  KIVET_set_animation(1);
  wait_event();
  kivet::script_toggle_recording();
  EXPECT_EQ(file(),
            "KIVET_DOWN(37);\nKIVET_DOWN(65);\nKIVET_KBD(97);\nKIVET_UP(65);\nKIVET_UP(37);\n"
            "KIVET_AT(10, -20);\nKIVET_MOUSE(10, -20);\nKIVET_AT(30, -25);\n"
            "KIVET_LIFT(30, -25);\nKIVET_DOWN(-70);\nKIVET_KBD(59);\nKIVET_UP(-70);\n"
            "KIVET_PERIODIC(1);\n");
  kivet::script_toggle_playback();
  std::vector<std::string> played;
  for (size_t i = 0; i < live.size(); ++i) {
    WaitResult r = wait_event();
    played.push_back(std::to_string(r.kind) + ":" + std::to_string(r.x) + "," +
                     std::to_string(r.y) + "," + std::to_string(r.key));
    if (i == 0) {
      EXPECT_TRUE(KIVET_key_down(kivet::arrow_left));
    }
  }
  EXPECT_EQ(played, live);
  EXPECT_FALSE(KIVET_key_down(kivet::arrow_left));
  EXPECT_EQ(wait_event().kind, 3);
}

TEST_F(GameEventsTest, SwitchingKeyEventsOffLetsEveryKeyUp) {
  KIVET_set_key_events(1);
  headless::key_down(kivet::arrow_right);
  EXPECT_EQ(wait_event().kind, 5);
  EXPECT_TRUE(KIVET_key_down(kivet::arrow_right));
  KIVET_set_key_events(0);
  EXPECT_FALSE(KIVET_key_down(kivet::arrow_right));
  headless::key_up(kivet::arrow_right);
  headless::click(1, 1);
  EXPECT_EQ(wait_event().kind, 1);  // no release for a program with the events off
}

TEST_F(GameEventsTest, TheTickIsKeptWithinItsBoundsAndRestartsTheTimer) {
  EXPECT_EQ(kivet::state().tick_ms, 100);
  KIVET_set_tick(16);
  EXPECT_EQ(kivet::state().tick_ms, 16);
  EXPECT_TRUE(headless::timer_running());
  KIVET_set_tick(5);
  KIVET_set_tick(5000);
  EXPECT_EQ(last_lines(2), (std::vector<std::string>{"Tick of 5 ms not possible, using 10 ms",
                                                     "Tick of 5000 ms not possible, using 1000 ms"}));
  EXPECT_EQ(kivet::state().tick_ms, 1000);
  // Ticks are ticks whatever their length: a run gives one periodic event each.
  KIVET_set_animation(2);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(wait_event().kind, 3);
}

TEST_F(GameEventsTest, TheDisplayForwardsTheSwitchesAndPassesTheNewKinds) {
  HeadlessTest::TearDown();
  HeadlessTest::SetUp();
  Display display;
  display.set_key_events(true);
  display.set_mouse_events(true);
  display.set_tick(20);
  headless::key_down(kivet::key_home);
  headless::mouse_move(5, 5);
  headless::button_up(5, 5);
  headless::key_up(kivet::key_home);
  int x = 0, y = 0;
  char key = 0;
  EXPECT_EQ(display.get_next_event(x, y, key), kivet::key_pressed);
  EXPECT_EQ(key, kivet::key_home);
  EXPECT_TRUE(display.key_down(kivet::key_home));
  EXPECT_EQ(display.get_next_event(x, y, key), kivet::mouse_moved);
  EXPECT_EQ(display.get_next_event(x, y, key), kivet::mouse_released);
  EXPECT_EQ(display.get_next_event(x, y, key), kivet::key_released);
  EXPECT_FALSE(display.key_down(kivet::key_home));
  EXPECT_EQ(kivet::state().tick_ms, 20);
}

}  // namespace
