// Fuzz target: arbitrary bytes as the script file, played back through the
// event wait. Every event returned must be one the file can describe, and
// playback must end within the events the file stands for. Every line of
// the file, as the reader takes it, must also mean to the line parser what
// it meant to the reader of version 1.1.0, kept here as the reference:
// the same event, values, exactness and message; the lines of the events
// a program switches on, which that reader stops at, are passed over by a
// program that has not switched them on.
#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kivet/kivet.h"
#include "kivet/platform/headless/memory_platform.h"
#include "kivet/script.h"
#include "kivet/script_format.h"
#include "kivet/state.h"

namespace {

// Waits taken per input at most; a periodic line may stand for 2^31 events.
constexpr int MAX_WAITS = 2000;

void enter_scratch_directory() {
  static bool done = false;
  if (done) return;
  char pattern[] = "/tmp/kivet-fuzz-XXXXXX";
  if (!mkdtemp(pattern) || chdir(pattern) != 0) abort();
  done = true;
}

// Puts the input in the script file, written over in place and then cut to
// the input's length. Emptying the file first, as fopen's "w" does, makes
// ext4 start writing it to the disk when it is closed: about 470 us per
// input here, against 12 us in place.
void write_script_file(const uint8_t* data, size_t size) {
  int fd = open(kivet::SCRIPT_FILE_NAME, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) abort();
  for (size_t done = 0; done < size;) {
    ssize_t written = write(fd, data + done, size - done);
    if (written <= 0) abort();
    done += static_cast<size_t>(written);
  }
  if (ftruncate(fd, static_cast<off_t>(size)) != 0 || close(fd) != 0) abort();
}

// The reader of version 1.1.0: a line's kind by the character at index 6.
namespace reference {

int convert_number(const char* text) {
  bool negative = *text == '-';
  if (negative) ++text;
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*text - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

int next_signed_run(const char** cursor) {
  const char* p = *cursor;
  while (*p && !is_digit(*p) && *p != '-') ++p;
  const char* run_end = p;
  while (*run_end && (is_digit(*run_end) || *run_end == '-')) ++run_end;
  *cursor = run_end;
  return convert_number(p);
}

int first_digit_run(const char* text, bool signed_value) {
  const char* p = text;
  while (*p && !is_digit(*p)) ++p;
  if (signed_value && p > text && p[-1] == '-') --p;
  return convert_number(p);
}

std::string without_line_end(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

kivet::ScriptLine parse(const char* line) {
  kivet::ScriptLine read;
  int count = 0;
  char exact[64] = "";
  switch (strlen(line) < 7 ? '\0' : line[6]) {
    case 'M': {
      read.kind = 1;
      const char* rest = line + 6;
      read.x = next_signed_run(&rest);
      read.y = next_signed_run(&rest);
      snprintf(exact, sizeof exact, "KIVET_MOUSE(%d, %d);\n", read.x, read.y);
      break;
    }
    case 'K':
      read.kind = 2;
      read.key = static_cast<signed char>(first_digit_run(line + 7, true) & 0xFF);
      snprintf(exact, sizeof exact, "KIVET_KBD(%d);\n", static_cast<int>(read.key));
      break;
    case 'P':
      read.kind = 3;
      count = first_digit_run(line + 7, false);
      read.count = count < 1 ? 1 : count;
      snprintf(exact, sizeof exact, "KIVET_PERIODIC(%d);\n", count);
      break;
    default:
      read.meaning = "ends playback";
      return read;
  }
  read.exact = !(read.kind == 3 && count < 1) && without_line_end(line) == without_line_end(exact);
  if (read.exact) return read;
  char what[80];
  if (read.kind == 1) {
    snprintf(what, sizeof what, "read as a click at (%d, %d)", read.x, read.y);
  } else if (read.kind == 2) {
    snprintf(what, sizeof what, "read as key %d", static_cast<int>(read.key));
  } else {
    snprintf(what, sizeof what, "read as %d periodic event%s", read.count,
             read.count == 1 ? "" : "s");
  }
  read.meaning = what;
  return read;
}

}  // namespace reference

// The event kind of a line named as one of the events a program switches
// on, or 0.
int switched_on_kind(const char* line) {
  const char* open = strchr(line, '(');
  if (!open) return 0;
  std::string name(line, open);
  if (name == "KIVET_DOWN") return kivet::EVENT_KEY_PRESSED;
  if (name == "KIVET_UP") return kivet::EVENT_KEY_RELEASED;
  if (name == "KIVET_AT") return kivet::EVENT_MOUSE_MOVED;
  if (name == "KIVET_LIFT") return kivet::EVENT_MOUSE_RELEASED;
  return 0;
}

// The input in the pieces the reader takes (as fgets into 512 bytes does,
// each ending at a newline or after 511 bytes), each compared as a C string.
void compare_with_reference(const uint8_t* data, size_t size) {
  size_t start = 0;
  while (start < size) {
    size_t end = start;
    while (end < size && end - start < 511 && data[end++] != '\n') {
    }
    std::string piece(reinterpret_cast<const char*>(data) + start, end - start);
    start = end;
    const char* line = piece.c_str();  // as far as a zero byte, as the reader sees it
    kivet::ScriptLine got = kivet::parse_script_line(line);
    kivet::ScriptLine want = reference::parse(line);
    // The lines of the events a program switches on are new: the reference
    // stops at them, as any reader that knows only the old lines must.
    if (int kind = switched_on_kind(line)) {
      if (want.kind != 0 || got.kind != kind) abort();
      continue;
    }
    if (got.kind != want.kind || got.exact != want.exact || got.meaning != want.meaning) abort();
    if (got.kind == 0) continue;
    if (got.x != want.x || got.y != want.y || got.key != want.key) abort();
    if (got.kind == 3 && got.count != want.count) abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_scratch_directory();
  write_script_file(data, size);
  compare_with_reference(data, size);

  kivet::headless::reset();
  KIVET_open(nullptr, nullptr, "", 1);
  KIVET_set_logging(0);
  kivet::script_toggle_playback();
  KIVET_set_animation(2);  // once playback stops, ticks end the waits
  for (int i = 0; i < MAX_WAITS && kivet::state().playing_back; ++i) {
    int x = 0, y = 0;
    char key = 0;
    int kind = KIVET_wait_event(&x, &y, &key);
    if (kind < 1 || kind > 4) abort();
    if (kind != 1 && (x != 0 || y != 0)) abort();
    if (kind != 2 && key != 0) abort();
  }
  if (kivet::state().playing_back) kivet::script_toggle_playback();
  KIVET_close();
  if (kivet::state().script_file) abort();
  kivet::headless::reset();
  return 0;
}
