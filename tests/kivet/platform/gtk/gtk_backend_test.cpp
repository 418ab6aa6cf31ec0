// The GTK backend in this process, on a private Xvfb server: the library is
// opened on it and the widgets are driven through GTK as a user would drive
// them, then checked against the library's messages and state.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cmath>
#include <csignal>
#include <memory>
#include <string>

#include "kivet/event_wait.h"
#include "kivet/kivet.h"
#include "kivet/platform/platform.h"
#include "kivet/state.h"
#include "real_window/x_session.h"

namespace {

using kivet::Message;
using kivet::MessageKind;
using kivet::WindowId;

GtkWidget* toplevel(const char* title) {
  GtkWidget* found = nullptr;
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w; w = w->next) {
    const char* t = gtk_window_get_title(GTK_WINDOW(w->data));
    if (t && std::string(t) == title && gtk_widget_get_visible(GTK_WIDGET(w->data))) {
      found = GTK_WIDGET(w->data);
    }
  }
  g_list_free(windows);
  return found;
}

GtkWidget* child(GtkWidget* container, int index) {
  GList* children = gtk_container_get_children(GTK_CONTAINER(container));
  int count = g_list_length(children);
  GtkWidget* widget = GTK_WIDGET(g_list_nth_data(children, index < 0 ? count + index : index));
  g_list_free(children);
  return widget;
}

GtkWidget* client_area(const char* title) {
  return child(gtk_bin_get_child(GTK_BIN(toplevel(title))), -1);
}

// An entry of the "Run" menu by its mnemonic label, or the first entry
// whose label starts with `label` and "*".
GtkWidget* menu_entry(const std::string& label) {
  GtkWidget* bar = child(gtk_bin_get_child(GTK_BIN(toplevel("KIVET Graphics"))), 0);
  GtkWidget* drop_down = gtk_menu_item_get_submenu(GTK_MENU_ITEM(child(bar, 0)));
  GtkWidget* found = nullptr;
  GList* entries = gtk_container_get_children(GTK_CONTAINER(drop_down));
  for (GList* e = entries; e && !found; e = e->next) {
    const char* text = gtk_menu_item_get_label(GTK_MENU_ITEM(e->data));
    std::string entry_label = text ? text : "";
    bool prefix =
        label.back() == '*' && entry_label.rfind(label.substr(0, label.size() - 1), 0) == 0;
    if (entry_label == label || prefix) found = GTK_WIDGET(e->data);
  }
  g_list_free(entries);
  return found;
}

std::vector<Message> queued() {
  return std::vector<Message>(kivet::state().message_queue.begin(),
                              kivet::state().message_queue.end());
}

std::vector<Message> take_queue() {
  std::vector<Message> messages = queued();
  kivet::state().message_queue.clear();
  return messages;
}

// A key press as the server would deliver it to a toplevel window.
void send_key(GtkWidget* window, guint keyval) {
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
  event->key.keyval = keyval;
  event->key.time = GDK_CURRENT_TIME;
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(window));
  gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

// A bitmap the window may read at any time from its first present on.
kivet::Bitmap& bitmap_filled_with(uint32_t colour) {
  static kivet::Bitmap bitmap;
  std::fill(bitmap.data(), bitmap.data() + 601 * 540, colour);
  return bitmap;
}

class GtkBackendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!xtest::XvfbServer::available()) return;
    server_ = new xtest::XvfbServer;
    if (server_->start()) {
      xtest::set_test_environment(server_->display());
    } else {
      delete server_;
      server_ = nullptr;
    }
  }

  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    if (!xtest::XvfbServer::available()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_NE(server_, nullptr) << "Xvfb did not start";
    kivet::reset_library();
    KIVET_open(nullptr, nullptr, "", 1);
    take_queue();
  }

  static void pump_all() {
    while (!kivet::state().message_queue.empty()) kivet::KIVET_pump_message(false);
  }

  static xtest::XvfbServer* server_;
};

xtest::XvfbServer* GtkBackendTest::server_ = nullptr;

TEST_F(GtkBackendTest, ClientAreaHasItsSizeAsSoonAsTheWindowIsShown) {
  kivet::Size client = kivet::platform().client_size(WindowId::graphics);
  EXPECT_EQ(client.width, 601);
  EXPECT_EQ(client.height, 515);
  EXPECT_EQ(kivet::state().origin_x, 300);
  EXPECT_EQ(kivet::state().origin_y, 257);
}

TEST_F(GtkBackendTest, CheckMarkFollowsTheLibraryOnly) {
  GtkWidget* logging = menu_entry("_Logging");
  ASSERT_TRUE(GTK_IS_CHECK_MENU_ITEM(logging));
  GtkCheckMenuItem* check = GTK_CHECK_MENU_ITEM(logging);
  EXPECT_TRUE(gtk_check_menu_item_get_active(check));

  // Chosen by the user: GTK would flip the mark at once, the backend only
  // posts the command.
  gtk_menu_item_activate(GTK_MENU_ITEM(logging));
  EXPECT_TRUE(gtk_check_menu_item_get_active(check));
  EXPECT_EQ(queued(), (std::vector<Message>{{WindowId::graphics, MessageKind::command, 4, 0}}));

  pump_all();
  EXPECT_FALSE(kivet::state().KIVET_logging);
  EXPECT_FALSE(gtk_check_menu_item_get_active(check));
  KIVET_set_logging(1);
  EXPECT_TRUE(gtk_check_menu_item_get_active(check));
  // Setting the mark is not a choice of the entry.
  EXPECT_TRUE(take_queue().empty());
}

TEST_F(GtkBackendTest, MenuEntriesPostTheirCommandsAndShowTheirShortcuts) {
  GtkWidget* quit = menu_entry("_Quit");
  ASSERT_NE(quit, nullptr);
  gtk_menu_item_activate(GTK_MENU_ITEM(quit));
  EXPECT_EQ(take_queue(), (std::vector<Message>{{WindowId::graphics, MessageKind::command, 8, 0}}));

  guint key = 0;
  GdkModifierType mods;
  gtk_accel_label_get_accel(GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(quit))), &key, &mods);
  EXPECT_EQ(key, GDK_KEY_q);
  EXPECT_EQ(mods, GDK_CONTROL_MASK);

  EXPECT_TRUE(gtk_widget_get_sensitive(menu_entry("Advance one _frame")));
  GtkWidget* info = menu_entry("MAC: *");
  ASSERT_NE(info, nullptr);
  EXPECT_FALSE(gtk_widget_get_sensitive(info));
  EXPECT_FALSE(GTK_IS_CHECK_MENU_ITEM(menu_entry("_Animate")));
}

// Lets the toolkit run for a while, as the event wait does when it sleeps.
void run_toolkit_ms(int ms) {
  gint64 end = g_get_monotonic_time() + ms * 1000;
  while (g_get_monotonic_time() < end) g_main_context_iteration(nullptr, FALSE);
}

TEST_F(GtkBackendTest, PresentedBitmapsReachTheScreenAtTheNextFrame) {
  xtest::XConnection x(server_->display());
  ASSERT_TRUE(x.ok());
  // Several bitmaps before a frame: the window shows the last.
  for (uint32_t colour : {0xFF0000u, 0x0000FFu, 0x00FF00u}) {
    kivet::platform().present(bitmap_filled_with(colour), kivet::ChangedRows::all());
  }
  run_toolkit_ms(200);
  // Client pixel (5, 5) lies below the 25-row menu bar.
  EXPECT_EQ(x.pixel(5, 30), 0x00FF00u);
  EXPECT_EQ(x.pixel(600, 539), 0x00FF00u);
}

TEST_F(GtkBackendTest, UncoveredTextWindowAsksTheLibraryToRepaint) {
  GtkWidget* area = client_area("KIVET Text");
  auto paints = [] {
    int count = 0;
    for (const Message& message : take_queue()) {
      count += message == Message{WindowId::text, MessageKind::paint, 0, 0};
    }
    return count;
  };
  run_toolkit_ms(100);
  take_queue();
  // A new line is drawn by the window itself.
  kivet::platform().text_add_line("a line");
  run_toolkit_ms(100);
  EXPECT_EQ(paints(), 0);
  // Uncovered, the window is drawn again without having asked.
  gtk_widget_queue_draw(area);
  run_toolkit_ms(100);
  EXPECT_EQ(paints(), 1);
}

TEST_F(GtkBackendTest, SignalsQuitAndASecondOneBeforeTheProgramWaitsEndsIt) {
  auto quits = [] {
    int count = 0;
    for (const Message& message : take_queue()) count += message.kind == MessageKind::quit;
    return count;
  };
  // A program that waits for events gets each signal as a quit.
  for (int i = 0; i < 2; ++i) {
    raise(SIGTERM);
    kivet::platform().process_events(false);
    run_toolkit_ms(100);
  }
  EXPECT_EQ(quits(), 2);
  // One that only sleeps, or never waits, ends at the second signal.
  EXPECT_EXIT(
      {
        raise(SIGTERM);
        kivet::platform().sleep(100);
        raise(SIGTERM);
        exit(0);
      },
      testing::KilledBySignal(SIGTERM), "");
}

TEST_F(GtkBackendTest, FlushedPictureShowsWhileTheProgramComputesOrSleeps) {
  xtest::XConnection x(server_->display());
  ASSERT_TRUE(x.ok());
  run_toolkit_ms(100);
  KIVET_draw_rectangle(RED, -300, 257, 300, -257, 0);
  KIVET_flush();
  g_usleep(100 * 1000);  // computing, without asking for events
  EXPECT_EQ(x.pixel(5, 30), 0xFF0000u);
  for (int colour : {BLUE, GREEN}) {
    KIVET_draw_rectangle(colour, -300, 257, 300, -257, 0);
    KIVET_flush();
    kivet::platform().sleep(100);
  }
  EXPECT_EQ(x.pixel(5, 30), 0x00FF00u);
}

TEST_F(GtkBackendTest, TextWindowShowsEachLineWholeNewestAtTheBottom) {
  GtkWidget* area = client_area("KIVET Text");
  int width = gtk_widget_get_allocated_width(area);
  int height = gtk_widget_get_allocated_height(area);
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  // The rows holding dark pixels, and their leftmost column.
  auto ink = [&](int& top, int& bottom, int& left) {
    cairo_t* cr = cairo_create(picture);
    gtk_widget_draw(area, cr);
    cairo_destroy(cr);
    cairo_surface_flush(picture);
    const unsigned char* data = cairo_image_surface_get_data(picture);
    int stride = cairo_image_surface_get_stride(picture);
    top = height, bottom = -1, left = width;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (data[y * stride + x * 4 + 1] < 0x80) {
          top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x);
        }
      }
    }
  };
  int top, bottom, left;
  kivet::platform().text_clear();
  ink(top, bottom, left);
  EXPECT_EQ(bottom, -1) << "a cleared window is white";

  // A newline and bytes that are not UTF-8 stay on the one line.
  kivet::platform().text_add_line("first\nsecond \xff\xfe");
  ink(top, bottom, left);
  EXPECT_GT(top, height - 20);
  EXPECT_GE(left, 5);
  EXPECT_LT(left, 10);

  // An empty line scrolls the other up.
  kivet::platform().text_add_line("");
  int moved_top, moved_bottom;
  ink(moved_top, moved_bottom, left);
  EXPECT_LT(moved_bottom, top);
  EXPECT_EQ(bottom - top, moved_bottom - moved_top);
  cairo_surface_destroy(picture);
}

// The dialog is driven from inside its own loop, one step per timer call.
struct DialogScript {
  int step = 0;
  int calls = 0;
  bool open_after_cancel = false;
  bool edit_box_has_focus = false;
  std::string prompt;
  int ticks = 0;  // timer messages seen while the dialog was open
};

// Takes the timer messages queued so far (at most one waits at a time).
int take_ticks() {
  int ticks = 0;
  for (const Message& message : take_queue()) {
    if (message.kind == MessageKind::timer) ++ticks;
  }
  return ticks;
}

// A timer callback's guard: after its 100th call the dialog is answered as
// its default button would be, so that a dialog that is never seen fails
// the test instead of hanging it.
bool given_up(int& calls) {
  if (++calls <= 100) return false;
  ADD_FAILURE() << "the dialog was not seen in time";
  if (GtkWidget* dialog = toplevel("KIVET_gets")) gtk_window_activate_default(GTK_WINDOW(dialog));
  return true;
}

gboolean drive_dialog(gpointer data) {
  DialogScript& script = *static_cast<DialogScript*>(data);
  GtkWidget* dialog = toplevel("KIVET_gets");
  if (given_up(script.calls)) return G_SOURCE_REMOVE;
  if (!dialog) return G_SOURCE_CONTINUE;
  script.ticks += take_ticks();
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(dialog));
  switch (script.step++) {
    case 0:
      script.edit_box_has_focus = GTK_IS_TEXT_VIEW(focus);
      script.prompt =
          gtk_label_get_text(GTK_LABEL(child(gtk_dialog_get_content_area(GTK_DIALOG(dialog)), 0)));
      send_key(dialog, GDK_KEY_Escape);
      return G_SOURCE_CONTINUE;
    case 1:
      gtk_window_close(GTK_WINDOW(dialog));  // as the close box does
      return G_SOURCE_CONTINUE;
    case 2:
      script.open_after_cancel = true;
      gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(focus)),
                               "h\xc3\xa9llo \xe2\x82\xac", -1);
      send_key(dialog, GDK_KEY_Return);
      return G_SOURCE_REMOVE;
  }
  return G_SOURCE_REMOVE;
}

TEST_F(GtkBackendTest, DialogEndsOnlyOnEnterAndTheTimerKeepsTicking) {
  DialogScript script;
  g_timeout_add(150, drive_dialog, &script);
  char answer[256] = "unchanged";
  EXPECT_EQ(KIVET_gets("Name?", answer), 1);
  EXPECT_TRUE(script.edit_box_has_focus);
  EXPECT_TRUE(script.open_after_cancel);
  EXPECT_EQ(script.prompt, "Name?");
  EXPECT_STREQ(answer, "h\xc3\xa9llo \xe2\x82\xac") << "the answer is the typed UTF-8";
  EXPECT_EQ(toplevel("KIVET_gets"), nullptr);

  EXPECT_GE(script.ticks, 2) << "the dialog ran about 450 ms";
}

// The dialog as it was shown, looked at once it was on the screen, for a
// prompt of two lines with a tab and another control byte.
constexpr const char* PROMPT = "Line one\nLine two\tTabbed\x01";

struct DialogLook {
  int calls = 0;
  std::string prompt;                        // the static text's characters
  int second_line = 0;                       // the line that "Line two" starts
  int x = 0, y = 0;                          // top-left corner, from the graphics window's top-left
  int fifty_units_x = 0, fifty_units_y = 0;  // in pixels, for the dialog's font
};

gboolean look_at_dialog(gpointer data) {
  DialogLook& look = *static_cast<DialogLook*>(data);
  GtkWidget* dialog = toplevel("KIVET_gets");
  if (given_up(look.calls)) return G_SOURCE_REMOVE;
  if (!dialog || !gtk_widget_get_mapped(dialog)) return G_SOURCE_CONTINUE;
  GtkWidget* label = child(gtk_dialog_get_content_area(GTK_DIALOG(dialog)), 0);
  look.prompt = gtk_label_get_text(GTK_LABEL(label));
  int x;
  pango_layout_index_to_line_x(gtk_label_get_layout(GTK_LABEL(label)), look.prompt.find("Line two"),
                               FALSE, &look.second_line, &x);

  int owner_x, owner_y;
  gdk_window_get_origin(gtk_widget_get_window(toplevel("KIVET Graphics")), &owner_x, &owner_y);
  gdk_window_get_origin(gtk_widget_get_window(dialog), &look.x, &look.y);
  look.x -= owner_x;
  look.y -= owner_y;
  // A horizontal dialog unit is a quarter of the average width of the 52
  // letters, a vertical one an eighth of the line height.
  PangoLayout* letters = pango_layout_new(gtk_widget_get_pango_context(label));
  pango_layout_set_text(letters, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
  int width, height;
  pango_layout_get_pixel_size(letters, &width, &height);
  g_object_unref(letters);
  look.fifty_units_x = static_cast<int>(std::lround(50 * ((width / 26 + 1) / 2) / 4.0));
  look.fifty_units_y = static_cast<int>(std::lround(50 * height / 8.0));

  send_key(dialog, GDK_KEY_Return);
  return G_SOURCE_REMOVE;
}

// The prompt is shown as a static text: a newline breaks the line, a tab
// stays a tab (which the label moves on to the next tab stop), and other
// control bytes stay replaced.
TEST_F(GtkBackendTest, DialogPromptBreaksAtANewlineAndKeepsATab) {
  DialogLook look;
  g_timeout_add(100, look_at_dialog, &look);
  char answer[256];
  EXPECT_EQ(KIVET_gets(PROMPT, answer), 1);
  EXPECT_EQ(look.prompt, "Line one\nLine two\tTabbed\xef\xbf\xbd");
  EXPECT_EQ(look.second_line, 1);
}

TEST_F(GtkBackendTest, DialogSitsFiftyDialogUnitsRightOfAndBelowItsOwnersTopLeft) {
  DialogLook look;
  g_timeout_add(100, look_at_dialog, &look);
  char answer[256];
  EXPECT_EQ(KIVET_gets(PROMPT, answer), 1);
  EXPECT_GT(look.fifty_units_x, 50);
  EXPECT_EQ(look.x, look.fifty_units_x);
  EXPECT_EQ(look.y, look.fifty_units_y);
}

}  // namespace
