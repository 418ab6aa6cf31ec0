// The graphics window's copy of the bitmap: what changed, and painting.
#include "kivet/platform/gtk/window_copy.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kivet::gtk {
namespace {

// Changed rows less than this far apart go to the window as one band.
constexpr int BAND_GAP = 8;

// Rows are searched for their first and last changed pixel this many pixels
// at a time, with memcmp, before the single pixels of one block.
constexpr int SEARCH_BLOCK = 16;

// The first and the last pixel where two rows of `width` pixels differ;
// they must differ somewhere.
int first_difference(const uint32_t* a, const uint32_t* b, int width) {
  int x = 0;
  while (x + SEARCH_BLOCK <= width && memcmp(a + x, b + x, SEARCH_BLOCK * 4) == 0) {
    x += SEARCH_BLOCK;
  }
  while (a[x] == b[x]) ++x;
  return x;
}

int last_difference(const uint32_t* a, const uint32_t* b, int width) {
  int end = width;
  while (end >= SEARCH_BLOCK &&
         memcmp(a + end - SEARCH_BLOCK, b + end - SEARCH_BLOCK, SEARCH_BLOCK * 4) == 0) {
    end -= SEARCH_BLOCK;
  }
  int x = end - 1;
  while (a[x] == b[x]) --x;
  return x;
}

}  // namespace

std::vector<ChangedBand> copy_changes(cairo_surface_t* bitmap, cairo_surface_t* copy) {
  std::vector<ChangedBand> bands;
  cairo_surface_flush(bitmap);
  cairo_surface_flush(copy);
  int width = std::min(cairo_image_surface_get_width(bitmap), cairo_image_surface_get_width(copy));
  int height =
      std::min(cairo_image_surface_get_height(bitmap), cairo_image_surface_get_height(copy));
  const unsigned char* from = cairo_image_surface_get_data(bitmap);
  unsigned char* to = cairo_image_surface_get_data(copy);
  if (!from || !to) return bands;
  int from_stride = cairo_image_surface_get_stride(bitmap);
  int to_stride = cairo_image_surface_get_stride(copy);
  for (int y = 0; y < height; ++y) {
    const uint32_t* source = reinterpret_cast<const uint32_t*>(from + y * from_stride);
    uint32_t* target = reinterpret_cast<uint32_t*>(to + y * to_stride);
    if (memcmp(source, target, width * sizeof(uint32_t)) == 0) continue;
    int left = first_difference(source, target, width);
    int right = last_difference(source, target, width);
    memcpy(target + left, source + left, (right - left + 1) * sizeof(uint32_t));
    if (!bands.empty() && bands.back().bottom >= y - BAND_GAP) {
      ChangedBand& band = bands.back();
      band.bottom = y;
      band.left = std::min(band.left, left);
      band.right = std::max(band.right, right);
    } else {
      bands.push_back(ChangedBand{y, y, left, right});
    }
  }
  cairo_surface_mark_dirty(copy);
  return bands;
}

WindowCopy::~WindowCopy() {
  if (pending_) cairo_surface_destroy(pending_);
  if (copy_) cairo_surface_destroy(copy_);
}

void WindowCopy::create(int width, int height) {
  if (pending_) cairo_surface_destroy(pending_);
  pending_ = nullptr;
  if (copy_) cairo_surface_destroy(copy_);
  copy_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(copy_);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_destroy(cr);
}

void WindowCopy::show(cairo_surface_t* bitmap) {
  if (bitmap == pending_) return;
  if (pending_) cairo_surface_destroy(pending_);
  pending_ = cairo_surface_reference(bitmap);
}

std::vector<ChangedBand> WindowCopy::take_changes() {
  if (!pending_) return {};
  std::vector<ChangedBand> bands;
  if (copy_) bands = copy_changes(pending_, copy_);
  cairo_surface_destroy(pending_);
  pending_ = nullptr;
  return bands;
}

void WindowCopy::paint(cairo_t* cr, int width, int height) const {
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  int copy_width = copy_ ? cairo_image_surface_get_width(copy_) : 0;
  int copy_height = copy_ ? cairo_image_surface_get_height(copy_) : 0;
  if (width > copy_width || height > copy_height) {
    // Beyond the copy the window shows its white background.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
  }
  if (copy_) {
    cairo_set_source_surface(cr, copy_, 0, 0);
    // On a scaled screen each pixel becomes a solid block; the default
    // filter would blend neighbours into colours outside the palette, and
    // past the edge of a band that is redrawn alone.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, copy_width, copy_height);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

}  // namespace kivet::gtk
