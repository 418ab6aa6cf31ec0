#include "kivet/script_format.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "kivet/state.h"

namespace kivet {
namespace {

struct LineName {
  const char* name;
  int kind;
};

constexpr LineName LINE_NAMES[] = {
    {"KIVET_MOUSE", EVENT_MOUSE},
    {"KIVET_KBD", EVENT_KEYBOARD},
    {"KIVET_PERIODIC", EVENT_PERIODIC},
    // The lines of the events a program switches on. Their letters at
    // index 6 (D, U, A, L) are none of M, K and P, so that a reader that
    // knows only the three lines above stops at them.
    {"KIVET_DOWN", EVENT_KEY_PRESSED},
    {"KIVET_UP", EVENT_KEY_RELEASED},
    {"KIVET_AT", EVENT_MOUSE_MOVED},
    {"KIVET_LIFT", EVENT_MOUSE_RELEASED},
};

bool has_position(int kind) {
  return kind == EVENT_MOUSE || kind == EVENT_MOUSE_MOVED || kind == EVENT_MOUSE_RELEASED;
}

bool has_key(int kind) {
  return kind == EVENT_KEYBOARD || kind == EVENT_KEY_PRESSED || kind == EVENT_KEY_RELEASED;
}

// The index at which older readers looked for a line's kind.
constexpr size_t KIND_LETTER_INDEX = 6;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Converts an optional '-' and the decimal digits after it, saturating at
// the 32-bit limits.
int convert_number(const char* text) {
  bool negative = *text == '-';
  if (negative) ++text;
  long long value = 0;
  for (; is_digit(*text); ++text) {
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*text - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// The next run of digits and '-' from `*cursor` on, converted; 0 when the
// line holds no further run.
int next_signed_run(const char** cursor) {
  const char* p = *cursor;
  while (*p && !is_digit(*p) && *p != '-') ++p;
  const char* run_end = p;
  while (*run_end && (is_digit(*run_end) || *run_end == '-')) ++run_end;
  *cursor = run_end;
  return convert_number(p);
}

// The first run of digits from `text` on, with a '-' just before it taken
// as its sign when `signed_value`.
int first_digit_run(const char* text, bool signed_value) {
  const char* p = text;
  while (*p && !is_digit(*p)) ++p;
  if (signed_value && p > text && p[-1] == '-') --p;
  return convert_number(p);
}

// The kind named before the line's "(", or, for any other name, the kind
// that the letter at index 6 gives.
int line_kind(const char* line) {
  if (const char* open = strchr(line, '(')) {
    std::string name(line, open);
    for (const LineName& known : LINE_NAMES) {
      if (name == known.name) return known.kind;
    }
  }
  if (strlen(line) <= KIND_LETTER_INDEX) return 0;
  switch (line[KIND_LETTER_INDEX]) {
    case 'M':
      return EVENT_MOUSE;
    case 'K':
      return EVENT_KEYBOARD;
    case 'P':
      return EVENT_PERIODIC;
    default:
      return 0;
  }
}

std::string read_as(const ScriptLine& read) {
  char what[80];
  switch (read.kind) {
    case EVENT_MOUSE:
      snprintf(what, sizeof what, "read as a click at (%d, %d)", read.x, read.y);
      break;
    case EVENT_KEYBOARD:
      snprintf(what, sizeof what, "read as key %d", static_cast<int>(read.key));
      break;
    case EVENT_KEY_PRESSED:
    case EVENT_KEY_RELEASED:
      snprintf(what, sizeof what, "read as key %d %s", static_cast<int>(read.key),
               read.kind == EVENT_KEY_PRESSED ? "pressed" : "released");
      break;
    case EVENT_MOUSE_MOVED:
    case EVENT_MOUSE_RELEASED:
      snprintf(what, sizeof what, "read as the mouse %s at (%d, %d)",
               read.kind == EVENT_MOUSE_MOVED ? "moved" : "released", read.x, read.y);
      break;
    default:
      snprintf(what, sizeof what, "read as %d periodic event%s", read.count,
               read.count == 1 ? "" : "s");
      break;
  }
  return what;
}

}  // namespace

ScriptLine parse_script_line(const char* line) {
  ScriptLine read;
  read.kind = line_kind(line);
  int written_count = 0;  // the number as it stands in a periodic line
  if (has_position(read.kind)) {
    const char* rest = line + KIND_LETTER_INDEX;
    read.x = next_signed_run(&rest);
    read.y = next_signed_run(&rest);
  } else if (has_key(read.kind)) {
    read.key =
        static_cast<signed char>(first_digit_run(line + KIND_LETTER_INDEX + 1, true) & 0xFF);
  } else if (read.kind == EVENT_PERIODIC) {
    written_count = first_digit_run(line + KIND_LETTER_INDEX + 1, false);
    read.count = written_count < 1 ? 1 : written_count;
  } else {
    read.meaning = "ends playback";
    return read;
  }
  KIVET_event_data data{read.x, read.y, read.key};
  read.exact = (read.kind != EVENT_PERIODIC || written_count >= 1) &&
               without_line_end(line) ==
                   without_line_end(format_event_line(read.kind, data, written_count).c_str());
  if (!read.exact) read.meaning = read_as(read);
  return read;
}

std::string format_event_line(int kind, const KIVET_event_data& data, int count) {
  char line[64];
  switch (kind) {
    case EVENT_MOUSE:
      snprintf(line, sizeof line, "KIVET_MOUSE(%d, %d);\n", data.x, data.y);
      break;
    case EVENT_KEYBOARD:
      snprintf(line, sizeof line, "KIVET_KBD(%d);\n", static_cast<int>(data.key));
      break;
    case EVENT_PERIODIC:
      snprintf(line, sizeof line, "KIVET_PERIODIC(%d);\n", count);
      break;
    case EVENT_KEY_PRESSED:
      snprintf(line, sizeof line, "KIVET_DOWN(%d);\n", static_cast<int>(data.key));
      break;
    case EVENT_KEY_RELEASED:
      snprintf(line, sizeof line, "KIVET_UP(%d);\n", static_cast<int>(data.key));
      break;
    case EVENT_MOUSE_MOVED:
      snprintf(line, sizeof line, "KIVET_AT(%d, %d);\n", data.x, data.y);
      break;
    case EVENT_MOUSE_RELEASED:
      snprintf(line, sizeof line, "KIVET_LIFT(%d, %d);\n", data.x, data.y);
      break;
    default:
      return std::string();
  }
  return line;
}

std::string without_line_end(const char* line) {
  std::string text(line);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

}  // namespace kivet
