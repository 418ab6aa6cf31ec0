// Script recording and playback: the event stream written to "KIVET.SCR",
// one event per line with runs of periodic events counted on one line, and
// read back in place of live input, whole or one event per request.
//
// The one script file is never open in two modes: starting a recording
// first switches playback off, and starting playback first switches the
// recording off, each exactly as its own command would.
//
// Nothing here may freeze the program or tear the file: the system's file
// layer (kivet/platform/script_file.h) opens the file without blocking,
// refuses what is not a regular file, never follows a link for a recording
// and puts each line in the file whole or not at all; one pass of the
// playback step reads a bounded number of lines.
#include "kivet/script.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "kivet/platform/platform.h"
#include "kivet/platform/script_file.h"
#include "kivet/script_format.h"
#include "kivet/state.h"

namespace kivet {

constexpr int LINE_BUFFER_SIZE = 512;
// Lines one playback step reads at most before it lets the wait handle
// input again, however many empty lines the file holds.
constexpr int LINES_PER_STEP = 1000;

// Opens the script file in the given mode (through the system's file
// layer, which refuses files that could block or tear).
static ScriptFileOpening open_script(bool writing) {
  ScriptFileOpening opened = open_script_file(SCRIPT_FILE_NAME, writing);
  if (opened.file) {
    state().script_file.reset(opened.file);
    state().script_file_writing = writing;
  }
  return opened;
}

static void switch_recording_off() {
  state().recording = false;
  platform().check_menu_entry(CMD_RECORD, false);
}

// Puts one line at the end of the file, whole or not at all. After a failed
// write the file holds its complete lines only, and the recording is
// switched off, so that it plays back exactly the events written before.
static void write_line(const char* line, size_t length) {
  std::string failure = append_whole_line(state().script_file.get(), line, length);
  if (failure.empty()) return;
  KIVET_log_message("Cannot write to script file %s: %s; recording switched off\n",
                    SCRIPT_FILE_NAME, failure.c_str());
  switch_recording_off();
  state().periodic_count = 0;
  close_script_file(state().script_file.release());
  state().script_file_writing = false;
}

static void write_pending_periodic_line() {
  if (state().periodic_count > 0) {
    KIVET_script_write(EVENT_PERIODIC, KIVET_event_data{0, 0, 0});
    state().periodic_count = 0;
  }
}

static void start_recording() {
  if (state().playing_back) script_toggle_playback();
  state().play_one = false;
  if (state().script_file) KIVET_script_close();  // still open for reading after an unknown line
  state().periodic_count = 0;
  state().recording = true;
  platform().check_menu_entry(CMD_RECORD, true);
}

static void stop_recording() {
  switch_recording_off();
  write_pending_periodic_line();
  KIVET_script_close();
}

static void stop_recording_before_playback() {
  if (state().recording) stop_recording();
}

void script_toggle_recording() {
  if (state().recording) {
    stop_recording();
  } else {
    start_recording();
  }
}

void script_toggle_playback() {
  if (state().playing_back) {
    // Off: the periodic events still owed are dropped, so the next playback
    // starts cleanly from the first line.
    state().playing_back = false;
    state().play_one = false;
    platform().check_menu_entry(CMD_PLAYBACK, false);
    state().periodic_count = 0;
    KIVET_script_close();
    return;
  }
  stop_recording_before_playback();
  state().running = false;
  state().step_requested = false;
  state().playing_back = true;
  platform().check_menu_entry(CMD_PLAYBACK, true);
}

void script_play_one() {
  stop_recording_before_playback();
  state().running = false;
  state().step_requested = false;
  state().play_one = true;
}

bool script_playback_step() {
  bool one_requested = state().play_one;
  state().play_one = false;
  int result = KIVET_script_read();
  if (result == SCRIPT_READ_LATER) {
    state().play_one = one_requested;  // the request still stands
    return false;
  }
  if (result == 1) return true;
  KIVET_script_stop_playback();
  return false;
}

void script_recording_step() {
  if (state().event_kind == EVENT_PERIODIC) {
    if (state().periodic_count < INT_MAX) ++state().periodic_count;
    return;
  }
  write_pending_periodic_line();
  if (!state().recording) return;  // the pending line could not be written
  KIVET_script_write(state().event_kind,
                     KIVET_event_data{state().event_x, state().event_y, state().event_key});
}

void script_finish() {
  if (state().recording) {
    state().recording = false;
    write_pending_periodic_line();
  }
  state().periodic_count = 0;
  KIVET_script_close();
}

// Every line that is not an exact event line is named in the text window,
// with what was made of it, so that a mistake in a hand-written script
// never passes in silence.
static void report_inexact_line(const char* line, const std::string& what) {
  KIVET_log_message("%s line %d: \"%s\" is not an event line; %s\n", SCRIPT_FILE_NAME,
                    state().script_line, without_line_end(line).c_str(), what.c_str());
}

// Counts the file's lines as the reader takes them, a long line in pieces.
static void note_line_read(const char* piece) {
  if (!state().script_line_unfinished) ++state().script_line;
  size_t length = strlen(piece);
  state().script_line_unfinished = length == 0 || piece[length - 1] != '\n';
}

// A line of an event that the program has not switched on is passed over
// as an empty line is: such a program never receives that event.
static bool switched_on(int kind) {
  switch (kind) {
    case EVENT_KEY_PRESSED:
    case EVENT_KEY_RELEASED:
      return state().key_events;
    case EVENT_MOUSE_MOVED:
    case EVENT_MOUSE_RELEASED:
      return state().mouse_events;
    default:
      return true;
  }
}

static bool is_empty_line(const char* line) {
  return line[0] == '\n' || (line[0] == '\r' && line[1] == '\n');
}

// Ends playback at the end of the script or after a read error. The file is
// closed, so the next playback starts again from its first line.
static int end_playback() {
  KIVET_script_stop_playback();
  KIVET_script_close();
  return 0;
}

}  // namespace kivet

using namespace kivet;

void KIVET_script_write(int kind, KIVET_event_data data) {
  if (!state().script_file) {
    ScriptFileOpening opened = open_script(true);
    if (!opened.file) {
      KIVET_log_message("Cannot open script file %s for writing: %s\n", SCRIPT_FILE_NAME,
                        opened.reason.c_str());
      // A refused file stays what it is: the recording does not start.
      // Other failures may pass, and the next line tries again.
      if (opened.refused) {
        switch_recording_off();
        state().periodic_count = 0;
      }
      return;
    }
  }
  std::string line = format_event_line(kind, data, state().periodic_count);
  if (!line.empty()) write_line(line.c_str(), line.size());
}

int KIVET_script_read() {
  if (!state().script_file) {
    ScriptFileOpening opened = open_script(false);
    if (!opened.file) {
      KIVET_log_message("Cannot open script file %s for reading: %s\n", SCRIPT_FILE_NAME,
                        opened.reason.c_str());
      KIVET_script_stop_playback();
      return 0;
    }
    state().script_line = 0;
    state().script_line_unfinished = false;
  }
  if (state().periodic_count > 0) {
    state().event_kind = EVENT_PERIODIC;
    state().event_x = state().event_y = 0;
    state().event_key = 0;
    --state().periodic_count;
    return 1;
  }
  char line[LINE_BUFFER_SIZE];
  bool got = false;
  bool skipped = false;  // the last line read is one to pass over
  ScriptLine read;
  for (int lines = 0; lines < LINES_PER_STEP; ++lines) {
    got = fgets(line, sizeof line, state().script_file.get()) != nullptr;
    if (got) note_line_read(line);
    if (!got) break;
    skipped = is_empty_line(line);
    if (skipped) continue;
    read = parse_script_line(line);
    if (!read.exact) report_inexact_line(line, read.meaning);
    skipped = !switched_on(read.kind);
    if (!skipped) break;
  }
  if (got && skipped) return SCRIPT_READ_LATER;
  if (!got && ferror(state().script_file.get())) {
    // Not an end of file: the name may be a directory, or the disk failed.
    KIVET_log_message("Cannot read script file %s: %s\n", SCRIPT_FILE_NAME,
                      read_failure_reason(state().script_file.get()).c_str());
    return end_playback();
  }
  if (!got) {
    KIVET_log_message("EOF encountered in script file %s\n", SCRIPT_FILE_NAME);
    return end_playback();
  }
  if (read.kind == 0) return 0;
  LibraryState& st = state();
  st.event_kind = read.kind;
  st.event_x = read.x;
  st.event_y = read.y;
  st.event_key = read.key;
  if (read.kind == EVENT_PERIODIC) st.periodic_count = read.count - 1;
  return 1;
}

void KIVET_script_stop_playback() {
  state().playing_back = false;
  state().play_one = false;
  platform().check_menu_entry(CMD_PLAYBACK, false);
}

void KIVET_script_close() {
  if (!state().script_file) return;
  std::string failure = close_script_file(state().script_file.release());
  if (!failure.empty() && state().script_file_writing) {
    KIVET_log_message("Cannot write to script file %s: %s\n", SCRIPT_FILE_NAME, failure.c_str());
  }
  state().script_file_writing = false;
}
