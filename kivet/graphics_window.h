// The graphics window's message handler: menu bar, shortcuts, mouse, timer,
// repaint, resize and close.
#pragma once

#include "kivet/platform/message.h"
#include "kivet/platform/platform.h"

namespace kivet {

void KIVET_graphics_window_proc(const Message& message);

// Carries out menu command `number` (1 to 8; others do nothing).
void menu_command(int number);

// The "&Run" menu as it is built when the graphics window is created.
Menu build_run_menu();

}  // namespace kivet
