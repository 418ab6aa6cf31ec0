// The event wait: turns the graphics window's messages into the stream of
// mouse, keyboard, periodic and quit events, with the animation control that
// decides when periodic events are produced.
//
// The wait never spins: when no message is queued and no step of the wait
// can make progress on its own (no script to read, no periodic event to arm),
// it sleeps in the toolkit until something arrives.
//
// In an unattended run (no display, no user) the script is the only input:
// when it has no further event, this wait and every later one return quit.
#include "kivet/event_wait.h"

#include "kivet/ending_signals.h"
#include "kivet/graphics_window.h"
#include "kivet/log_window.h"
#include "kivet/platform/platform.h"
#include "kivet/run_endings.h"
#include "kivet/script.h"
#include "kivet/snapshot.h"
#include "kivet/state.h"

namespace kivet {

// At most one timer message waits in the queue: ticks that come while the
// program is busy (or a dialog is open) are not delivered as a burst later.
static bool timer_already_queued(const Message& message) {
  if (message.kind != MessageKind::timer) return false;
  for (const Message& queued : state().message_queue) {
    if (queued.kind == MessageKind::timer && queued.window == message.window) return true;
  }
  return false;
}

// Moves of the mouse waiting one after the other become one, the latest:
// a program that takes longer than the mouse's pace sees where it is now.
static bool replaces_queued_move(const Message& message) {
  std::deque<Message>& queue = state().message_queue;
  if (message.kind != MessageKind::mouse_move || queue.empty()) return false;
  Message& last = queue.back();
  if (last.kind != MessageKind::mouse_move || last.window != message.window) return false;
  last = message;
  return true;
}

void post_message(const Message& message) {
  if (timer_already_queued(message) || replaces_queued_move(message)) return;
  state().message_queue.push_back(message);
}

void send_message(const Message& message) { dispatch(message); }

bool periodic_event_armed() { return state().event_kind == EVENT_PERIODIC; }

void dispatch(const Message& message) {
  switch (message.window) {
    case WindowId::graphics:
      KIVET_graphics_window_proc(message);
      break;
    case WindowId::text:
      KIVET_text_window_proc(message);
      break;
    case WindowId::none:
      break;
  }
}

void copy_bitmap_to_window() {
  if (state().offscreen_bitmap) {
    platform().present(*state().offscreen_bitmap, state().changed_rows);
    state().changed_rows = ChangedRows{};
  }
  state().KIVET_dirty = false;
}

static void copy_if_dirty() {
  if (state().KIVET_dirty) copy_bitmap_to_window();
}

// Key presses also produce character messages. The character is taken next,
// before any later input such as the key's release.
static void translate(const Message& message) {
  if (message.kind == MessageKind::key_down && message.b != 0) {
    state().message_queue.push_front(
        Message{message.window, MessageKind::character, message.b & 0xFF, 0});
  }
}

void KIVET_pump_message(bool may_block) {
  if (state().message_queue.empty()) platform().process_events(false);
  if (state().message_queue.empty() && may_block) {
    // Bring the window up to date before sleeping: the picture drawn since
    // the last wait must not wait for the next message to appear.
    copy_if_dirty();
    platform().process_events(true);
  }
  if (!state().message_queue.empty()) {
    Message message = state().message_queue.front();
    state().message_queue.pop_front();
    if (message.kind == MessageKind::quit) {
      state().event_kind = EVENT_QUIT;
      return;
    }
    translate(message);
    dispatch(message);
  }
  copy_if_dirty();
}

// Whether a pass of the wait can produce an event without a new message.
static bool can_progress_without_message() {
#ifdef KIVET_WAIT_NEVER_SLEEPS
  // Only in the benchmarks' spinning reference build: a wait that polls.
  return true;
#endif
  if (state().play_one || state().playing_back) return true;
  // Unattended, nothing can come: the run ends instead of sleeping.
  if (platform().unattended()) return true;
  return state().event_kind == EVENT_NONE_YET && (state().step_requested || state().running);
}

// An unattended run has no input but its script: once the script has
// yielded its last event, or there is none, the run is over.
static bool script_run_over() {
  return !state().playing_back && !state().play_one && platform().unattended();
}

// The keys down are those the events returned so far say are down, live
// or played from a script alike.
static void note_keys_returned() {
  int code = state().event_key & 0xFF;
  if (state().event_kind == EVENT_KEY_PRESSED) state().keys_down[code] = true;
  if (state().event_kind == EVENT_KEY_RELEASED) state().keys_down[code] = false;
}

}  // namespace kivet

using namespace kivet;

// The event's data for the program. A quit carries none.
static void hand_out(int* x, int* y, char* key) {
  bool quit = state().event_kind == EVENT_QUIT;
  if (x) *x = quit ? 0 : state().event_x;
  if (y) *y = quit ? 0 : state().event_y;
  if (key) *key = quit ? 0 : static_cast<char>(state().event_key);
}

int KIVET_wait_event(int* x, int* y, char* key) {
  state().asked_for_event = true;
  write_due_frame_snapshot();
  if (platform().unattended()) {
    end_if_signalled();
    if (state().quit_requested) end_if_quit_ignored();
  }
  state().event_kind = EVENT_NONE_YET;
  state().event_key = 0;
  state().event_y = 0;
  state().event_x = 0;
  // Once the program has been told to quit, it is told so again at once,
  // however it was told: nothing of the run is left to wait for.
  if (state().quit_requested) state().event_kind = EVENT_QUIT;
  while (state().event_kind == EVENT_NONE_YET ||
         (state().event_kind == EVENT_PERIODIC && !state().timer_fired)) {
    KIVET_pump_message(!can_progress_without_message());
    // A quit taken by the pump wins over a script event of the same pass.
    if ((state().play_one || state().playing_back) && state().event_kind != EVENT_QUIT) {
      if (script_playback_step()) break;
    }
    if (script_run_over()) {
      state().event_kind = EVENT_QUIT;
      state().quit_requested = true;
      break;
    }
    if ((state().step_requested || state().running) && state().event_kind == EVENT_NONE_YET) {
      state().event_kind = EVENT_PERIODIC;
      state().timer_fired = false;
      state().step_requested = false;
    }
  }
  if (state().recording) script_recording_step();
  if (state().event_kind == EVENT_QUIT) state().quit_requested = true;
  if (state().quit_requested) state().event_kind = EVENT_QUIT;
  if (state().event_kind == EVENT_QUIT && platform().unattended()) note_quit_returned();
  note_event_for_snapshots(state().event_kind);
  note_keys_returned();
  hand_out(x, y, key);
  return state().event_kind;
}

int KIVET_set_animation(int code) {
  if (state().graphics_window == WindowId::none) return 0;
  switch (code) {
    case 0:
      state().step_requested = false;
      state().running = false;
      break;
    case 1:
      state().step_requested = true;
      break;
    case 2:
      state().running = true;
      break;
    case 5:
      state().quit_requested = true;
      break;
    default:
      break;
  }
  return 1;
}
