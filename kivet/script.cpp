// Script recording and playback: the event stream written to "KIVET.SCR",
// one event per line with runs of periodic events counted on one line, and
// read back in place of live input, whole or one event per request.
//
// The one script file is never open in two modes: starting a recording
// first switches playback off, and starting playback first switches the
// recording off, each exactly as its own command would.
#include "kivet/script.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include "kivet/platform/platform.h"
#include "kivet/state.h"

namespace kivet {

constexpr int LINE_BUFFER_SIZE = 512;

static bool open_script(bool writing) {
  script_file = fopen(SCRIPT_FILE_NAME, writing ? "w" : "r");
  script_file_writing = writing;
  return script_file != nullptr;
}

static void report_write_failure() {
  if (script_write_failed) return;
  script_write_failed = true;
  KIVET_log_message("Cannot write to script file %s: %s\n", SCRIPT_FILE_NAME, strerror(errno));
}

static void write_pending_periodic_line() {
  if (periodic_count > 0) {
    KIVET_script_write(EVENT_PERIODIC, KIVET_event_data{0, 0, 0});
    periodic_count = 0;
  }
}

static void start_recording() {
  if (playing_back) script_toggle_playback();
  play_one = false;
  if (script_file) KIVET_script_close();  // still open for reading at its end
  periodic_count = 0;
  script_write_failed = false;
  recording = true;
  platform().check_menu_entry(CMD_RECORD, true);
}

static void stop_recording() {
  recording = false;
  platform().check_menu_entry(CMD_RECORD, false);
  write_pending_periodic_line();
  KIVET_script_close();
}

static void stop_recording_before_playback() {
  if (recording) stop_recording();
}

void script_toggle_recording() {
  if (recording) {
    stop_recording();
  } else {
    start_recording();
  }
}

void script_toggle_playback() {
  if (playing_back) {
    // Off: the periodic events still owed are dropped, so the next playback
    // starts cleanly from the first line.
    playing_back = false;
    play_one = false;
    platform().check_menu_entry(CMD_PLAYBACK, false);
    periodic_count = 0;
    KIVET_script_close();
    return;
  }
  stop_recording_before_playback();
  running = false;
  step_requested = false;
  playing_back = true;
  platform().check_menu_entry(CMD_PLAYBACK, true);
}

void script_play_one() {
  stop_recording_before_playback();
  running = false;
  step_requested = false;
  play_one = true;
}

bool script_playback_step() {
  play_one = false;
  if (KIVET_script_read()) return true;
  KIVET_script_stop_playback();
  return false;
}

void script_recording_step() {
  if (event_kind == EVENT_PERIODIC) {
    if (periodic_count < INT_MAX) ++periodic_count;
    return;
  }
  write_pending_periodic_line();
  KIVET_script_write(event_kind, KIVET_event_data{event_x, event_y, event_key});
}

// Converts an optional '-' and the decimal digits after it, saturating at the
// 32-bit limits. `*end` is left just past what was converted.
static int convert_number(const char* text, const char** end) {
  bool negative = *text == '-';
  if (negative) ++text;
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*text - '0');
  }
  *end = text;
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

static bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The next run of digits and '-' from `*cursor` on, converted; 0 when the
// line holds no further run.
static int next_signed_run(const char** cursor) {
  const char* p = *cursor;
  while (*p && !is_digit(*p) && *p != '-') ++p;
  const char* run_end = p;
  while (*run_end && (is_digit(*run_end) || *run_end == '-')) ++run_end;
  const char* ignored;
  int value = convert_number(p, &ignored);
  *cursor = run_end;
  return value;
}

// The first run of digits from `text` on, with a '-' just before it taken as
// its sign when `signed_value`.
static int first_digit_run(const char* text, bool signed_value) {
  const char* p = text;
  while (*p && !is_digit(*p)) ++p;
  if (signed_value && p > text && p[-1] == '-') --p;
  const char* ignored;
  return convert_number(p, &ignored);
}

static bool is_empty_line(const char* line) {
  return line[0] == '\n' || (line[0] == '\r' && line[1] == '\n');
}

}  // namespace kivet

using namespace kivet;

void KIVET_script_write(int kind, KIVET_event_data data) {
  if (!script_file && !open_script(true)) {
    KIVET_log_message("Cannot open script file %s for writing\n", SCRIPT_FILE_NAME);
    return;
  }
  int written = 0;
  switch (kind) {
    case EVENT_MOUSE:
      written = fprintf(script_file, "KIVET_MOUSE(%d, %d);\n", data.x, data.y);
      break;
    case EVENT_KEYBOARD:
      written = fprintf(script_file, "KIVET_KBD(%d);\n", static_cast<int>(data.key));
      break;
    case EVENT_PERIODIC:
      written = fprintf(script_file, "KIVET_PERIODIC(%d);\n", periodic_count);
      break;
    default:
      return;
  }
  // Each line goes to the file at once, so a full disk is noticed here.
  if (written < 0 || fflush(script_file) != 0) report_write_failure();
}

int KIVET_script_read() {
  if (!script_file && !open_script(false)) {
    KIVET_log_message("Cannot open script file %s for reading\n", SCRIPT_FILE_NAME);
    KIVET_script_stop_playback();
    return 0;
  }
  if (periodic_count > 0) {
    event_kind = EVENT_PERIODIC;
    event_x = event_y = 0;
    event_key = 0;
    --periodic_count;
    return 1;
  }
  char line[LINE_BUFFER_SIZE];
  bool got = fgets(line, sizeof line, script_file) != nullptr;
  while (got && is_empty_line(line)) got = fgets(line, sizeof line, script_file) != nullptr;
  if (!got && ferror(script_file)) {
    // Not an end of file: the name may be a directory, or the disk failed.
    KIVET_log_message("Cannot read script file %s: %s\n", SCRIPT_FILE_NAME, strerror(errno));
    clearerr(script_file);
    KIVET_script_stop_playback();
    return 0;
  }
  if (!got) {
    KIVET_log_message("EOF encountered in script file %s\n", SCRIPT_FILE_NAME);
    KIVET_script_stop_playback();
    return 0;
  }
  if (strlen(line) < 7) return 0;
  const char* rest = line + 6;
  event_x = event_y = 0;
  event_key = 0;
  switch (line[6]) {
    case 'M':
      event_kind = EVENT_MOUSE;
      event_x = next_signed_run(&rest);
      event_y = next_signed_run(&rest);
      return 1;
    case 'K':
      event_kind = EVENT_KEYBOARD;
      event_key = static_cast<signed char>(first_digit_run(line + 7, true) & 0xFF);
      return 1;
    case 'P': {
      event_kind = EVENT_PERIODIC;
      int count = first_digit_run(line + 7, false);
      periodic_count = count > 1 ? count - 1 : 0;
      return 1;
    }
    default:
      return 0;
  }
}

void KIVET_script_stop_playback() {
  playing_back = false;
  play_one = false;
  platform().check_menu_entry(CMD_PLAYBACK, false);
}

void KIVET_script_close() {
  if (!script_file) return;
  if (fclose(script_file) != 0 && script_file_writing) report_write_failure();
  script_file = nullptr;
  script_file_writing = false;
}
