#include "kivet/state.h"

#include "kivet/platform/platform.h"

namespace kivet {

int start_argc = 0;
char** start_argv = nullptr;
void* start_instance = nullptr;
void* start_previous_instance = nullptr;
const char* start_command_line = nullptr;
int start_show_mode = 0;

bool display_exists = false;
bool main_started = false;
bool library_open = false;
WindowId graphics_window = WindowId::none;
WindowId text_window = WindowId::none;
void* instance = nullptr;
Bitmap* offscreen_bitmap = nullptr;
Bitmap* spare_bitmap = nullptr;
ChangedRows changed_rows;
int origin_x = 0;
int origin_y = 0;
bool KIVET_dirty = true;
bool KIVET_logging = true;

int event_kind = 0;
int event_x = 0;
int event_y = 0;
signed char event_key = 0;
bool timer_fired = false;
bool ctrl_down = false;
bool running = false;
bool step_requested = false;
bool quit_requested = false;

bool recording = false;
bool playing_back = false;
bool play_one = false;
FILE* script_file = nullptr;
bool script_file_writing = false;
int periodic_count = 0;
int script_line = 0;
bool script_line_unfinished = false;

std::string log_ring[LOG_RING_SIZE];
int log_head = -1;
int log_next = 0;

char* answer_buffer = nullptr;

std::deque<Message> message_queue;

void reset_library() {
  display_exists = false;
  library_open = false;
  graphics_window = WindowId::none;
  text_window = WindowId::none;
  instance = nullptr;
  // The bitmap's memory is kept for the next opening, white again: a fresh
  // block of that size costs far more than filling one.
  if (offscreen_bitmap) {
    offscreen_bitmap->fill(pixel_value(WHITE));
    spare_bitmap = offscreen_bitmap;
    offscreen_bitmap = nullptr;
  }
  changed_rows = ChangedRows{};
  origin_x = origin_y = 0;
  KIVET_dirty = true;
  KIVET_logging = true;
  event_kind = event_x = event_y = 0;
  event_key = 0;
  timer_fired = ctrl_down = running = step_requested = quit_requested = false;
  recording = playing_back = play_one = false;
  if (script_file) fclose(script_file);
  script_file = nullptr;
  script_file_writing = false;
  periodic_count = 0;
  script_line = 0;
  script_line_unfinished = false;
  for (auto& line : log_ring) line.clear();
  log_head = -1;
  log_next = 0;
  answer_buffer = nullptr;
  message_queue.clear();
}

}  // namespace kivet
