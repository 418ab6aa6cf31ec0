// Activity queues: first in, first out with 1-based access and reuse, the
// line of waiting takeoffs, deletion of what is still held, the null check.
#include "app/eventqueue.h"

#include <memory>

#include "app_test_support.h"

TEST(EventQueue, FirstInFirstOutFromOneToCountAndReusableOnceEmpty) {
  LandingQueue q;
  EXPECT_TRUE(q.is_empty());
  EXPECT_EQ(q.dequeue(), nullptr);
  for (int round = 0; round < 2; ++round) {
    std::vector<Activity*> in;
    for (int i = 0; i < 3; ++i) {
      in.push_back(new Landing(15, nullptr));
      q.enqueue(std::unique_ptr<Activity>(in.back()));
    }
    EXPECT_EQ(q.size(), 3);
    for (int p = 1; p <= 3; ++p) EXPECT_EQ(q.item_at(p), in[p - 1]);
    for (int outside : {0, -1, 4}) EXPECT_EQ(q.item_at(outside), nullptr);
    for (int i = 0; i < 3; ++i) {
      std::unique_ptr<Activity> out = q.dequeue();
      EXPECT_EQ(out.get(), in[i]);
      EXPECT_EQ(out->get_aircraft()->get_x(), 300) << "landings wait where they are";
      EXPECT_EQ(q.item_at(1), i < 2 ? in[i + 1] : nullptr);
    }
    EXPECT_TRUE(q.is_empty());
    EXPECT_EQ(q.dequeue(), nullptr);
  }
}

TEST(EventQueue, WaitingTakeoffsStandFortyApartAndMoveUpWhenTheFirstLeaves) {
  TakeoffQueue q;
  for (int i = 0; i < 3; ++i) q.enqueue(std::make_unique<Takeoff>(15, nullptr));
  auto x_at = [&](int p) { return q.item_at(p)->get_aircraft()->get_x(); };
  EXPECT_EQ(x_at(1), -175);
  EXPECT_EQ(x_at(2), -215);
  EXPECT_EQ(x_at(3), -255);
  std::unique_ptr<Activity> first = q.dequeue();
  EXPECT_EQ(first->get_aircraft()->get_x(), -135);
  EXPECT_EQ(first->get_aircraft()->get_y(), 6);
  EXPECT_EQ(x_at(1), -175);
  EXPECT_EQ(x_at(2), -215);
  q.enqueue(std::make_unique<Takeoff>(15, nullptr));
  EXPECT_EQ(x_at(3), -255);
  while (!q.is_empty()) q.dequeue();
  EXPECT_EQ(q.dequeue(), nullptr);
  q.enqueue(std::make_unique<Takeoff>(15, nullptr));
  EXPECT_EQ(x_at(1), -175);
}

TEST(EventQueue, DeletesWhatItStillHoldsLatestArrivalFirst) {
  std::vector<int> deleted;
  {
    TakeoffQueue q;
    for (int id = 1; id <= 4; ++id) q.enqueue(std::make_unique<Traced<Takeoff>>(id, &deleted));
    q.dequeue();
    EXPECT_EQ(deleted, std::vector<int>{1});
  }
  EXPECT_EQ(deleted, (std::vector<int>{1, 4, 3, 2}));
}

class QueueDrawing : public DisplayTest {};

TEST_F(QueueDrawing, TakeoffQueueDrawsItsLineHeadFirstLandingQueueNothing) {
  TakeoffQueue takeoffs;
  LandingQueue landings;
  seed_movement(false, 5);
  takeoffs.enqueue(std::make_unique<Takeoff>(-85, display()));
  seed_movement(true, 19);
  takeoffs.enqueue(std::make_unique<Takeoff>(-85, display()));
  landings.enqueue(std::make_unique<Landing>(15, display()));
  std::vector<std::string> expected = aircraft_lines("white", -175, -94, false);
  for (const std::string& line : aircraft_lines("pink", -215, -94, false)) expected.push_back(line);
  EXPECT_EQ(logged([&] { takeoffs.draw_all(); }), expected);
  EXPECT_TRUE(logged([&] { landings.draw_all(); }).empty());
}

TEST(EventQueueDeathTest, EnqueueOfNothingStopsWithAReport) {
  TakeoffQueue q;
  EXPECT_DEATH(q.enqueue(nullptr),
               "Assertion failed: e != NULL, file .*eventqueue\\.cpp, line [0-9]+");
}
