// Endings that come from outside the window. Terminating signals reach the
// main loop through the toolkit's own signal sources (no work is done inside
// a signal handler) and become the platform's quit message; a second signal
// that comes before the program waited for events again ends the process at
// once, so a program that never waits for events can still be stopped.
// When the display connection is lost (the X server gone or this client
// killed, the Wayland compositor gone) the toolkit would end the process on
// the spot; here the library is told first, so that it can finish the
// script file, and then the process ends with the toolkit's status, 1.
#include "kivet/platform/gtk/endings.h"

#include <gdk/gdk.h>
#include <glib-unix.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>

#ifdef GDK_WINDOWING_X11
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#endif
#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#include <wayland-client.h>
#endif

#include "kivet/platform/platform.h"

namespace kivet::gtk {
namespace {

constexpr int DISPLAY_LOST_STATUS = 1;

// Terminating signals that arrived since the program last waited for events.
volatile sig_atomic_t signals_since_wait = 0;
// The toolkit's own handlers, which wake its main loop.
struct sigaction toolkit_handler[NSIG];

gboolean on_quit_signal(gpointer) {
  post_message(Message{WindowId::none, MessageKind::quit, 0, 0});
  return G_SOURCE_CONTINUE;
}

// A learner's Ctrl+C that nothing seems to answer: once, a second after
// the first one, if the program has not asked for an event since, a line
// says why and what stops it. Only what a signal handler may do is done.
volatile sig_atomic_t ctrl_c_noted = 0;
constexpr char NOT_WAITING_NOTE[] =
    "kivet: the program is not asking for events, so it cannot take Ctrl+C as its quit; "
    "a second Ctrl+C stops it\n";

void on_alarm(int) {
  if (signals_since_wait == 0 || ctrl_c_noted) return;
  ctrl_c_noted = 1;
  ssize_t written = write(STDERR_FILENO, NOT_WAITING_NOTE, sizeof NOT_WAITING_NOTE - 1);
  (void)written;
}

void check_for_waits_soon() {
  if (ctrl_c_noted) return;
  struct sigaction alarm_action {};
  alarm_action.sa_handler = on_alarm;
  sigemptyset(&alarm_action.sa_mask);
  sigaction(SIGALRM, &alarm_action, nullptr);
  alarm(1);
}

// A program that does not wait for events never takes a signal's quit, so a
// second signal before the program waited again ends the process the usual
// way, as a second Ctrl+C is expected to. Otherwise the signal goes on to
// the toolkit's handler. Nothing else happens here.
void on_signal(int number) {
  if (++signals_since_wait >= 2) {
    signal(number, SIG_DFL);
    raise(number);
    return;
  }
  if (number == SIGINT) check_for_waits_soon();
  toolkit_handler[number].sa_handler(number);
}

// A signal inherited as ignored (nohup, or a background job's SIGINT) stays
// ignored.
void quit_on_signal(int number) {
  struct sigaction current;
  if (sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) return;
  g_unix_signal_add(number, on_quit_signal, nullptr);
  struct sigaction& toolkit = toolkit_handler[number];
  if (sigaction(number, nullptr, &toolkit) != 0 || (toolkit.sa_flags & SA_SIGINFO) ||
      toolkit.sa_handler == SIG_DFL || toolkit.sa_handler == SIG_IGN) {
    return;
  }
  struct sigaction counting = toolkit;
  counting.sa_handler = on_signal;
  sigaction(number, &counting, nullptr);
}

[[noreturn]] void end_after_display_loss() {
  display_lost();
  const char* name = g_get_prgname();
  fprintf(stderr, "%s: the connection to the display was lost\n", name ? name : "kivet");
  fflush(nullptr);
  // Not exit(): nothing may talk to the display that is gone.
  _exit(DISPLAY_LOST_STATUS);
}

#ifdef GDK_WINDOWING_X11
// Xlib calls this on any request or read that finds the connection gone; set
// after the toolkit's own handler, it replaces it.
int on_x_connection_lost(::Display*) { end_after_display_loss(); }
#endif

#ifdef GDK_WINDOWING_WAYLAND
// The toolkit's event source ends the process when it finds the compositor
// gone, while flushing in its prepare or reading in its check. This source
// watches the same connection for a hang-up at a higher priority, so the
// main loop runs its prepare and its check first and, once it is ready,
// neither of the toolkit's.
struct HangUpSource {
  GSource source;
  GPollFD connection;
};

HangUpSource& hang_up_source(GSource* source) { return *reinterpret_cast<HangUpSource*>(source); }

gboolean hang_up_prepare(GSource* source, gint* timeout) {
  *timeout = -1;
  pollfd now{hang_up_source(source).connection.fd, 0, 0};
  return poll(&now, 1, 0) > 0 && (now.revents & (POLLHUP | POLLERR)) != 0;
}

gboolean hang_up_check(GSource* source) {
  return (hang_up_source(source).connection.revents & (G_IO_HUP | G_IO_ERR)) != 0;
}

gboolean hang_up_dispatch(GSource*, GSourceFunc, gpointer) { end_after_display_loss(); }

GSourceFuncs hang_up_functions = {hang_up_prepare, hang_up_check, hang_up_dispatch,
                                  nullptr,         nullptr,       nullptr};

void watch_wayland_connection(GdkDisplay* display) {
  GSource* source = g_source_new(&hang_up_functions, sizeof(HangUpSource));
  GPollFD& connection = hang_up_source(source).connection;
  connection.fd = wl_display_get_fd(gdk_wayland_display_get_wl_display(display));
  connection.events = G_IO_HUP | G_IO_ERR;
  g_source_add_poll(source, &connection);
  g_source_set_priority(source, G_PRIORITY_HIGH);
  g_source_attach(source, nullptr);
  g_source_unref(source);
}
#endif

}  // namespace

void note_program_waits() { signals_since_wait = 0; }

void watch_outside_endings() {
  for (int number : {SIGINT, SIGTERM, SIGHUP}) quit_on_signal(number);
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return;
#ifdef GDK_WINDOWING_X11
  if (GDK_IS_X11_DISPLAY(display)) XSetIOErrorHandler(on_x_connection_lost);
#endif
#ifdef GDK_WINDOWING_WAYLAND
  if (GDK_IS_WAYLAND_DISPLAY(display)) watch_wayland_connection(display);
#endif
}

}  // namespace kivet::gtk
