// The modal text-input dialog: the prompt above a multi-line edit box and a
// centred default button. The library's handler decides when it ends;
// Escape and the close box only tell it that the user asked to cancel.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "kivet/platform/platform.h"

namespace kivet::gtk {

class ModalDialog {
 public:
  // Runs the dialog owned by `owner` (may be null) until `handler` ends
  // it; false when a dialog is already running.
  bool run(const DialogSetup& setup, DialogHandler handler, GtkWindow* owner);

 private:
  GtkWidget* build(const DialogSetup& setup, GtkWindow* owner);
  std::string edit_text() const;
  static void on_response(GtkDialog* dialog, gint response, gpointer self);
  static gboolean on_view_key(GtkWidget* view, GdkEventKey* event, gpointer dialog);

  DialogHandler handler_ = nullptr;
  GtkWidget* dialog_ = nullptr;
  GtkWidget* view_ = nullptr;
  bool done_ = false;
};

}  // namespace kivet::gtk
