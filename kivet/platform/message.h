// Messages: what the platform backends post to the library's queue and what
// the library's window handlers act on. Small value types, comparable in tests.
#pragma once

#include <ostream>

namespace kivet {

enum class WindowId { none = 0, graphics = 1, text = 2 };

enum class MessageKind {
  quit,              // the platform's quit message; `a` is the exit code
  create,            // the window is being created
  close,             // the user asked to close the window (its close box)
  destroy,           // the window has been destroyed
  size,              // client area changed: `a` width, `b` height
  paint,             // the window must be repainted
  timer,             // a timer ticked: `a` the timer number
  left_button_down,  // `a`, `b`: client-area pixel, x right and y down
  character,         // `a`: the character's byte (0 to 255)
  key_down,          // `a`: virtual-key code; `b`: the character it types, or 0;
                     // `c`: the modifier keys held as it was pressed (CONTROL_HELD),
                     // and AUTO_REPEAT when the key is held and repeats
  key_up,            // `a`: virtual-key code; `c` as for key_down
  command,           // a menu command: `a` its number
  mouse_move,        // `a`, `b`: client-area pixel, as for left_button_down
  left_button_up,    // `a`, `b`: client-area pixel
  focus_lost,        // the window no longer has the keyboard
};

struct Message {
  WindowId window = WindowId::none;
  MessageKind kind = MessageKind::quit;
  int a = 0;
  int b = 0;
  int c = 0;

  bool operator==(const Message& other) const {
    return window == other.window && kind == other.kind && a == other.a && b == other.b &&
           c == other.c;
  }
};

std::ostream& operator<<(std::ostream& out, const Message& message);

// Virtual-key codes that the library acts on.
constexpr int KEY_CONTROL = 17;

// Modifier keys held, in the `c` of key messages.
constexpr int CONTROL_HELD = 1;
// In the `c` of a key_down: the key was already down and repeats.
constexpr int AUTO_REPEAT = 2;

}  // namespace kivet
