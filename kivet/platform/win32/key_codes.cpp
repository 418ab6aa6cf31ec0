// Modifiers and characters from Windows key messages.
#include "kivet/platform/win32/key_codes.h"

#include "kivet/platform/message.h"

namespace kivet::win32 {

static bool down(int virtual_key) { return (GetKeyState(virtual_key) & 0x8000) != 0; }

int held_modifiers() {
  bool ctrl = down(VK_CONTROL) && !down(VK_RMENU);
  return ctrl ? CONTROL_HELD : 0;
}

int typed_character(WPARAM code_unit) {
  if (code_unit <= 0xFF) return static_cast<int>(code_unit);
  if (code_unit >= 0xDC00 && code_unit <= 0xDFFF) return -1;
  return '?';
}

}  // namespace kivet::win32
