// The graphics window's menu bar as a Win32 menu. Choosing an entry gives
// WM_COMMAND with its command number; check marks change only when the
// library sets them.
#pragma once

#include "kivet/platform/platform.h"
#include "kivet/platform/win32/windows_api.h"

namespace kivet::win32 {

class MenuBar {
 public:
  // Builds the bar and attaches it to `window` (the one before is destroyed).
  void attach(HWND window, const Menu& menu);
  void set_checked(int command, bool checked);
  // The menus are gone with their window.
  void forget() { drop_down_ = nullptr; }

 private:
  HMENU drop_down_ = nullptr;
};

}  // namespace kivet::win32
