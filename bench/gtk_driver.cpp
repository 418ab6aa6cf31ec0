// The whole-program figures of bench/window_driver.h with the GTK backend,
// for bench/run.sh, which runs this under an Xvfb or a headless weston of
// its own.
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif

#include <algorithm>
#include <cstring>

#include "bench/window_driver.h"

namespace {

bool on_wayland() {
#ifdef GDK_WINDOWING_WAYLAND
  return GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default());
#else
  return false;
#endif
}

// The graphics window's client area, found among the toolkit's windows.
GtkWidget* find_client_area() {
  GtkWidget* area = nullptr;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* t = toplevels; t && !area; t = t->next) {
    const char* title = gtk_window_get_title(GTK_WINDOW(t->data));
    GtkWidget* box = gtk_bin_get_child(GTK_BIN(t->data));
    if (!title || strcmp(title, "KIVET Graphics") != 0 || !GTK_IS_CONTAINER(box)) continue;
    GList* children = gtk_container_get_children(GTK_CONTAINER(box));
    for (GList* c = children; c; c = c->next) {
      if (GTK_IS_DRAWING_AREA(c->data)) area = GTK_WIDGET(c->data);
    }
    g_list_free(children);
  }
  g_list_free(toplevels);
  return area;
}

// Pixels of the client area, read back from the window system, that differ
// from the off-screen bitmap; -1 when they cannot be read.
long pixels_unlike_bitmap() {
  if (on_wayland()) return bench::PIXELS_UNREAD;
  GtkWidget* area = find_client_area();
  GdkWindow* window = area ? gtk_widget_get_window(area) : nullptr;
  if (!window) return -1;
  int width = std::min(gtk_widget_get_allocated_width(area), kivet::BITMAP_WIDTH);
  int height = std::min(gtk_widget_get_allocated_height(area), kivet::BITMAP_HEIGHT);
  GdkPixbuf* shown = gdk_pixbuf_get_from_window(window, 0, 0, width, height);
  if (!shown) return -1;
  const guchar* screen = gdk_pixbuf_read_pixels(shown);
  int screen_stride = gdk_pixbuf_get_rowstride(shown);
  int channels = gdk_pixbuf_get_n_channels(shown);
  long unlike = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t pixel = kivet::state().offscreen_bitmap->at(x, y);
      const guchar* p = screen + y * screen_stride + channels * x;
      uint32_t rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
      if (rgb != (pixel & 0xFFFFFF)) ++unlike;
    }
  }
  g_object_unref(shown);
  return unlike;
}

}  // namespace

int main(int argc, char** argv) { return bench::driver_main(argc, argv, pixels_unlike_bitmap); }
