// The graphics window's menu bar as GTK widgets. Choosing an entry posts its
// command; check marks follow only what the library sets.
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "kivet/platform/platform.h"

namespace kivet::gtk {

// An entry's text in GTK terms: "&Quit\tCtrl+Q" gives the mnemonic label
// "_Quit" and the shortcut Q with Control.
struct MenuLabel {
  std::string mnemonic;
  guint accel_key = 0;
  GdkModifierType accel_mods = GdkModifierType(0);
};
MenuLabel parse_menu_text(const std::string& text);

class MenuBar {
 public:
  // Builds the bar; its entries post command messages to `window`.
  GtkWidget* build(const Menu& menu, WindowId window);
  void set_checked(int command, bool checked);
  // The widgets are gone (the window was destroyed).
  void forget() { items_.clear(); }

 private:
  struct Item {
    GtkWidget* widget = nullptr;
    gulong handler = 0;
    int command = 0;
    WindowId window = WindowId::none;
    bool checkable = false;
    bool checked = false;  // as the library last set it
  };

  GtkWidget* build_entry(const MenuEntry& entry, WindowId window);
  static void on_activate(GtkMenuItem* widget, gpointer item);
  static void show_mark(Item& item);

  std::vector<std::unique_ptr<Item>> items_;
};

}  // namespace kivet::gtk
