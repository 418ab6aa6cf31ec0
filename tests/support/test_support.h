// Shared helpers for the headless tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kivet/kivet.h"
#include "kivet/platform/headless/memory_platform.h"
#include "kivet/state.h"

// Starts every test on a fresh library and headless window system.
class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override { kivet::headless::reset(); }
  void TearDown() override {
    kivet::headless::reset();
    leave_scratch_directory();
  }

  // Opens the library as the Display does, logging left as given.
  static void open_library() { KIVET_open(nullptr, nullptr, "", 1); }
  // Works in a fresh directory (where script files land) until the test ends.
  void enter_scratch_directory();

 private:
  void leave_scratch_directory();
  std::string scratch_;
};

struct WaitResult {
  int kind;
  int x;
  int y;
  int key;
};

WaitResult wait_event();

// The visible lines of the text window, newest last.
std::vector<std::string> text_lines();
// The last `n` lines of the text window.
std::vector<std::string> last_lines(size_t n);

// Bitmap pixel at display coordinates, as 0xRRGGBB.
uint32_t bitmap_pixel(int x, int y);
// Palette colour as 0xRRGGBB.
uint32_t palette_rgb(int color);
