// The text window's lines and their drawing.
#include "kivet/platform/gtk/text_pane.h"

#include "kivet/text_encoding.h"
#include "kivet/platform/platform.h"

namespace kivet::gtk {

static constexpr const char* FONT = "Monospace 10";
static constexpr int LEFT_MARGIN = 5;
// Kept while the window has no height yet.
static constexpr size_t LINES_KEPT_UNSIZED = 64;

void TextPane::attach(GtkWidget* area) {
  area_ = area;
  line_height_ = 0;
  redraw_requested_ = false;
}

void TextPane::request_redraw() {
  if (!area_) return;
  redraw_requested_ = true;
  gtk_widget_queue_draw(area_);
}

void TextPane::clear() {
  lines_.clear();
  request_redraw();
}

void TextPane::add_line(const char* bytes) {
  lines_.push_back(shown_utf8(bytes ? bytes : "", ControlCharacters::replace));
  size_t kept = lines_kept();
  while (lines_.size() > kept) lines_.pop_front();
  request_redraw();
}

PangoLayout* TextPane::create_layout() const {
  PangoLayout* layout = gtk_widget_create_pango_layout(area_, "");
  PangoFontDescription* font = pango_font_description_from_string(FONT);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  return layout;
}

int TextPane::line_height() {
  if (line_height_ == 0 && area_) {
    PangoLayout* layout = create_layout();
    pango_layout_get_pixel_size(layout, nullptr, &line_height_);
    g_object_unref(layout);
  }
  return line_height_ > 0 ? line_height_ : 1;
}

// What fits the window, and the partly visible line at the top.
size_t TextPane::lines_kept() {
  int height = area_ ? gtk_widget_get_allocated_height(area_) : 0;
  if (height <= 1) return LINES_KEPT_UNSIZED;
  return static_cast<size_t>(height / line_height()) + 1;
}

void TextPane::draw(cairo_t* cr) {
  // A draw that no new line asked for (the window was uncovered or shown)
  // is the library's to answer: it repaints from the lines it keeps, which
  // may be fewer than those that scrolled through here. Until then the
  // window shows what it showed.
  if (!redraw_requested_) post_message(Message{WindowId::text, MessageKind::paint, 0, 0});
  redraw_requested_ = false;
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  if (!area_ || lines_.empty()) return;
  int height = gtk_widget_get_allocated_height(area_);
  int h = line_height();
  PangoLayout* layout = create_layout();
  cairo_set_source_rgb(cr, 0, 0, 0);
  int top = height - h;
  for (auto line = lines_.rbegin(); line != lines_.rend() && top + h > 0; ++line, top -= h) {
    pango_layout_set_text(layout, line->c_str(), -1);
    cairo_move_to(cr, LEFT_MARGIN, top);
    pango_cairo_show_layout(cr, layout);
  }
  g_object_unref(layout);
}

}  // namespace kivet::gtk
