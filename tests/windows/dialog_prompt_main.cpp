// For the Windows tests under Wine: the dialog's static text, made from the
// template with the prompt padded, is drawn, then drawn again holding the
// prompt alone. Prints "same" or "differs: PROMPT" for each prompt.
#include <cstdio>
#include <vector>

#include "kivet/platform/win32/wide_text.h"
#include "kivet/platform/win32/win32_dialog.h"

static INT_PTR CALLBACK keep_open(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// The control's pixels as it paints itself.
static std::vector<DWORD> drawn(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC dc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + r.right * r.bottom);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

int main() {
  // Spaces right after each of these would push its last word on to a
  // line of its own.
  for (const char* prompt : {"Type a line:", "Grüße, Ada: wie heißt du?",
                             "wwwwwwww Attempted instantiate a wwwwwwww to Attempted line KIVET instantiate"}) {
    std::vector<WORD> t = kivet::win32::dialog_template(kivet::DialogSetup{"KIVET_gets", prompt, "Okay"});
    HWND dialog = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(t.data()),
                                             nullptr, keep_open, 0);
    HWND text = FindWindowExW(dialog, nullptr, L"Static", nullptr);
    if (!text) return 1;
    std::vector<DWORD> padded = drawn(text);
    SetWindowTextW(text, kivet::win32::to_wide(prompt).c_str());
    if (drawn(text) == padded) {
      std::printf("same\n");
    } else {
      std::printf("differs: %s\n", prompt);
    }
    DestroyWindow(dialog);
  }
  return 0;
}
