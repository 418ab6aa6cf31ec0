// The snapshot of the off-screen bitmap: the whole 601 x 540 picture the
// program drew, as a PNG, for automated checks of a program's output. The
// PNG is encoded by stb_image_write, which builds for every target.
#include "kivet/snapshot.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kivet/state.h"

// Only the in-memory writer, with private names, so that a program using
// stb itself is not disturbed.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

namespace kivet {

namespace {

struct Output {
  FILE* file;
  int error;  // the first write's errno, or 0
};

void write_to_file(void* context, void* data, int size) {
  Output& out = *static_cast<Output*>(context);
  if (out.error != 0 || size <= 0) return;
  if (fwrite(data, 1, static_cast<size_t>(size), out.file) != static_cast<size_t>(size)) {
    out.error = errno != 0 ? errno : EIO;
  }
}

// The bitmap's pixels as 8-bit red, green, blue.
std::vector<unsigned char> rgb_rows(const Bitmap& bitmap) {
  std::vector<unsigned char> rgb;
  rgb.reserve(static_cast<size_t>(BITMAP_WIDTH) * BITMAP_HEIGHT * 3);
  for (int y = 0; y < BITMAP_HEIGHT; ++y) {
    const uint32_t* row = bitmap.row(y);
    for (int x = 0; x < BITMAP_WIDTH; ++x) {
      rgb.push_back(static_cast<unsigned char>(row[x] >> 16));
      rgb.push_back(static_cast<unsigned char>(row[x] >> 8));
      rgb.push_back(static_cast<unsigned char>(row[x]));
    }
  }
  return rgb;
}

}  // namespace

std::string write_png(const Bitmap& bitmap, const char* path) {
  FILE* file = fopen(path, "wb");
  if (!file) return strerror(errno);
  Output out{file, 0};
  std::vector<unsigned char> rgb = rgb_rows(bitmap);
  errno = 0;
  bool encoded = stbi_write_png_to_func(write_to_file, &out, BITMAP_WIDTH, BITMAP_HEIGHT, 3,
                                        rgb.data(), BITMAP_WIDTH * 3) != 0;
  bool closed = fclose(file) == 0;
  if (out.error != 0) return strerror(out.error);
  if (!encoded) return "the picture could not be encoded";
  if (!closed) return strerror(errno);
  return std::string();
}

static void write_snapshot(const char* path) {
  std::string reason = write_png(*state().offscreen_bitmap, path);
  if (!reason.empty()) {
    fprintf(stderr, "kivet: cannot write the snapshot to %s: %s\n", path, reason.c_str());
  }
}

static const char* snapshot_path() {
  const char* path = getenv("KIVET_SNAPSHOT");
  return path && *path ? path : nullptr;
}

void write_requested_snapshot() {
  write_due_frame_snapshot();
  const char* path = snapshot_path();
  if (!path || !state().offscreen_bitmap) return;
  write_snapshot(path);
}

std::string frame_snapshot_path(const std::string& path, int frame) {
  size_t name = path.find_last_of("/\\");
  name = name == std::string::npos ? 0 : name + 1;
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot <= name) dot = path.size();
  char number[16];
  snprintf(number, sizeof number, "-%d", frame);
  return path.substr(0, dot) + number + path.substr(dot);
}

// One entry of the list: a whole number from 1 up, or 0.
static int frame_number(const std::string& entry) {
  if (entry.empty() || entry.size() > 9) return 0;
  for (char c : entry) {
    if (c < '0' || c > '9') return 0;
  }
  return atoi(entry.c_str());
}

void read_snapshot_frames() {
  LibraryState& s = state();
  s.snapshot_frames.clear();
  s.next_snapshot_frame = 0;
  const char* list = getenv("KIVET_SNAPSHOT_FRAMES");
  if (!list || !*list) return;
  std::string text = list;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    std::string entry = text.substr(start, end - start);
    int frame = frame_number(entry);
    if (frame > 0) {
      // Kept in rising order, each once; the lists are short.
      std::vector<int>& frames = s.snapshot_frames;
      size_t at = 0;
      while (at < frames.size() && frames[at] < frame) ++at;
      if (at == frames.size() || frames[at] != frame) frames.insert(frames.begin() + at, frame);
    } else {
      fprintf(stderr, "kivet: KIVET_SNAPSHOT_FRAMES: \"%s\" is not a number of periodic events "
              "(1 or more); left out\n", entry.c_str());
    }
    start = end + 1;
  }
}

void note_event_for_snapshots(int kind) {
  LibraryState& s = state();
  if (kind != EVENT_PERIODIC || s.next_snapshot_frame >= s.snapshot_frames.size()) return;
  ++s.periodic_events_returned;
  if (s.periodic_events_returned == s.snapshot_frames[s.next_snapshot_frame]) {
    s.frame_snapshot_due = s.periodic_events_returned;
    ++s.next_snapshot_frame;
  }
}

void write_due_frame_snapshot() {
  LibraryState& s = state();
  int frame = s.frame_snapshot_due;
  if (frame == 0) return;
  s.frame_snapshot_due = 0;
  const char* path = snapshot_path();
  if (!path || !s.offscreen_bitmap) return;
  write_snapshot(frame_snapshot_path(path, frame).c_str());
}

}  // namespace kivet
