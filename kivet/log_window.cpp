// The library's output channel: one line per message in the text window,
// the ring of the last 25 lines that lets the window repaint itself, and the
// switch for the sentences that drawing calls log.
#include "kivet/log_window.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "kivet/bounded_format.h"
#include "kivet/event_wait.h"
#include "kivet/platform/platform.h"
#include "kivet/state.h"

namespace kivet {

static int next_slot(int slot) { return (slot + 1) % LOG_RING_SIZE; }

static void store_line(const char* text) {
  if (state().log_head == state().log_next) {
    state().log_ring[state().log_head].clear();
    state().log_head = next_slot(state().log_head);
  }
  state().log_ring[state().log_next] = text;
  if (state().log_head == -1) state().log_head = state().log_next;
  state().log_next = next_slot(state().log_next);
}

static void repaint() {
  platform().text_clear();
  if (state().log_head == -1) return;
  int slot = state().log_head;
  do {
    // The stored line loses its trailing newline here for good.
    std::string& stored = state().log_ring[slot];
    if (!stored.empty() && stored.back() == '\n') stored.pop_back();
    platform().text_add_line(stored.c_str());
    slot = next_slot(slot);
  } while (slot != state().log_next);
}

void KIVET_text_window_proc(const Message& message) {
  switch (message.kind) {
    case MessageKind::paint:
      repaint();
      break;
    case MessageKind::key_down:
    case MessageKind::key_up:
    case MessageKind::focus_lost: {
      Message forwarded = message;
      forwarded.window = WindowId::graphics;
      post_message(forwarded);
      break;
    }
    case MessageKind::close:
      // Default handling: the window is destroyed for the rest of the run.
      platform().destroy_window(WindowId::text);
      state().text_window = WindowId::none;
      break;
    default:
      break;
  }
}

}  // namespace kivet

using namespace kivet;

int KIVET_log_message(const char* format, ...) {
  char buffer[MESSAGE_BUFFER_SIZE];
  va_list args;
  va_start(args, format);
  int formatted = format_bounded(buffer, format, args);
  va_end(args);
  store_line(buffer);
  KIVET_show_log_line(buffer);
  return formatted;
}

void KIVET_show_log_line(char* line) {
  size_t length = strlen(line);
  if (length > 0 && line[length - 1] == '\n') line[length - 1] = '\0';
  if (state().text_window == WindowId::none) return;
  platform().text_add_line(line);
}

int KIVET_set_logging(int on) {
  if (state().graphics_window == WindowId::none) return 0;
  state().KIVET_logging = on != 0;
  platform().check_menu_entry(CMD_LOGGING, state().KIVET_logging);
  if (state().KIVET_logging) KIVET_show_text_window(1);
  return 1;
}

int KIVET_show_text_window(int show) {
  if (state().text_window == WindowId::none) return 0;
  return platform().show_window(WindowId::text, show != 0) ? 1 : 0;
}
