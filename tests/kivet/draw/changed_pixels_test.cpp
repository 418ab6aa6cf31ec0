// What a window is sent of a frame: only the pixels that differ from its
// copy, within the rows said to have changed, in boxes that join rows lying
// close together; the copy then matches, so the same frame sends nothing.
#include <gtest/gtest.h>

#include <vector>

#include "kivet/draw/changed_pixels.h"

namespace {

using kivet::BITMAP_HEIGHT;
using kivet::BITMAP_WIDTH;
using kivet::ChangedRows;
using kivet::PixelBox;

std::vector<uint32_t> blank() { return std::vector<uint32_t>(BITMAP_WIDTH * BITMAP_HEIGHT, 0xFFFFFF); }
void set(std::vector<uint32_t>& p, int x, int y, uint32_t v) { p[y * BITMAP_WIDTH + x] = v; }
std::vector<int> as_list(const PixelBox& b) { return {b.left, b.top, b.right, b.bottom}; }

TEST(ChangedPixelsTest, BoxesHoldExactlyTheDifferencesAndTheCopyFollows) {
  std::vector<uint32_t> frame = blank(), shown = blank();
  EXPECT_TRUE(kivet::take_differences(frame.data(), shown.data(), ChangedRows::all(), 10).empty())
      << "a frame redrawn the same sends nothing";

  set(frame, 0, 0, 1);                 // the first pixel
  set(frame, BITMAP_WIDTH - 1, 3, 2);  // the last of a row, three rows down: joined
  set(frame, 7, 100, 3);               // far below: a box of its own
  set(frame, 9, 109, 4);               // nine rows further: joined to that one
  set(frame, 5, BITMAP_HEIGHT - 1, 5);  // the last row, outside the rows said to change
  ChangedRows rows{0, BITMAP_HEIGHT - 2};
  std::vector<PixelBox> boxes = kivet::take_differences(frame.data(), shown.data(), rows, 10);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(as_list(boxes[0]), (std::vector<int>{0, 0, BITMAP_WIDTH - 1, 3}));
  EXPECT_EQ(as_list(boxes[1]), (std::vector<int>{7, 100, 9, 109}));
  EXPECT_EQ(boxes[1].width(), 3);
  EXPECT_EQ(boxes[1].height(), 10);

  EXPECT_EQ(shown[100 * BITMAP_WIDTH + 7], 3u);
  EXPECT_EQ(shown[(BITMAP_HEIGHT - 1) * BITMAP_WIDTH + 5], 0xFFFFFFu)
      << "rows not said to change are not read";
  EXPECT_TRUE(kivet::take_differences(frame.data(), shown.data(), rows, 10).empty());

  // One box for the whole frame when the gap is the bitmap's height; rows
  // past the bitmap are cut off.
  set(frame, 20, 10, 6);
  set(frame, 30, 400, 7);
  boxes = kivet::take_differences(frame.data(), shown.data(), ChangedRows{-5, BITMAP_HEIGHT + 9},
                                  BITMAP_HEIGHT);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(as_list(boxes[0]), (std::vector<int>{5, 10, 30, BITMAP_HEIGHT - 1}));
  EXPECT_EQ(shown, frame);
}

// Rows are compared in runs of pixels: a difference at any column, alone or
// with a second one anywhere right of it, gives exactly its own span.
TEST(ChangedPixelsTest, TheSpanIsExactAtEveryColumn) {
  std::vector<uint32_t> frame = blank(), shown = blank();
  for (int first = 0; first < BITMAP_WIDTH; first += 1 + (first % 7 == 3 ? 0 : 4)) {
    for (int last : {first, first + 1, first + 31, first + 32, first + 33, BITMAP_WIDTH - 1}) {
      if (last >= BITMAP_WIDTH) continue;
      set(frame, first, 8, 0x123456);
      set(frame, last, 8, 0x654321);
      std::vector<PixelBox> boxes =
          kivet::take_differences(frame.data(), shown.data(), ChangedRows::all(), 10);
      ASSERT_EQ(boxes.size(), 1u) << first << " " << last;
      EXPECT_EQ(as_list(boxes[0]), (std::vector<int>{first, 8, last, 8})) << first << " " << last;
      frame = blank();
      shown = blank();
    }
  }
}

// Only the rows added are compared: a frame that changes rows at the top
// and the bottom leaves the rows between them unread, and rows gathered
// from several frames keep each frame's own.
TEST(ChangedPixelsTest, OnlyTheRowsAddedAreCompared) {
  std::vector<uint32_t> frame = blank(), shown = blank();
  set(frame, 1, 5, 1);
  set(frame, 2, 200, 2);  // differs, but its row is not added
  set(frame, 3, 400, 3);
  ChangedRows first{5, 5}, second{400, 401};
  ChangedRows gathered;
  gathered.add(first);
  gathered.add(second);
  gathered.add(ChangedRows{});
  EXPECT_EQ(gathered.top, 5);
  EXPECT_EQ(gathered.bottom, 401);
  EXPECT_FALSE(gathered.has(200));
  ChangedRows run{3, 70};
  EXPECT_EQ(std::vector<bool>({run.has(2), run.has(3), run.has(40), run.has(70), run.has(71)}),
            std::vector<bool>({false, true, true, true, false}));
  EXPECT_TRUE(ChangedRows::all().has(0));
  EXPECT_TRUE(ChangedRows::all().has(BITMAP_HEIGHT - 1));
  std::vector<PixelBox> boxes =
      kivet::take_differences(frame.data(), shown.data(), gathered, BITMAP_HEIGHT);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(as_list(boxes[0]), (std::vector<int>{1, 5, 3, 400}));
  EXPECT_EQ(shown[200 * BITMAP_WIDTH + 2], 0xFFFFFFu);
  EXPECT_EQ(shown[400 * BITMAP_WIDTH + 3], 3u);
}

}  // namespace
