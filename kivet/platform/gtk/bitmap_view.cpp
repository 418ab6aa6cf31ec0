// The graphics window's view of the bitmap: wrapping and painting.
#include "kivet/platform/gtk/bitmap_view.h"

namespace kivet::gtk {

BitmapView::~BitmapView() { forget(); }

void BitmapView::forget() {
  if (surface_) cairo_surface_destroy(surface_);
  surface_ = nullptr;
  bitmap_ = nullptr;
  changes_ = ChangedRows{};
  shown_.clear();
}

void BitmapView::show(const Bitmap& bitmap, ChangedRows changed) {
  if (bitmap_ != &bitmap) {
    if (surface_) cairo_surface_destroy(surface_);
    bitmap_ = &bitmap;
    // cairo only reads from the surface: it never writes the library's pixels.
    unsigned char* pixels =
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(bitmap.data()));
    surface_ = cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_RGB24, BITMAP_WIDTH,
                                                   BITMAP_HEIGHT, Bitmap::stride());
    changed = ChangedRows::all();
    // No pixel value has its top byte set: at first every pixel differs.
    shown_.assign(static_cast<size_t>(BITMAP_WIDTH) * BITMAP_HEIGHT, ~0u);
  }
  changes_.add(changed);
}

// Changed rows fewer than this many rows apart are redrawn as one box.
constexpr int BOX_GAP = 10;

std::vector<PixelBox> BitmapView::take_changes() {
  ChangedRows taken = changes_;
  changes_ = ChangedRows{};
  if (!surface_ || taken.empty()) return {};
  std::vector<PixelBox> boxes = take_differences(bitmap_->data(), shown_.data(), taken, BOX_GAP);
  for (const PixelBox& box : boxes) {
    cairo_surface_mark_dirty_rectangle(surface_, box.left, box.top, box.width(), box.height());
  }
  return boxes;
}

void BitmapView::paint(cairo_t* cr, int width, int height) const {
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  if (!surface_ || width > BITMAP_WIDTH || height > BITMAP_HEIGHT) {
    // Beyond the bitmap the window shows its white background.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
  }
  if (surface_) {
    cairo_set_source_surface(cr, surface_, 0, 0);
    // On a scaled screen each pixel becomes a solid block; the default
    // filter would blend neighbours into colours outside the palette, and
    // past the edge of a band that is redrawn alone.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, BITMAP_WIDTH, BITMAP_HEIGHT);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

}  // namespace kivet::gtk
