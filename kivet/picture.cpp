// Pictures from files: the call that draws one, with its corrections, its
// sentence and its complaint, and the pictures kept between calls. Kept in
// files of their own (with the decoder and the file layer) so that a
// program that draws no picture links none of it.
#include <map>
#include <string>

#include "kivet/draw/picture_decode.h"
#include "kivet/kivet.h"
#include "kivet/platform/picture_file.h"
#include "kivet/state.h"

namespace kivet {

// Pictures by file name, within PICTURE_CACHE_BYTES; a file that cannot be
// drawn is kept with its failure, so that it is reported once.
struct PictureCache {
  std::map<std::string, Picture> pictures;
  size_t bytes = 0;
  uint64_t uses = 0;
};

namespace {

PictureCache& cache() {
  if (!state().pictures) {
    state().pictures = PictureCachePointer(new PictureCache, [](PictureCache* c) { delete c; });
  }
  return *state().pictures;
}

size_t picture_size(const Picture& picture) { return picture.pixels.size() * sizeof(uint32_t); }

// Makes room for `bytes` more by letting go of the pictures drawn longest
// ago; what cannot be drawn costs nothing and stays.
void make_room(size_t bytes) {
  PictureCache& s = cache();
  while (s.bytes + bytes > PICTURE_CACHE_BYTES) {
    auto oldest = s.pictures.end();
    for (auto it = s.pictures.begin(); it != s.pictures.end(); ++it) {
      if (!it->second.pixels.empty() &&
          (oldest == s.pictures.end() || it->second.last_use < oldest->second.last_use)) {
        oldest = it;
      }
    }
    if (oldest == s.pictures.end()) return;
    s.bytes -= picture_size(oldest->second);
    s.pictures.erase(oldest);
  }
}

Picture load(const char* file) {
  PictureFileRead read = read_picture_file(file, PICTURE_FILE_MAX_BYTES);
  if (!read.reason.empty()) {
    Picture failed;
    failed.failure = read.reason;
    return failed;
  }
  return decode_picture(reinterpret_cast<const unsigned char*>(read.bytes.data()),
                        read.bytes.size());
}

// The picture of `file`, decoded at its first use; a file that cannot be
// drawn is reported then, and only then.
const Picture& picture_of(const std::string& file) {
  PictureCache& s = cache();
  auto found = s.pictures.find(file);
  if (found == s.pictures.end()) {
    Picture picture = load(file.c_str());
    if (!picture.failure.empty()) {
      KIVET_log_message("Cannot draw picture %s: %s\n", file.c_str(), picture.failure.c_str());
    }
    make_room(picture_size(picture));
    s.bytes += picture_size(picture);
    found = s.pictures.emplace(file, std::move(picture)).first;
  }
  found->second.last_use = ++s.uses;
  return found->second;
}

}  // namespace
}  // namespace kivet

using namespace kivet;

int KIVET_draw_picture(int x, int y, const char* file, int scale) {
  std::string name = file ? file : "";
  if (scale < 1) {
    KIVET_log_message("Scale of %d not possible, using scale %d\n", scale, 1);
    scale = 1;
  }
  if (state().KIVET_logging) {
    KIVET_log_message("picture %s at (%d,%d), scale %d\n", name.c_str(), x, y, scale);
  }
  const Picture& picture = picture_of(name);
  if (state().offscreen_bitmap) {
    LibraryState& s = state();
    DrawTarget target{*s.offscreen_bitmap, s.changed_rows, Pixel{s.origin_x, s.origin_y}};
    draw_picture(target, x, y, picture, scale);
  }
  state().KIVET_dirty = true;
  state().has_drawn = true;
  return 1;
}
