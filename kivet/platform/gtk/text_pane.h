// The text window's content: the lines it shows, newest at the bottom, drawn
// with a fixed-pitch font, black on white, 5 pixels from the left edge. A
// draw that the pane did not ask for itself asks the library to repaint.
#pragma once

#include <gtk/gtk.h>

#include <deque>
#include <string>

namespace kivet::gtk {

class TextPane {
 public:
  // The drawing area that shows the lines; null when it is gone.
  void attach(GtkWidget* area);

  void clear();
  // Adds a line of library bytes at the bottom; lines scrolled off the top
  // are dropped.
  void add_line(const char* bytes);
  void draw(cairo_t* cr);

 private:
  void request_redraw();
  PangoLayout* create_layout() const;
  int line_height();
  size_t lines_kept();

  GtkWidget* area_ = nullptr;
  int line_height_ = 0;
  bool redraw_requested_ = false;  // the next draw shows lines added here
  std::deque<std::string> lines_;  // UTF-8, one entry per line
};

}  // namespace kivet::gtk
