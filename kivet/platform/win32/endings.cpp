// Endings that come from outside the windows. The console's handler runs on
// a thread of its own that Windows starts for it: it only posts a message to
// a message-only window of the library's thread, whose procedure turns it
// into the platform's quit message there (whatever loop runs then, the
// program's wait or a modal one, dispatches it). A second Ctrl+C before the
// program waited for events again ends the process the usual way, so a
// program that never waits can still be stopped. When the console is
// closed, Windows ends the process once the handler returns: the handler
// gives the program a few seconds to take its quit and finish first.
#include "kivet/platform/win32/endings.h"

#include <atomic>

#include "kivet/platform/platform.h"

namespace kivet::win32 {
namespace {

constexpr UINT QUIT_FROM_OUTSIDE = WM_APP + 1;
// Windows waits 5 s for a handler of a console close before it ends the
// process anyway.
constexpr DWORD CLOSE_GRACE_MS = 4500;

std::atomic<int> endings_since_wait{0};
std::atomic<HWND> receiver{nullptr};

LRESULT CALLBACK receiver_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == QUIT_FROM_OUTSIDE) {
    post_message(Message{WindowId::none, MessageKind::quit, 0, 0});
    return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

// A learner's Ctrl+C that nothing seems to answer: once, a second after the
// first one, if the program has not asked for an event since, a line says
// why and what stops it. This thread is the handler's own; it may wait.
std::atomic<bool> ctrl_c_noted{false};

void note_unless_the_program_waits() {
  Sleep(1000);
  if (endings_since_wait.load() == 0 || ctrl_c_noted.exchange(true)) return;
  static const char note[] =
      "kivet: the program is not asking for events, so it cannot take Ctrl+C as its quit; "
      "a second Ctrl+C stops it\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), note, sizeof note - 1, &written, nullptr);
}

BOOL WINAPI on_console_event(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      if (++endings_since_wait >= 2) return FALSE;  // the default: the process ends
      PostMessageW(receiver, QUIT_FROM_OUTSIDE, 0, 0);
      if (event == CTRL_C_EVENT) note_unless_the_program_waits();
      return TRUE;
    case CTRL_CLOSE_EVENT:
      PostMessageW(receiver, QUIT_FROM_OUTSIDE, 0, 0);
      // A program that takes its quit ends the process meanwhile.
      Sleep(CLOSE_GRACE_MS);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void watch_outside_endings() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = receiver_procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"KivetEndings";
  RegisterClassW(&window_class);
  receiver = CreateWindowExW(0, L"KivetEndings", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             instance, nullptr);
  if (receiver) SetConsoleCtrlHandler(on_console_event, TRUE);
}

void note_program_waits() { endings_since_wait = 0; }

void session_ends(bool ending) {
  if (!ending) return;
  display_lost();
  post_message(Message{WindowId::none, MessageKind::quit, 0, 0});
}

}  // namespace kivet::win32
