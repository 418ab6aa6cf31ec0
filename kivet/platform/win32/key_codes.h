// Translation of Windows key messages into what the library's handlers
// expect: the virtual-key code as it is (Windows gives letters as their
// upper-case letter on any layout), the modifiers held as the key was
// pressed, and the typed character as one byte.
#pragma once

#include "kivet/platform/win32/windows_api.h"

namespace kivet::win32 {

// The modifiers of a key message (CONTROL_HELD), from the keyboard state
// that belongs to the message being handled, so a Ctrl released over
// another window never sticks. AltGr, which Windows reports as Ctrl with the
// right Alt, types characters and is not Ctrl.
int held_modifiers();

// A WM_CHAR code unit as the library's character byte: Latin-1 as it is,
// '?' for any other character (once, at its first code unit), -1 for the
// second unit of a pair, which types nothing more.
int typed_character(WPARAM code_unit);

}  // namespace kivet::win32
