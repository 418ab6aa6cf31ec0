// The modal text-input dialog: the prompt above a multi-line edit box and a
// centred default button. The dialog procedure decides when it ends; Escape
// and the close box only tell it about the cancel command.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "kivet/platform/platform.h"

namespace kivet::gtk {

class ModalDialog {
 public:
  // Runs the dialog owned by `owner` (may be null) until end() is called;
  // returns end()'s result, or -1 when a dialog is already running.
  int run(const DialogSetup& setup, GtkWindow* owner);
  std::string item_text(int id) const;
  void end(int result);

 private:
  GtkWidget* build(const DialogSetup& setup, GtkWindow* owner);
  static void on_response(GtkDialog* dialog, gint response, gpointer self);
  static gboolean on_view_key(GtkWidget* view, GdkEventKey* event, gpointer dialog);

  DialogSetup spec_;
  GtkWidget* dialog_ = nullptr;
  GtkWidget* view_ = nullptr;
  bool done_ = false;
  int result_ = 0;
};

}  // namespace kivet::gtk
