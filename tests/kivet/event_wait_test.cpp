// The event stream: periodic events and their arming, input replacing an
// armed event, single steps, quit, and the wait's sleeping instead of spinning.
#include <functional>

#include "support/test_support.h"

namespace headless = kivet::headless;
using kivet::WindowId;

class EventWaitTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    open_library();
  }
};

TEST_F(EventWaitTest, PeriodicEventComesOnlyAtATickAfterItsArming) {
  KIVET_set_animation(2);
  headless::tick();  // arrives before the wait arms: forgotten
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 3);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.key, 0);
  EXPECT_EQ(headless::ticks_delivered(), 1) << "the early tick must not end the wait";
}

TEST_F(EventWaitTest, RunningGivesOnePeriodicEventPerTickAndSleepsBetween) {
  KIVET_set_animation(2);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(wait_event().kind, 3);
  EXPECT_EQ(headless::ticks_delivered(), 10);
  EXPECT_EQ(headless::sleeps(), 10) << "one sleep per tick: the wait does not spin";
}

TEST_F(EventWaitTest, ClickOrKeyReplacesAnArmedPeriodicEvent) {
  KIVET_set_animation(2);
  headless::click(310, 237);
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 1);
  EXPECT_EQ(r.x, 10);
  EXPECT_EQ(r.y, 20);

  headless::key_down('X', 'x');
  r = wait_event();
  EXPECT_EQ(r.kind, 2);
  EXPECT_EQ(r.key, 'x');
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(wait_event().kind, 3) << "the next wait arms a new periodic event";
}

TEST_F(EventWaitTest, MouseTransformAtTheCentreAndOffIt) {
  headless::click(300, 257);
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 1);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 0);
  headless::click(0, 0);
  r = wait_event();
  EXPECT_EQ(r.x, -300);
  EXPECT_EQ(r.y, 257);
  headless::click(600, 514);
  r = wait_event();
  EXPECT_EQ(r.x, 300);
  EXPECT_EQ(r.y, -257);
}

TEST_F(EventWaitTest, SingleStepGivesExactlyOnePeriodicEvent) {
  headless::ctrl_key('f');
  EXPECT_EQ(wait_event().kind, 3);
  EXPECT_FALSE(kivet::state().running);
  EXPECT_FALSE(kivet::state().step_requested);
  headless::click(1, 1);
  EXPECT_EQ(wait_event().kind, 1) << "halted: only input events follow";
}

TEST_F(EventWaitTest, AdvanceWhileRunningStopsAfterTheArmedEventAndOneStep) {
  KIVET_set_animation(2);
  EXPECT_EQ(wait_event().kind, 3);
  headless::ctrl_key('f');  // taken while the next periodic event is armed
  EXPECT_EQ(wait_event().kind, 3);
  EXPECT_FALSE(kivet::state().running);
  EXPECT_EQ(wait_event().kind, 3) << "the requested step";
  headless::click(1, 1);
  EXPECT_EQ(wait_event().kind, 1);
  EXPECT_EQ(headless::ticks_delivered(), 3);
}

TEST_F(EventWaitTest, HaltWhileAStepIsPendingKeepsTheStep) {
  KIVET_set_animation(1);
  headless::command(kivet::CMD_HALT);
  EXPECT_EQ(wait_event().kind, 3);
  headless::character('a');
  EXPECT_EQ(wait_event().kind, 2);
}

TEST_F(EventWaitTest, AnimationCodes) {
  KIVET_set_animation(2);
  KIVET_set_animation(1);  // code 0 must also drop a pending single step
  ASSERT_TRUE(kivet::state().step_requested);
  KIVET_set_animation(0);
  EXPECT_FALSE(kivet::state().running);
  EXPECT_FALSE(kivet::state().step_requested);
  KIVET_set_animation(1);
  EXPECT_TRUE(kivet::state().step_requested);
  EXPECT_FALSE(kivet::state().running);
  for (int code : {3, 4, 6, -1}) {
    EXPECT_EQ(KIVET_set_animation(code), 1);
    EXPECT_FALSE(kivet::state().running);
    EXPECT_FALSE(kivet::state().quit_requested);
  }
}

TEST_F(EventWaitTest, CodeFiveMakesEveryLaterWaitQuitAtOnceWithNoData) {
  EXPECT_EQ(KIVET_set_animation(5), 1);
  headless::click(10, 10);
  for (int i = 0; i < 2; ++i) {
    WaitResult r = wait_event();  // halted, and no input taken: at once
    EXPECT_EQ(r.kind, 4);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.key, 0);
  }
  KIVET_set_animation(2);
  EXPECT_EQ(wait_event().kind, 4);
  EXPECT_EQ(headless::ticks_delivered(), 0) << "no wait waited for a tick";
  EXPECT_EQ(headless::sleeps(), 0);
}

TEST_F(EventWaitTest, QuitMessageEndsTheWait) {
  KIVET_set_animation(2);
  headless::post(kivet::Message{WindowId::none, kivet::MessageKind::quit, 0, 0});
  EXPECT_EQ(wait_event().kind, 4);
}

TEST_F(EventWaitTest, QuitWinsOverAScriptEventOfTheSamePass) {
  kivet::state().play_one = true;  // a script event would be read in this pass
  headless::post(kivet::Message{WindowId::none, kivet::MessageKind::quit, 0, 0});
  EXPECT_EQ(wait_event().kind, 4);
  EXPECT_TRUE(kivet::state().play_one) << "the script event is not consumed";
}

TEST_F(EventWaitTest, EveryWayToQuitEndsTheRunForGood) {
  const std::function<void()> ways[] = {
      [] { headless::command(kivet::CMD_QUIT); },
      [] { headless::ctrl_key('q'); },
      [] { headless::ctrl_key('q', true); },
      [] { headless::close_window(WindowId::graphics); },
  };
  for (const auto& quit : ways) {
    headless::reset();
    open_library();
    KIVET_set_animation(2);
    quit();
    EXPECT_EQ(wait_event().kind, 4);
    // Input that comes after the quit is never taken: every later wait quits.
    headless::character('x');
    WaitResult again = wait_event();
    EXPECT_EQ(again.kind, 4);
    EXPECT_EQ(again.key, 0);
    EXPECT_EQ(headless::ticks_delivered(), 0);
  }
  EXPECT_FALSE(headless::exists(WindowId::graphics)) << "the close box destroyed it";
  EXPECT_FALSE(headless::timer_running());
}

TEST_F(EventWaitTest, DrawingReachesTheWindowAtTheNextPass) {
  int before = headless::presents();
  KIVET_draw_rectangle(RED, 0, 0, 10, -10, 0);
  EXPECT_EQ(headless::presents(), before);
  headless::click(1, 1);
  wait_event();
  EXPECT_EQ(headless::presents(), before + 1);
  EXPECT_FALSE(kivet::state().KIVET_dirty);
  headless::click(1, 1);
  wait_event();
  EXPECT_EQ(headless::presents(), before + 1) << "nothing changed: nothing copied";
}

TEST_F(EventWaitTest, TicksWhileBusyAreNotDeliveredAsABurst) {
  for (int i = 0; i < 5; ++i) headless::tick();
  EXPECT_EQ(kivet::state().message_queue.size(), 1u) << "at most one timer message waits";
  KIVET_set_animation(2);
  EXPECT_EQ(wait_event().kind, 3);
  EXPECT_EQ(headless::ticks_delivered(), 1) << "the queued tick came before the arming";
}
