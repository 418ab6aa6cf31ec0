// The library's global state: one set of variables per process, shared by
// the event wait, the window handlers, drawing, the log and the script.
#pragma once

#include <cstdio>
#include <deque>
#include <string>

#include "kivet/draw/bitmap.h"
#include "kivet/kivet.h"
#include "kivet/platform/message.h"

namespace kivet {

// The graphics window's outer size is the off-screen bitmap's (bitmap.h).
constexpr int TIMER_NUMBER = 2;
constexpr int TIMER_PERIOD_MS = 100;
constexpr int LOG_RING_SIZE = 25;
constexpr int MESSAGE_BUFFER_SIZE = 1024;  // at most 1023 characters

// Event kinds inside the library.
constexpr int EVENT_NONE_YET = -1;
constexpr int EVENT_MOUSE = 1;
constexpr int EVENT_KEYBOARD = 2;
constexpr int EVENT_PERIODIC = 3;
constexpr int EVENT_QUIT = 4;

// Menu command numbers.
enum Command {
  CMD_ANIMATE = 1,
  CMD_HALT = 2,
  CMD_ADVANCE = 3,
  CMD_LOGGING = 4,
  CMD_RECORD = 5,
  CMD_PLAYBACK = 6,
  CMD_PLAY_ONE = 7,
  CMD_QUIT = 8,
  CMD_INFO = 9,
};

// Start-up values kept by the process entry.
extern int start_argc;
extern char** start_argv;
extern void* start_instance;
extern void* start_previous_instance;
extern const char* start_command_line;
extern int start_show_mode;

extern bool display_exists;
// Set when main starts (the process entry, or a test's own start). Until
// then a Display only records that it was made: the library opens at main.
extern bool main_started;
// Whether the library is open: between KIVET_open and KIVET_close.
extern bool library_open;
extern WindowId graphics_window;  // none while the library is not open
extern WindowId text_window;      // none until opened, and after it is closed
extern void* instance;
// The bitmap all drawing goes to, from KIVET_open on, and the rows of it
// that changed since the window was last given it.
extern Bitmap* offscreen_bitmap;
// A white bitmap kept by reset_state for the next opening.
extern Bitmap* spare_bitmap;
extern ChangedRows changed_rows;
extern int origin_x;
extern int origin_y;
extern bool KIVET_dirty;
extern bool KIVET_logging;

extern int event_kind;
extern int event_x;
extern int event_y;
extern signed char event_key;
extern bool timer_fired;
extern bool ctrl_down;
extern bool running;
extern bool step_requested;
extern bool quit_requested;

extern bool recording;
extern bool playing_back;
extern bool play_one;
extern FILE* script_file;
extern bool script_file_writing;  // the open script file's mode
extern int periodic_count;
// While reading: the number in the file of the line read last, and whether
// that read ended inside a line (a line longer than the reader's buffer).
extern int script_line;
extern bool script_line_unfinished;

extern std::string log_ring[LOG_RING_SIZE];
extern int log_head;
extern int log_next;

extern char* answer_buffer;

// The library's message queue, filled by post_message.
extern std::deque<Message> message_queue;

}  // namespace kivet
