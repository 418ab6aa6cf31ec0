// The GTK 3 backend: the graphics window (menu bar above a drawing area that
// shows the window's own copy of the bitmap), the text window, the timer and
// the modal dialog. Every toolkit event becomes a message posted to the
// library's queue; the library decides what it means.
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "kivet/platform/gtk/byte_text.h"
#include "kivet/platform/gtk/endings.h"
#include "kivet/platform/gtk/gtk_dialog.h"
#include "kivet/platform/gtk/gtk_menu.h"
#include "kivet/platform/gtk/key_codes.h"
#include "kivet/platform/gtk/text_pane.h"
#include "kivet/platform/platform.h"

namespace kivet::gtk {
namespace {

// Toolkit events handled per non-blocking pass, so a busy toolkit cannot
// hold the library's loop.
constexpr int EVENTS_PER_PASS = 64;
// How long show_window waits for a window to be laid out and first drawn.
constexpr gint64 FIRST_DRAW_WAIT_US = G_USEC_PER_SEC / 2;

struct Window {
  GtkWidget* toplevel = nullptr;
  GtkWidget* box = nullptr;
  GtkWidget* area = nullptr;  // the client area
  GtkWidget* menu_bar = nullptr;
  Size area_size;      // the last size the drawing area was given
  bool drawn = false;  // the drawing area has been drawn since it was shown
};

// Rows of the graphics window that a present changes, with the columns from
// the first to the last changed pixel in any of them.
struct ChangedBand {
  int top, bottom, left, right;
};

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

// Copies into `copy` the pixels of `bitmap` that differ from it, row by row,
// and returns where they lie. Both are image surfaces of the same format.
std::vector<ChangedBand> copy_changes(cairo_surface_t* bitmap, cairo_surface_t* copy) {
  std::vector<ChangedBand> bands;
  cairo_surface_flush(copy);
  int width = std::min(cairo_image_surface_get_width(bitmap), cairo_image_surface_get_width(copy));
  int height =
      std::min(cairo_image_surface_get_height(bitmap), cairo_image_surface_get_height(copy));
  const unsigned char* from = cairo_image_surface_get_data(bitmap);
  unsigned char* to = cairo_image_surface_get_data(copy);
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

gpointer as_data(WindowId window) { return GINT_TO_POINTER(static_cast<int>(window)); }
WindowId as_window(gpointer data) { return static_cast<WindowId>(GPOINTER_TO_INT(data)); }

class GtkPlatform : public Platform {
 public:
  GtkPlatform() {
    // The library formats its own text and bytes; the user's locale must
    // not change how.
    gtk_disable_setlocale();
    gtk_init(nullptr, nullptr);
    watch_outside_endings();
  }

  Size screen_size() override {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (!monitor && gdk_display_get_n_monitors(display) > 0) {
      monitor = gdk_display_get_monitor(display, 0);
    }
    if (!monitor) return Size{};
    GdkRectangle geometry;
    gdk_monitor_get_geometry(monitor, &geometry);
    return Size{geometry.width, geometry.height};
  }

  void create_window(WindowId id, const WindowSetup& setup) override {
    if (windows_[id].toplevel) destroy_window(id);
    Window& w = windows_[id];
    w.toplevel = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(w.toplevel), bytes_to_utf8(setup.title).c_str());
    gtk_window_set_resizable(GTK_WINDOW(w.toplevel), setup.resizable);
    gtk_window_set_default_size(GTK_WINDOW(w.toplevel), setup.width, setup.height);
    gtk_window_move(GTK_WINDOW(w.toplevel), setup.x, setup.y);
    w.box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    w.area = gtk_drawing_area_new();
    gtk_box_pack_end(GTK_BOX(w.box), w.area, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(w.toplevel), w.box);
    connect_signals(id, w);
    if (id == WindowId::graphics) create_window_surface(setup);
    if (id == WindowId::text) text_.attach(w.area);
    send_message(Message{id, MessageKind::create, 0, 0});
  }

  void destroy_window(WindowId id) override {
    if (windows_[id].toplevel) gtk_widget_destroy(windows_[id].toplevel);
  }

  bool show_window(WindowId id, bool show) override {
    Window& w = windows_[id];
    if (!w.toplevel) return false;
    bool was_visible = gtk_widget_get_visible(w.toplevel);
    if (show) {
      if (!was_visible) w.drawn = false;
      gtk_widget_show_all(w.toplevel);
      wait_until_drawn(w);
    } else {
      gtk_widget_hide(w.toplevel);
    }
    return was_visible;
  }

  Size client_size(WindowId id) override {
    GtkWidget* area = windows_[id].area;
    if (!area) return Size{};
    return Size{gtk_widget_get_allocated_width(area), gtk_widget_get_allocated_height(area)};
  }

  void set_menu(WindowId id, const Menu& menu) override {
    Window& w = windows_[id];
    if (!w.box) return;
    if (w.menu_bar) gtk_widget_destroy(w.menu_bar);
    w.menu_bar = menu_.build(menu, id);
    gtk_box_pack_start(GTK_BOX(w.box), w.menu_bar, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(w.box), w.menu_bar, 0);
    gtk_widget_show_all(w.menu_bar);
  }

  void check_menu_entry(int command, bool checked) override { menu_.set_checked(command, checked); }

  void start_timer(int number, int period_ms) override {
    stop_timer(number);
    timers_[number] = g_timeout_add(period_ms, on_timer, GINT_TO_POINTER(number));
  }

  void stop_timer(int number) override {
    auto timer = timers_.find(number);
    if (timer == timers_.end()) return;
    g_source_remove(timer->second);
    timers_.erase(timer);
  }

  void present(cairo_surface_t* bitmap) override {
    GtkWidget* area = windows_[WindowId::graphics].area;
    if (!area || !window_surface_) return;
    // Only what changed since the last copy travels to the window: after a
    // scene is redrawn whole that is mostly a few moving shapes. The window's
    // own copy takes the changes first, so an expose repaints from it.
    std::vector<ChangedBand> changed = copy_changes(bitmap, window_surface_);
    if (!changed.empty()) paint_now(area, changed);
  }

  void text_clear() override { text_.clear(); }
  void text_add_line(const char* line) override { text_.add_line(line); }

  void process_events(bool block) override {
    if (block) {
      g_main_context_iteration(nullptr, TRUE);
      return;
    }
    for (int i = 0; i < EVENTS_PER_PASS && g_main_context_pending(nullptr); ++i) {
      g_main_context_iteration(nullptr, FALSE);
    }
  }

  int run_dialog(const DialogSetup& setup) override {
    GtkWidget* owner = windows_[WindowId::graphics].toplevel;
    return dialog_.run(setup, owner ? GTK_WINDOW(owner) : nullptr);
  }

  std::string dialog_item_text(int id) override { return dialog_.item_text(id); }
  void end_dialog(int result) override { dialog_.end(result); }

 private:
  void connect_signals(WindowId id, Window& w) {
    gpointer data = as_data(id);
    g_signal_connect(w.toplevel, "key-press-event", G_CALLBACK(on_key), data);
    g_signal_connect(w.toplevel, "key-release-event", G_CALLBACK(on_key), data);
    g_signal_connect(w.toplevel, "delete-event", G_CALLBACK(on_delete), data);
    g_signal_connect(w.toplevel, "destroy", G_CALLBACK(on_destroy), data);
    g_signal_connect(w.area, "size-allocate", G_CALLBACK(on_size_allocate), data);
    if (id == WindowId::graphics) {
      gtk_widget_add_events(w.area, GDK_BUTTON_PRESS_MASK);
      g_signal_connect(w.area, "button-press-event", G_CALLBACK(on_button_press), data);
      g_signal_connect(w.area, "draw", G_CALLBACK(on_graphics_draw), data);
    } else {
      g_signal_connect(w.area, "draw", G_CALLBACK(on_text_draw), data);
    }
  }

  // The graphics window keeps its own copy of the bitmap to repaint from,
  // white like the window's background until the first copy.
  void create_window_surface(const WindowSetup& setup) {
    if (window_surface_) cairo_surface_destroy(window_surface_);
    window_surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, setup.width, setup.height);
    cairo_t* cr = cairo_create(window_surface_);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
  }

  // The library reads the client size right after showing, and its first
  // copy to the window must not wait for the next frame: let the toolkit lay
  // the window out and draw it once.
  static void wait_until_drawn(const Window& w) {
    gint64 deadline = g_get_monotonic_time() + FIRST_DRAW_WAIT_US;
    while (w.area && !w.drawn && g_get_monotonic_time() < deadline) {
      g_main_context_iteration(nullptr, FALSE);
    }
  }

  // Paints the changed bands at once, straight onto the area's window, so a
  // copy is on screen when present returns, as a copy to the window would
  // be. The toolkit's paint cycle would instead fill and upload a fresh
  // buffer of the whole area for every frame, which made it the slowest part
  // of playing a script back.
  void paint_now(GtkWidget* area, const std::vector<ChangedBand>& bands) {
    GdkWindow* window = gtk_widget_get_window(area);
    if (!window || !gtk_widget_get_mapped(area)) return;
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    cairo_t* cr = gdk_cairo_create(window);
    G_GNUC_END_IGNORE_DEPRECATIONS
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, window_surface_, 0, 0);
    // One band at a time, so that only the bands are sent, not the area
    // between them.
    for (const ChangedBand& band : bands) {
      cairo_rectangle(cr, band.left, band.top, band.right - band.left + 1,
                      band.bottom - band.top + 1);
      cairo_fill(cr);
    }
    cairo_destroy(cr);
    gdk_display_flush(gdk_window_get_display(window));
  }

  static GtkPlatform& self();

  static gboolean on_key(GtkWidget*, GdkEventKey* event, gpointer window) {
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(event->window));
    guint unshifted = 0;
    if (!gdk_keymap_translate_keyboard_state(keymap, event->hardware_keycode, GdkModifierType(0),
                                             event->group, &unshifted, nullptr, nullptr, nullptr)) {
      unshifted = 0;
    }
    int code = virtual_key_code(event->keyval, unshifted);
    if (event->type == GDK_KEY_PRESS) {
      int ch = typed_character(event->keyval, GdkModifierType(event->state));
      post_message(Message{as_window(window), MessageKind::key_down, code, ch});
    } else {
      post_message(Message{as_window(window), MessageKind::key_up, code, 0});
    }
    // Every key belongs to the library: F10 and Alt must not open the menu.
    return TRUE;
  }

  static gboolean on_button_press(GtkWidget*, GdkEventButton* event, gpointer window) {
    if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY) {
      post_message(Message{as_window(window), MessageKind::left_button_down,
                           static_cast<int>(event->x), static_cast<int>(event->y)});
    }
    return TRUE;
  }

  static gboolean on_delete(GtkWidget*, GdkEvent*, gpointer window) {
    post_message(Message{as_window(window), MessageKind::close, 0, 0});
    return TRUE;  // the library decides whether the window goes
  }

  static void on_destroy(GtkWidget*, gpointer window) {
    WindowId id = as_window(window);
    GtkPlatform& p = self();
    p.windows_[id] = Window{};
    if (id == WindowId::graphics) p.menu_.forget();
    if (id == WindowId::text) p.text_.attach(nullptr);
  }

  static void on_size_allocate(GtkWidget*, GdkRectangle* allocation, gpointer window) {
    WindowId id = as_window(window);
    Window& w = self().windows_[id];
    if (allocation->width == w.area_size.width && allocation->height == w.area_size.height) return;
    w.area_size = Size{allocation->width, allocation->height};
    if (id == WindowId::graphics) {
      post_message(Message{id, MessageKind::size, allocation->width, allocation->height});
    } else {
      // The text window is redrawn whole when its size changes.
      post_message(Message{id, MessageKind::paint, 0, 0});
    }
  }

  static gboolean on_graphics_draw(GtkWidget*, cairo_t* cr, gpointer window) {
    self().windows_[as_window(window)].drawn = true;
    cairo_surface_t* surface = self().window_surface_;
    if (surface) {
      cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
      cairo_set_source_surface(cr, surface, 0, 0);
      cairo_paint(cr);
    }
    return TRUE;
  }

  static gboolean on_text_draw(GtkWidget*, cairo_t* cr, gpointer window) {
    self().windows_[as_window(window)].drawn = true;
    self().text_.draw(cr);
    return TRUE;
  }

  static gboolean on_timer(gpointer number) {
    post_message(Message{WindowId::graphics, MessageKind::timer, GPOINTER_TO_INT(number), 0});
    return G_SOURCE_CONTINUE;
  }

  std::map<WindowId, Window> windows_;
  std::map<int, guint> timers_;
  cairo_surface_t* window_surface_ = nullptr;
  MenuBar menu_;
  TextPane text_;
  ModalDialog dialog_;
};

GtkPlatform& GtkPlatform::self() { return static_cast<GtkPlatform&>(platform()); }

}  // namespace
}  // namespace kivet::gtk

kivet::Platform& kivet::gtk_platform() {
  static gtk::GtkPlatform instance;
  return instance;
}
