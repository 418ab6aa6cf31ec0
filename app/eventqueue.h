// The two first-in, first-out queues of a runway. Waiting takeoffs stand in a
// visible line on the apron, 40 units apart, and move up one place when the
// first one leaves; waiting landings are held out of sight. A queue owns the
// movements it holds and hands each one over when it is dequeued.
#pragma once

#include <memory>

#include "app/activity.h"

// One link of a queue's list. The queue owns the node and its activity.
struct QueueNode {
  Activity* activity;
  QueueNode* next;
};

class EventQueue {
 public:
  // Deletes every movement still queued, the latest arrival first.
  virtual ~EventQueue();
  EventQueue(const EventQueue&) = delete;
  EventQueue& operator=(const EventQueue&) = delete;

  virtual bool is_empty() const { return count_ == 0; }
  // Appends at the tail and takes ownership. The activity must not be null.
  virtual void enqueue(std::unique_ptr<Activity> e);
  // Removes the head and hands it over; null when the queue is empty.
  virtual std::unique_ptr<Activity> dequeue();
  virtual int size() const { return count_; }
  virtual void draw_all() = 0;
  // The activity at a position from 1 (the head) to size(), lent, not
  // handed over; null outside that range.
  virtual Activity* item_at(int position) const;

 protected:
  EventQueue() = default;
  // The head's node, for walking the whole queue in one pass; null when empty.
  const QueueNode* first_node() const { return head_; }

 private:
  QueueNode* head_ = nullptr;
  QueueNode* tail_ = nullptr;
  int count_ = 0;
};

// Takeoffs waiting on the apron: the aircraft at position p stands 40 × p
// units left of where its takeoff starts.
class TakeoffQueue : public EventQueue {
 public:
  TakeoffQueue() = default;
  ~TakeoffQueue() override = default;
  void enqueue(std::unique_ptr<Activity> e) override;
  std::unique_ptr<Activity> dequeue() override;
  // Draws the waiting aircraft from the head back, later ones on top.
  void draw_all() override;
};

// Landings waiting out of sight: neither moved nor drawn.
class LandingQueue : public EventQueue {
 public:
  LandingQueue() = default;
  ~LandingQueue() override = default;
  void draw_all() override {}
};
