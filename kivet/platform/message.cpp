#include "kivet/platform/message.h"

namespace kivet {

static const char* kind_name(MessageKind kind) {
  switch (kind) {
    case MessageKind::quit:
      return "quit";
    case MessageKind::create:
      return "create";
    case MessageKind::close:
      return "close";
    case MessageKind::destroy:
      return "destroy";
    case MessageKind::size:
      return "size";
    case MessageKind::paint:
      return "paint";
    case MessageKind::timer:
      return "timer";
    case MessageKind::left_button_down:
      return "left_button_down";
    case MessageKind::character:
      return "character";
    case MessageKind::key_down:
      return "key_down";
    case MessageKind::key_up:
      return "key_up";
    case MessageKind::command:
      return "command";
    case MessageKind::mouse_move:
      return "mouse_move";
    case MessageKind::left_button_up:
      return "left_button_up";
    case MessageKind::focus_lost:
      return "focus_lost";
  }
  return "?";
}

std::ostream& operator<<(std::ostream& out, const Message& message) {
  static const char* windows[] = {"none", "graphics", "text"};
  return out << "{" << windows[static_cast<int>(message.window)] << " " << kind_name(message.kind)
             << " " << message.a << " " << message.b << " " << message.c << "}";
}

}  // namespace kivet
