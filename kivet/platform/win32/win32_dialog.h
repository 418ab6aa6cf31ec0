// The modal text-input dialog from a template built in memory: the prompt
// above a multi-line edit box and a centred default button, 50 dialog units
// right of and below its owner's client area. The library's handler decides
// when it ends; Escape and the close box only tell it that the user asked
// to cancel.
#pragma once

#include <string>
#include <vector>

#include "kivet/platform/platform.h"
#include "kivet/platform/win32/windows_api.h"

namespace kivet::win32 {

// The template: a dialog header and its three controls, every text in
// UTF-16, each entry starting on a 4-byte boundary.
std::vector<WORD> dialog_template(const DialogSetup& setup);

class ModalDialog {
 public:
  // Runs the dialog owned by `owner` (may be null) until `handler` ends
  // it; false when the dialog cannot be created or one is already running.
  bool run(const DialogSetup& setup, DialogHandler handler, HWND owner);

 private:
  static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM w, LPARAM l);
  static std::string edit_text(HWND dialog);

  DialogHandler handler_ = nullptr;
  bool running_ = false;
};

}  // namespace kivet::win32
