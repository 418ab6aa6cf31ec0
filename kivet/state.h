// The library's global state: one set of variables per process, shared by
// the event wait, the window handlers, drawing, the log and the script. They
// live in one struct with one instance, reached through state(), so that
// resetting them is one assignment of a fresh value and no variable can be
// left out of it.
#pragma once

#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "kivet/draw/bitmap.h"
#include "kivet/kivet.h"
#include "kivet/platform/message.h"

namespace kivet {

// The graphics window's outer size is the off-screen bitmap's (bitmap.h).
constexpr int TIMER_NUMBER = 2;
constexpr int TIMER_PERIOD_MS = 100;  // the tick until the program sets another
constexpr int TICK_MIN_MS = 10;
constexpr int TICK_MAX_MS = 1000;
constexpr int LOG_RING_SIZE = 25;
constexpr int MESSAGE_BUFFER_SIZE = 1024;  // at most 1023 characters

// Event kinds inside the library.
constexpr int EVENT_NONE_YET = -1;
constexpr int EVENT_MOUSE = 1;
constexpr int EVENT_KEYBOARD = 2;
constexpr int EVENT_PERIODIC = 3;
constexpr int EVENT_QUIT = 4;
// Only for a program that has switched key events on (KIVET_set_key_events).
constexpr int EVENT_KEY_PRESSED = 5;
constexpr int EVENT_KEY_RELEASED = 6;
// Only for a program that has switched mouse events on (KIVET_set_mouse_events).
constexpr int EVENT_MOUSE_MOVED = 7;
constexpr int EVENT_MOUSE_RELEASED = 8;
// Every kind of event the wait can return. Each but quit has a script line
// (script_format.h), which a test checks for every kind listed here.
constexpr int EVENT_KINDS[] = {EVENT_MOUSE,       EVENT_KEYBOARD,     EVENT_PERIODIC,
                               EVENT_QUIT,        EVENT_KEY_PRESSED,  EVENT_KEY_RELEASED,
                               EVENT_MOUSE_MOVED, EVENT_MOUSE_RELEASED};
// The number of key codes (0 to 255) that key_down can tell.
constexpr int KEY_CODES = 256;

// The decoded pictures kept at most, in bytes of their pixels, and the
// largest picture file read.
constexpr size_t PICTURE_CACHE_BYTES = size_t{64} << 20;
constexpr size_t PICTURE_FILE_MAX_BYTES = size_t{64} << 20;

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

// The pictures kept, known only to the file that draws them: a program
// that draws none links nothing of them.
struct PictureCache;
using PictureCachePointer = std::unique_ptr<PictureCache, void (*)(PictureCache*)>;

// Closes the script file when the state lets it go.
struct ScriptFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

struct LibraryState {
  // Start-up values kept by the process entry.
  int start_argc = 0;
  char** start_argv = nullptr;
  void* start_instance = nullptr;
  void* start_previous_instance = nullptr;
  const char* start_command_line = nullptr;
  int start_show_mode = 0;

  bool display_exists = false;
  // Set when main starts (the process entry, or a test's own start). Until
  // then a Display only records that it was made: the library opens at main,
  // or, for a second Display, refuses it then.
  bool main_started = false;
  bool open_at_main = false;
  bool refuse_at_main = false;
  // Whether the library is open: between KIVET_open and KIVET_close.
  bool library_open = false;
  WindowId graphics_window = WindowId::none;  // none while the library is not open
  WindowId text_window = WindowId::none;      // none until opened, and after it is closed
  void* instance = nullptr;
  // The bitmap all drawing goes to, from KIVET_open on, and the rows of it
  // that changed since the window was last given it.
  std::unique_ptr<Bitmap> offscreen_bitmap;
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

  // What the program has switched on beyond the four old kinds of event,
  // and the keys down as of the key events returned so far.
  bool key_events = false;
  bool mouse_events = false;
  bool keys_down[KEY_CODES] = {};
  int tick_ms = TIMER_PERIOD_MS;
  // Whether the program has asked for an event, and drawn, since it opened
  // the library; and which learner notes were given.
  bool asked_for_event = false;
  bool has_drawn = false;
  bool noted_no_wait = false;

  // Pictures decoded from files (kivet/picture.cpp), kept while the library
  // is open; none until the program draws one.
  PictureCachePointer pictures{nullptr, nullptr};

  bool recording = false;
  bool playing_back = false;
  bool play_one = false;
  std::unique_ptr<std::FILE, ScriptFileCloser> script_file;
  bool script_file_writing = false;  // the open script file's mode
  int periodic_count = 0;
  // While reading: the number in the file of the line read last, and whether
  // that read ended inside a line (a line longer than the reader's buffer).
  int script_line = 0;
  bool script_line_unfinished = false;

  std::string log_ring[LOG_RING_SIZE];
  int log_head = -1;
  int log_next = 0;

  char* answer_buffer = nullptr;

  // Snapshots of the picture while the program runs (KIVET_SNAPSHOT_FRAMES):
  // the periodic events after which one is wanted, in rising order, the
  // next of them, the periodic events returned so far, and whether one is
  // to be written when the program next asks for an event.
  std::vector<int> snapshot_frames;
  size_t next_snapshot_frame = 0;
  int periodic_events_returned = 0;
  int frame_snapshot_due = 0;  // the frame's number, or 0
  // Quits the wait has returned, counted up to the bound of run_endings.h.
  int quits_returned = 0;

  // The library's message queue, filled by post_message.
  std::deque<Message> message_queue;
};

// The one instance, made when it is first needed (a Display at file scope
// may need it before main) and never destroyed: the library closes itself
// while the program ends, after other objects may be gone.
inline LibraryState& state() {
  static LibraryState* instance = new LibraryState;
  return *instance;
}

}  // namespace kivet
