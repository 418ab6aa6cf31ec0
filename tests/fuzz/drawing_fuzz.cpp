// Fuzz target: the drawing and text calls with arbitrary arguments. Each
// call's complaint lines must name the corrected values, and its log
// sentence must use them.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kivet/kivet.h"
#include "kivet/platform/headless/memory_platform.h"
#include "kivet/state.h"

namespace {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  int next_int() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | next_byte();
    // Small values are the interesting ones most of the time.
    switch (value & 3) {
      case 0:
        return static_cast<int>(value);
      case 1:
        return static_cast<int>(value >> 20) - 2048;
      default:
        return static_cast<int>(value >> 24) - 128;
    }
  }
  uint8_t next_byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  bool done() const { return pos_ >= size_; }
  std::string next_text() {
    size_t length = next_byte() * 4u;
    std::string text;
    while (text.size() < length && !done()) text.push_back(static_cast<char>(next_byte()));
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

const std::vector<std::string>& lines() { return kivet::headless::text_lines(); }

void expect(bool condition) {
  if (!condition) abort();
}

int corrected_size(int value) { return value == INT_MIN ? INT_MAX : (value < 0 ? -value : value); }

// The lines written by the last call: everything after `before`.
std::vector<std::string> written_since(size_t before) {
  const auto& all = lines();
  return std::vector<std::string>(all.begin() + static_cast<long>(before), all.end());
}

std::string color_complaint(int color) {
  return "Illegal color " + std::to_string(color) + "; using RED.";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kivet::headless::reset();
  KIVET_open(nullptr, nullptr, "", 1);
  Input in(data, size);
  for (int call = 0; call < 16 && !in.done(); ++call) {
    kivet::platform().text_clear();
    int kind = in.next_byte() % 8;
    int color = in.next_int();
    int x1 = in.next_int(), y1 = in.next_int(), x2 = in.next_int(), y2 = in.next_int();
    int x3 = in.next_int(), y3 = in.next_int(), width = in.next_int();
    KIVET_set_logging(in.next_byte() & 1);
    bool bad_color = color < 0 || color >= NUM_COLORS;
    bool bad_width = width < 0;
    std::string width_complaint = "Width of " + std::to_string(width) +
                                  " not possible, using width " +
                                  std::to_string(corrected_size(width));
    size_t before = lines().size();
    switch (kind) {
      case 0:
        KIVET_draw_pixel(color, x1, y1);
        break;
      case 1:
        KIVET_draw_line(color, x1, y1, x2, y2, width);
        break;
      case 2:
        KIVET_draw_triangle(color, x1, y1, x2, y2, x3, y3, width);
        break;
      case 3:
        KIVET_draw_rectangle(color, x1, y1, x2, y2, width);
        break;
      case 4:
        KIVET_draw_oval(color, x1, y1, x2, y2, width);
        break;
      case 5: {
        KIVET_draw_circle(color, x1, y1, width);
        std::vector<std::string> out = written_since(before);
        size_t i = 0;
        if (bad_color) expect(out.at(i++) == color_complaint(color));
        if (bad_width) {
          expect(out.at(i++) == "Radius of " + std::to_string(width) +
                                    " not possible, using radius " +
                                    std::to_string(corrected_size(width)));
        }
        if (kivet::state().KIVET_logging) {
          expect(out.at(i).find(" radius " + std::to_string(corrected_size(width))) !=
                 std::string::npos);
        }
        continue;
      }
      case 6: {
        std::string text = in.next_text();
        KIVET_draw_text(color, x1, y1, width, text.c_str());
        std::vector<std::string> out = written_since(before);
        size_t i = 0;
        int corrected = width;
        if (width < 0) {
          corrected = corrected_size(width);
          expect(out.at(i++) == "ptsize of " + std::to_string(width) +
                                    " not possible, using ptsize " + std::to_string(corrected));
        }
        if (corrected > 127) {
          expect(out.at(i++) ==
                 "ptsize of " + std::to_string(corrected) + " not possible, using ptsize 127");
        }
        if (bad_color) expect(out.at(i++) == color_complaint(color));
        continue;
      }
      default:
        KIVET_printf_text(color, x1, y1, width % 200, "%s|%d", in.next_text().c_str(), x2);
        continue;
    }
    // Shapes: the complaints come in each primitive's own order.
    std::vector<std::string> out = written_since(before);
    std::vector<std::string> complaints;
    bool width_first = kind == 1 || kind == 4;
    if (width_first && bad_width) complaints.push_back(width_complaint);
    if (bad_color) complaints.push_back(color_complaint(color));
    if (!width_first && bad_width && kind != 0) complaints.push_back(width_complaint);
    expect(out.size() == complaints.size() + (kivet::state().KIVET_logging ? 1 : 0));
    for (size_t i = 0; i < complaints.size(); ++i) expect(out[i] == complaints[i]);
    if (kivet::state().KIVET_logging) {
      const char* name = KIVET_color_names[bad_color ? RED : color];
      expect(out.back().compare(0, strlen(name), name) == 0);
    }
  }
  kivet::headless::reset();
  return 0;
}
