#include "kivet/platform/gtk/gtk_menu.h"

#include <cctype>

#include "kivet/text_encoding.h"

namespace kivet::gtk {
namespace {

// Entries that can carry a check mark: GTK draws these as check items.
bool can_be_checked(const MenuEntry& entry) { return entry.checked || entry.checkable; }

std::string mnemonic_label(const std::string& text) {
  std::string label;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') {
      label += '&';
      ++i;
    } else if (text[i] == '&') {
      label += '_';
    } else if (text[i] == '_') {
      label += "__";
    } else {
      label += text[i];
    }
  }
  return label;
}

void parse_shortcut(const std::string& shortcut, MenuLabel& label) {
  unsigned mods = 0;
  size_t start = 0;
  for (size_t plus = shortcut.find('+'); plus != std::string::npos && plus + 1 < shortcut.size();
       plus = shortcut.find('+', start)) {
    std::string modifier = shortcut.substr(start, plus - start);
    if (modifier == "Ctrl") mods |= GDK_CONTROL_MASK;
    if (modifier == "Shift") mods |= GDK_SHIFT_MASK;
    if (modifier == "Alt") mods |= GDK_MOD1_MASK;
    start = plus + 1;
  }
  std::string key = shortcut.substr(start);
  if (key.size() == 1) {
    label.accel_key = gdk_unicode_to_keyval(tolower(static_cast<unsigned char>(key[0])));
  } else if (!key.empty()) {
    guint keyval = gdk_keyval_from_name(key.c_str());
    label.accel_key = keyval == GDK_KEY_VoidSymbol ? 0 : keyval;
  }
  label.accel_mods = GdkModifierType(label.accel_key ? mods : 0);
}

}  // namespace

MenuLabel parse_menu_text(const std::string& text) {
  MenuLabel label;
  size_t tab = text.find('\t');
  label.mnemonic = mnemonic_label(shown_utf8(text.substr(0, tab), ControlCharacters::replace));
  if (tab != std::string::npos) parse_shortcut(text.substr(tab + 1), label);
  return label;
}

GtkWidget* MenuBar::build(const Menu& menu, WindowId window) {
  items_.clear();
  GtkWidget* drop_down = gtk_menu_new();
  for (const MenuEntry& entry : menu.entries) {
    gtk_menu_shell_append(GTK_MENU_SHELL(drop_down), build_entry(entry, window));
  }
  GtkWidget* title = gtk_menu_item_new_with_mnemonic(parse_menu_text(menu.title).mnemonic.c_str());
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(title), drop_down);
  GtkWidget* bar = gtk_menu_bar_new();
  gtk_menu_shell_append(GTK_MENU_SHELL(bar), title);
  return bar;
}

GtkWidget* MenuBar::build_entry(const MenuEntry& entry, WindowId window) {
  if (entry.separator) return gtk_separator_menu_item_new();
  MenuLabel label = parse_menu_text(entry.text);
  auto item = std::make_unique<Item>();
  item->command = entry.command;
  item->window = window;
  item->checkable = can_be_checked(entry);
  item->checked = entry.checked;
  const char* text = label.mnemonic.c_str();
  item->widget = item->checkable ? gtk_check_menu_item_new_with_mnemonic(text)
                                 : gtk_menu_item_new_with_mnemonic(text);
  if (item->checkable) {
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item->widget), entry.checked);
  }
  if (label.accel_key != 0) {
    // Shown only: the library implements the shortcuts itself.
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(item->widget));
    gtk_accel_label_set_accel(GTK_ACCEL_LABEL(child), label.accel_key, label.accel_mods);
  }
  gtk_widget_set_sensitive(item->widget, !entry.grayed);
  item->handler = g_signal_connect(item->widget, "activate", G_CALLBACK(on_activate), item.get());
  GtkWidget* widget = item->widget;
  items_.push_back(std::move(item));
  return widget;
}

void MenuBar::on_activate(GtkMenuItem*, gpointer data) {
  Item& item = *static_cast<Item*>(data);
  post_message(Message{item.window, MessageKind::command, item.command, 0});
  // GTK has flipped the mark by itself; put it back until the library says.
  if (item.checkable) show_mark(item);
}

void MenuBar::show_mark(Item& item) {
  // Setting the mark emits "activate", which must not become a command.
  g_signal_handler_block(item.widget, item.handler);
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item.widget), item.checked);
  g_signal_handler_unblock(item.widget, item.handler);
}

void MenuBar::set_checked(int command, bool checked) {
  for (auto& item : items_) {
    if (!item->checkable || item->command != command) continue;
    item->checked = checked;
    show_mark(*item);
  }
}

}  // namespace kivet::gtk
