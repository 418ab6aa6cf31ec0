// The modal text-input dialog in GTK: its widgets, where it appears, and
// how Enter, Escape and the close box reach the dialog procedure.
#include "kivet/platform/gtk/gtk_dialog.h"

#include "kivet/text_encoding.h"

namespace kivet::gtk {

// The dialog's top-left corner lies this many dialog units right of and
// below its owner's top-left corner.
static constexpr int DIALOG_X_UNITS = 50;
static constexpr int DIALOG_Y_UNITS = 50;

// Roughly the edit box of the dialog-unit layout: 167 x 37 units.
static constexpr int EDIT_WIDTH = 260;
static constexpr int EDIT_HEIGHT = 60;
static constexpr int PROMPT_WIDTH_CHARS = 40;

// The default button's response.
static constexpr gint OKAY_RESPONSE = 1;

static GtkWidget* prompt_label(const std::string& prompt) {
  // Like a static text: a newline breaks the line and a tab moves on to the
  // next tab stop; other control bytes show as replacement characters.
  GtkWidget* label = gtk_label_new(shown_utf8(prompt, ControlCharacters::replace_but_newline_and_tab).c_str());
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_max_width_chars(GTK_LABEL(label), PROMPT_WIDTH_CHARS);
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  return label;
}

static GtkWidget* edit_box(GtkWidget* view) {
  gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD_CHAR);
  gtk_text_view_set_accepts_tab(GTK_TEXT_VIEW(view), FALSE);
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
  gtk_widget_set_size_request(scrolled, EDIT_WIDTH, EDIT_HEIGHT);
  gtk_container_add(GTK_CONTAINER(scrolled), view);
  return scrolled;
}

// n units of a dialog font's base unit, rounded to the nearest pixel.
static int units_to_pixels(int n, int base, int units_per_base) {
  return (2 * n * base + units_per_base) / (2 * units_per_base);
}

// Puts the dialog at its place from the owner's top-left corner, in dialog
// units of the dialog's own font: a horizontal unit is a quarter of the
// average width of the letters A to Z and a to z, a vertical unit an eighth
// of the character height. The toolkit can place a window on X11; on
// Wayland the compositor places it and the move is ignored.
static void place_by_owner(GtkWidget* dialog, GtkWindow* owner) {
  GdkWindow* owner_window = gtk_widget_get_window(GTK_WIDGET(owner));
  if (!owner_window) return;
  int owner_x = 0, owner_y = 0;
  gdk_window_get_origin(owner_window, &owner_x, &owner_y);
  PangoLayout* letters = gtk_widget_create_pango_layout(
      dialog, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  int width = 0, height = 0;
  pango_layout_get_pixel_size(letters, &width, &height);
  g_object_unref(letters);
  int average_width = (width / 26 + 1) / 2;
  gtk_window_move(GTK_WINDOW(dialog), owner_x + units_to_pixels(DIALOG_X_UNITS, average_width, 4),
                  owner_y + units_to_pixels(DIALOG_Y_UNITS, height, 8));
}

GtkWidget* ModalDialog::build(const DialogSetup& setup, GtkWindow* owner) {
  GtkWidget* dialog = gtk_dialog_new();
  gtk_window_set_title(GTK_WINDOW(dialog), shown_utf8(setup.title, ControlCharacters::replace).c_str());
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
  if (owner) {
    gtk_window_set_transient_for(GTK_WINDOW(dialog), owner);
    place_by_owner(dialog, owner);
  }
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  gtk_container_set_border_width(GTK_CONTAINER(content), 8);
  gtk_box_set_spacing(GTK_BOX(content), 8);
  view_ = gtk_text_view_new();
  gtk_box_pack_start(GTK_BOX(content), prompt_label(setup.prompt), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(content), edit_box(view_), TRUE, TRUE, 0);

  GtkWidget* button =
      gtk_dialog_add_button(GTK_DIALOG(dialog), shown_utf8(setup.button, ControlCharacters::replace).c_str(), OKAY_RESPONSE);
  GtkWidget* button_box = gtk_widget_get_parent(button);
  if (GTK_IS_BUTTON_BOX(button_box)) {
    gtk_button_box_set_layout(GTK_BUTTON_BOX(button_box), GTK_BUTTONBOX_CENTER);
  }
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), OKAY_RESPONSE);

  g_signal_connect(dialog, "response", G_CALLBACK(on_response), this);
  // Escape and the close box reach the procedure as a response; the dialog stays.
  g_signal_connect(dialog, "delete-event", G_CALLBACK(gtk_true), nullptr);
  g_signal_connect(view_, "key-press-event", G_CALLBACK(on_view_key), dialog);
  return dialog;
}

bool ModalDialog::run(const DialogSetup& setup, DialogHandler handler, GtkWindow* owner) {
  if (dialog_) return false;
  handler_ = handler;
  done_ = false;
  dialog_ = build(setup, owner);
  gtk_widget_grab_focus(view_);
  gtk_widget_show_all(dialog_);
  while (!done_) g_main_context_iteration(nullptr, TRUE);
  gtk_widget_destroy(dialog_);
  dialog_ = nullptr;
  view_ = nullptr;
  return true;
}

std::string ModalDialog::edit_text() const {
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view_));
  GtkTextIter start, end;
  gtk_text_buffer_get_bounds(buffer, &start, &end);
  gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
  std::string typed = text;
  g_free(text);
  return typed;
}

void ModalDialog::on_response(GtkDialog*, gint response, gpointer self) {
  ModalDialog& dialog = *static_cast<ModalDialog*>(self);
  DialogChoice choice;
  if (response == OKAY_RESPONSE) {
    choice = DialogChoice{DialogChoice::okay, dialog.edit_text()};
  } else if (response == GTK_RESPONSE_DELETE_EVENT) {
    choice.kind = DialogChoice::cancel;
  } else {
    return;
  }
  if (dialog.handler_ && dialog.handler_(choice)) dialog.done_ = true;
}

// Plain Enter in the edit box chooses the default button, as in a dialog's
// multi-line edit box; the view would otherwise take it as a new line.
gboolean ModalDialog::on_view_key(GtkWidget*, GdkEventKey* event, gpointer dialog) {
  bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter;
  auto modifiers = GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_MOD1_MASK;
  if (!enter || (event->state & modifiers) != 0) return FALSE;
  gtk_window_activate_default(GTK_WINDOW(dialog));
  return TRUE;
}

}  // namespace kivet::gtk
