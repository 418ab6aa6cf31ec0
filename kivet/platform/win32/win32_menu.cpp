// The menu bar: one drop-down with texts, mnemonics ("&"), the shortcut
// shown after a tab, separators, grayed entries and check marks.
#include "kivet/platform/win32/win32_menu.h"

#include "kivet/platform/win32/wide_text.h"

namespace kivet::win32 {

static std::wstring menu_text(const std::string& text) {
  return shown_wide(text, ControlCharacters::replace_but_newline_and_tab);
}

static void append_entry(HMENU drop_down, const MenuEntry& entry) {
  if (entry.separator) {
    AppendMenuW(drop_down, MF_SEPARATOR, 0, nullptr);
    return;
  }
  UINT flags = MF_STRING;
  if (entry.grayed) flags |= MF_GRAYED;
  if (entry.checked) flags |= MF_CHECKED;
  AppendMenuW(drop_down, flags, static_cast<UINT_PTR>(entry.command),
              menu_text(entry.text).c_str());
}

void MenuBar::attach(HWND window, const Menu& menu) {
  HMENU bar = CreateMenu();
  HMENU drop_down = CreatePopupMenu();
  for (const MenuEntry& entry : menu.entries) append_entry(drop_down, entry);
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(drop_down), menu_text(menu.title).c_str());
  HMENU before = GetMenu(window);
  SetMenu(window, bar);
  if (before) DestroyMenu(before);
  DrawMenuBar(window);
  drop_down_ = drop_down;
}

void MenuBar::set_checked(int command, bool checked) {
  if (!drop_down_) return;
  CheckMenuItem(drop_down_, static_cast<UINT>(command),
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace kivet::win32
