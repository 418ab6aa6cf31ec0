#include "app/eventqueue.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "app/check.h"

namespace {

// Distance between neighbours in the line of waiting takeoffs.
constexpr int kTakeoffSpacing = 40;

}  // namespace

EventQueue::~EventQueue() {
  // The latest arrival goes first: the list is walked back from its tail.
  std::vector<QueueNode*> nodes;
  for (QueueNode* node = head_; node != nullptr; node = node->next) nodes.push_back(node);
  for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
    delete (*it)->activity;
    delete *it;
  }
}

void EventQueue::enqueue(std::unique_ptr<Activity> e) {
  APP_CHECK(e != NULL);
  QueueNode* node = new QueueNode{e.release(), nullptr};
  if (head_ == nullptr) {
    head_ = node;
  } else {
    tail_->next = node;
  }
  ++count_;
  tail_ = node;
}

std::unique_ptr<Activity> EventQueue::dequeue() {
  if (is_empty()) return nullptr;
  QueueNode* node = head_;
  std::unique_ptr<Activity> activity(node->activity);
  if (tail_ == node) {
    head_ = nullptr;
    tail_ = nullptr;
  } else {
    head_ = node->next;
  }
  delete node;
  --count_;
  return activity;
}

Activity* EventQueue::item_at(int position) const {
  if (position < 1 || position > count_) return nullptr;
  QueueNode* node = head_;
  for (int i = 1; i < position; ++i) node = node->next;
  return node->activity;
}

void TakeoffQueue::enqueue(std::unique_ptr<Activity> e) {
  Activity* activity = e.get();
  EventQueue::enqueue(std::move(e));
  activity->get_aircraft()->move_x_by(-kTakeoffSpacing * size());
}

// Both walk the list once, head first, rather than asking item_at for each
// position in turn: the same calls in the same order, at a cost linear in the
// queue's length.
std::unique_ptr<Activity> TakeoffQueue::dequeue() {
  for (const QueueNode* node = first_node(); node != nullptr; node = node->next) {
    node->activity->get_aircraft()->move_x_by(kTakeoffSpacing);
  }
  return EventQueue::dequeue();
}

void TakeoffQueue::draw_all() {
  for (const QueueNode* node = first_node(); node != nullptr; node = node->next) {
    node->activity->get_aircraft()->draw();
  }
}
