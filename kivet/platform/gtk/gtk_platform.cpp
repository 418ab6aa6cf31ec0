// The GTK 3 backend: the graphics window (menu bar above a drawing area that
// shows the library's bitmap), the text window, the timer and the modal
// dialog. Every toolkit event becomes a message posted to the
// library's queue; the library decides what it means.
#include <gtk/gtk.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "kivet/client_area.h"
#include "kivet/platform/gtk/bitmap_view.h"
#include "kivet/platform/gtk/clock_timer.h"
#include "kivet/platform/gtk/endings.h"
#include "kivet/platform/gtk/gtk_dialog.h"
#include "kivet/platform/gtk/gtk_menu.h"
#include "kivet/platform/gtk/key_codes.h"
#include "kivet/platform/gtk/text_pane.h"
#include "kivet/platform/platform.h"
#include "kivet/text_encoding.h"

namespace kivet::gtk {
namespace {

// Toolkit events handled per non-blocking pass, so a busy toolkit cannot
// hold the library's loop.
constexpr int EVENTS_PER_PASS = 64;
// The shortest time between two looks at the toolkit's queue when the
// program does not wait.
constexpr gint64 LOOK_INTERVAL_US = 1000;
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

gpointer as_data(WindowId window) { return GINT_TO_POINTER(static_cast<int>(window)); }
WindowId as_window(gpointer data) { return static_cast<WindowId>(GPOINTER_TO_INT(data)); }

bool is_set(const char* name) {
  const char* value = g_getenv(name);
  return value && *value;
}

// No display is named at all: one line that says what to do, before the
// toolkit is started (whose own message would not).
[[noreturn]] void report_display_unset() {
  fprintf(stderr, "kivet: no display to open (neither DISPLAY nor WAYLAND_DISPLAY is set): %s\n",
          NO_DISPLAY_ADVICE);
  exit(EXIT_NO_DISPLAY);
}

// The display named by the environment cannot be opened (no server there,
// or no access): one line that says what to do, instead of the toolkit's.
[[noreturn]] void report_no_display() {
  const char* x11 = g_getenv("DISPLAY");
  const char* wayland = g_getenv("WAYLAND_DISPLAY");
  fprintf(stderr, "kivet: cannot open the display (DISPLAY=%s, WAYLAND_DISPLAY=%s): %s\n",
          x11 ? x11 : "unset", wayland ? wayland : "unset", NO_DISPLAY_ADVICE);
  exit(EXIT_NO_DISPLAY);
}

class GtkPlatform : public Platform {
 public:
  GtkPlatform() {
    // The library formats its own text and bytes; the user's locale must
    // not change how.
    gtk_disable_setlocale();
    if (!is_set("DISPLAY") && !is_set("WAYLAND_DISPLAY")) report_display_unset();
    if (!gtk_init_check(nullptr, nullptr)) report_no_display();
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
    gtk_window_set_title(GTK_WINDOW(w.toplevel), shown_utf8(setup.title, ControlCharacters::replace).c_str());
    gtk_window_set_resizable(GTK_WINDOW(w.toplevel), setup.resizable);
    gtk_window_set_default_size(GTK_WINDOW(w.toplevel), setup.width, setup.height);
    gtk_window_move(GTK_WINDOW(w.toplevel), setup.x, setup.y);
    w.box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    w.area = gtk_drawing_area_new();
    gtk_box_pack_end(GTK_BOX(w.box), w.area, TRUE, TRUE, 0);
    // The graphics window's client area has the library's size whatever the
    // height of the theme's menu bar (25 rows under X11, 26 under some
    // Wayland compositors): the window grows with the menu bar instead.
    if (id == WindowId::graphics) gtk_widget_set_size_request(w.area, CLIENT_WIDTH, CLIENT_HEIGHT);
    gtk_container_add(GTK_CONTAINER(w.toplevel), w.box);
    connect_signals(id, w);
    if (id == WindowId::graphics) view_.forget();
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
    timers_[number] = add_clock_timer(period_ms, on_timer, GINT_TO_POINTER(number));
  }

  void stop_timer(int number) override {
    auto timer = timers_.find(number);
    if (timer == timers_.end()) return;
    g_source_remove(timer->second);
    timers_.erase(timer);
  }

  // The bitmap reaches the window through the toolkit's draw cycle, the only
  // way a picture reaches the screen on every display server: at the next
  // frame the rows that changed are redrawn from the library's pixels. Any
  // number of presents between two frames cost one redraw, so the picture
  // shows the latest bitmap at each refresh. When a frame is due at once, it
  // is drawn before present returns, so that a program that flushes and then
  // computes without waiting shows its picture.
  void present(const Bitmap& bitmap, ChangedRows changed) override {
    GtkWidget* area = windows_[WindowId::graphics].area;
    if (!area) return;
    bool frame_requested = view_.has_changes();
    view_.show(bitmap, changed);
    if (!frame_requested && view_.has_changes()) {
      gtk_widget_add_tick_callback(area, on_frame, nullptr, nullptr);
    }
    run_pending_work();
  }

  bool shows_windows() override { return true; }

  void text_clear() override { text_.clear(); }
  void text_add_line(const char* line) override { text_.add_line(line); }

  void process_events(bool block) override {
    note_program_waits();
    if (block) {
      g_main_context_iteration(nullptr, TRUE);
      return;
    }
    // A played script asks at every event, and each look reads the display
    // server's socket, which costs as much as drawing a scene. Input waits
    // at most a millisecond for the next look; frames are drawn by the
    // looks of present.
    if (g_get_monotonic_time() - last_look_us_ < LOOK_INTERVAL_US) return;
    run_pending_work();
  }

  // The toolkit goes on meanwhile: frames are drawn, and input is posted to
  // the library's queue, where it waits for the program's next wait.
  void sleep(int milliseconds) override {
    if (milliseconds <= 0) return;
    bool woken = false;
    GSource* alarm = g_timeout_source_new(static_cast<guint>(milliseconds));
    g_source_set_callback(
        alarm,
        [](gpointer woken) {
          *static_cast<bool*>(woken) = true;
          return G_SOURCE_REMOVE;
        },
        &woken, nullptr);
    g_source_attach(alarm, nullptr);
    while (!woken) g_main_context_iteration(nullptr, TRUE);
    g_source_unref(alarm);
  }

  bool run_dialog(const DialogSetup& setup, DialogHandler handler) override {
    GtkWidget* owner = windows_[WindowId::graphics].toplevel;
    return dialog_.run(setup, handler, owner ? GTK_WINDOW(owner) : nullptr);
  }

 private:
  // Handles the toolkit's events that are ready now, a bounded number, and
  // sends what they drew to the display server.
  static void run_pending_work() {
    last_look_us_ = g_get_monotonic_time();
    for (int i = 0; i < EVENTS_PER_PASS && g_main_context_pending(nullptr); ++i) {
      g_main_context_iteration(nullptr, FALSE);
    }
    if (GdkDisplay* display = gdk_display_get_default()) gdk_display_flush(display);
  }

  void connect_signals(WindowId id, Window& w) {
    gpointer data = as_data(id);
    g_signal_connect(w.toplevel, "key-press-event", G_CALLBACK(on_key), data);
    g_signal_connect(w.toplevel, "key-release-event", G_CALLBACK(on_key), data);
    g_signal_connect(w.toplevel, "delete-event", G_CALLBACK(on_delete), data);
    g_signal_connect(w.toplevel, "destroy", G_CALLBACK(on_destroy), data);
    g_signal_connect(w.area, "size-allocate", G_CALLBACK(on_size_allocate), data);
    g_signal_connect(w.toplevel, "focus-out-event", G_CALLBACK(on_focus_out), data);
    if (id == WindowId::graphics) {
      gtk_widget_add_events(w.area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                        GDK_POINTER_MOTION_MASK);
      g_signal_connect(w.area, "button-press-event", G_CALLBACK(on_button_press), data);
      g_signal_connect(w.area, "button-release-event", G_CALLBACK(on_button_release), data);
      g_signal_connect(w.area, "motion-notify-event", G_CALLBACK(on_motion), data);
      g_signal_connect(w.area, "draw", G_CALLBACK(on_graphics_draw), data);
    } else {
      g_signal_connect(w.area, "draw", G_CALLBACK(on_text_draw), data);
    }
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

  static GtkPlatform& self();
  // When the toolkit's queue was last looked at (g_get_monotonic_time).
  static inline gint64 last_look_us_ = 0;

  static gboolean on_key(GtkWidget*, GdkEventKey* event, gpointer window) {
    GdkModifierType state = GdkModifierType(event->state);
    // F10 and Alt with a letter open the menu and choose its entries, in the
    // toolkit's own handling; the library never sees them.
    if (is_menu_key(event->keyval, state)) return FALSE;
    int code = virtual_key_code(event);
    int held = held_modifiers(state);
    // The toolkit repeats a held key as further presses without releases
    // (on X11 and on Wayland alike): a press of a key already down repeats.
    std::set<guint16>& down = self().keys_down_;
    if (event->type == GDK_KEY_PRESS) {
      if (!down.insert(event->hardware_keycode).second) held |= AUTO_REPEAT;
      int ch = typed_character(event->keyval, state);
      post_message(Message{as_window(window), MessageKind::key_down, code, ch, held});
    } else {
      down.erase(event->hardware_keycode);
      post_message(Message{as_window(window), MessageKind::key_up, code, 0, held});
    }
    return TRUE;
  }

  // No release comes for the keys held when the window loses the keyboard.
  static gboolean on_focus_out(GtkWidget*, GdkEventFocus*, gpointer window) {
    self().keys_down_.clear();
    post_message(Message{as_window(window), MessageKind::focus_lost, 0, 0});
    return FALSE;
  }

  // While the button is held the pointer stays the window's, so a drag
  // past its edge goes on with positions outside it.
  static gboolean on_motion(GtkWidget*, GdkEventMotion* event, gpointer window) {
    post_message(Message{as_window(window), MessageKind::mouse_move,
                         static_cast<int>(std::floor(event->x)),
                         static_cast<int>(std::floor(event->y))});
    return TRUE;
  }

  static gboolean on_button_release(GtkWidget*, GdkEventButton* event, gpointer window) {
    if (event->button == GDK_BUTTON_PRIMARY) {
      post_message(Message{as_window(window), MessageKind::left_button_up,
                           static_cast<int>(std::floor(event->x)),
                           static_cast<int>(std::floor(event->y))});
    }
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

  // At a frame, before it is drawn: the changed rows become the part of the
  // window that this frame redraws.
  static gboolean on_frame(GtkWidget* area, GdkFrameClock*, gpointer) {
    for (const PixelBox& box : self().view_.take_changes()) {
      gtk_widget_queue_draw_area(area, box.left, box.top, box.width(), box.height());
    }
    return G_SOURCE_REMOVE;
  }

  static gboolean on_graphics_draw(GtkWidget* area, cairo_t* cr, gpointer window) {
    self().windows_[as_window(window)].drawn = true;
    self().view_.paint(cr, gtk_widget_get_allocated_width(area),
                       gtk_widget_get_allocated_height(area));
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
  std::set<guint16> keys_down_;  // hardware key codes pressed and not yet released
  BitmapView view_;
  MenuBar menu_;
  TextPane text_;
  ModalDialog dialog_;
};

GtkPlatform& GtkPlatform::self() { return static_cast<GtkPlatform&>(windowed_platform()); }

}  // namespace
}  // namespace kivet::gtk

kivet::Platform& kivet::windowed_platform() {
  // Never destroyed: the library may still need it while the program ends.
  static gtk::GtkPlatform* instance = new gtk::GtkPlatform;
  return *instance;
}

const char* kivet::windowed_backend_name() { return "gtk"; }
