#include "kivet/graphics_window.h"

#include <string>

#include "kivet/event_wait.h"
#include "kivet/script.h"
#include "kivet/state.h"

namespace kivet {

Menu build_run_menu() {
  auto entry = [](int command, const char* text) { return MenuEntry{command, text}; };
  auto toggle = [](int command, const char* text, bool checked) {
    return MenuEntry{command, text, false, false, checked, true};
  };
  auto separator = [] { return MenuEntry{0, "", true}; };
  auto info = [](const std::string& text) { return MenuEntry{CMD_INFO, text, false, true}; };
  Menu menu;
  menu.title = "&Run";
  menu.entries = {
      entry(CMD_ANIMATE, "&Animate\tCtrl+A"),
      entry(CMD_HALT, "&Halt animation\tCtrl+H"),
      entry(CMD_ADVANCE, "Advance one &frame\tCtrl+F"),
      separator(),
      toggle(CMD_LOGGING, "&Logging\tCtrl+L", true),
      separator(),
      toggle(CMD_RECORD, "&Record Script\tCtrl+R", false),
      toggle(CMD_PLAYBACK, "&Playback Script\tCtrl+P", false),
      entry(CMD_PLAY_ONE, "Play &One Script\tCtrl+O"),
      separator(),
      entry(CMD_QUIT, "&Quit\tCtrl+Q"),
      separator(),
      info("MAC: the library's drawing and events are the same on every system"),
      info(std::string("WINDOWS: this build runs ") + platform().where_it_runs()),
      info("UPDATES: see CHANGELOG.md for what is new in each version"),
  };
  return menu;
}

static void toggle_logging() {
  state().KIVET_logging = !state().KIVET_logging;
  platform().check_menu_entry(CMD_LOGGING, state().KIVET_logging);
}

void menu_command(int number) {
  switch (number) {
    case CMD_ANIMATE:
      state().running = true;
      break;
    case CMD_HALT:
      state().running = false;
      break;
    case CMD_ADVANCE:
      state().running = false;
      state().step_requested = true;
      break;
    case CMD_LOGGING:
      toggle_logging();
      break;
    case CMD_RECORD:
      script_toggle_recording();
      break;
    case CMD_PLAYBACK:
      script_toggle_playback();
      break;
    case CMD_PLAY_ONE:
      script_play_one();
      break;
    case CMD_QUIT:
      post_message(Message{WindowId::none, MessageKind::quit, 0, 0});
      break;
    default:
      break;
  }
}

// Ctrl shortcuts: the key code of a letter is its upper-case letter.
static int shortcut_command(int key_code) {
  switch (key_code) {
    case 'A':
      return CMD_ANIMATE;
    case 'H':
      return CMD_HALT;
    case 'F':
      return CMD_ADVANCE;
    case 'L':
      return CMD_LOGGING;
    case 'R':
      return CMD_RECORD;
    case 'P':
      return CMD_PLAYBACK;
    case 'O':
      return CMD_PLAY_ONE;
    case 'Q':
      return CMD_QUIT;
    default:
      return 0;
  }
}

static void key_pressed(int key_code, int modifiers);

// Every key press says whether Ctrl is held: a Ctrl released or pressed
// while another window had the keyboard is never seen as a key of its own,
// and must not leave the flag wrong.
static void key_down(int key_code, int modifiers) {
  if (key_code == KEY_CONTROL) {
    state().ctrl_down = true;
  } else {
    state().ctrl_down = (modifiers & CONTROL_HELD) != 0;
    int command = state().ctrl_down ? shortcut_command(key_code) : 0;
    if (command != 0) {
      // The shortcuts stay the library's, also for a program with key events.
      menu_command(command);
      return;
    }
  }
  key_pressed(key_code, modifiers);
}

// A key press for a program that has key events on: one per physical
// press, the key's auto-repeat giving none (it still types characters).
static void key_pressed(int key_code, int modifiers) {
  int code = key_code & 0xFF;
  if (!state().key_events || code == 0) return;
  if ((modifiers & AUTO_REPEAT) || state().keys_down[code]) return;
  state().event_kind = EVENT_KEY_PRESSED;
  state().event_key = static_cast<signed char>(code);
}

// A key's release, for a key the program was told is down.
static void key_released(int key_code) {
  int code = key_code & 0xFF;
  if (!state().key_events || !state().keys_down[code]) return;
  state().event_kind = EVENT_KEY_RELEASED;
  state().event_key = static_cast<signed char>(code);
}

// The window lost the keyboard: no release will come for the keys held,
// so each is released now, one event per key, ahead of any later input.
static void focus_lost() {
  if (!state().key_events) return;
  for (int code = KEY_CODES - 1; code > 0; --code) {
    if (state().keys_down[code]) {
      state().message_queue.push_front(Message{WindowId::graphics, MessageKind::key_up, code, 0, 0});
    }
  }
}

// Display coordinates of a client-area pixel of a mouse message.
static void mouse_position(const Message& message, int mask) {
  state().event_x = (message.a & mask) - state().origin_x;
  state().event_y = state().origin_y - (message.b & mask);
}

static void mouse_message(const Message& message) {
  if (!state().mouse_events) return;
  // A move or release outside the window (while the button is held)
  // comes with coordinates beyond the client area, kept as they are.
  mouse_position(message, ~0);
  state().event_kind =
      message.kind == MessageKind::mouse_move ? EVENT_MOUSE_MOVED : EVENT_MOUSE_RELEASED;
}

static void size_changed(Size client) {
  // The client rectangle starts at (0, 0).
  state().origin_x = client.width / 2;
  state().origin_y = client.height / 2;
}

void KIVET_graphics_window_proc(const Message& message) {
  switch (message.kind) {
    case MessageKind::create:
      platform().set_menu(WindowId::graphics, build_run_menu());
      break;
    case MessageKind::close:
      // Default handling: the window is destroyed.
      platform().destroy_window(WindowId::graphics);
      send_message(Message{WindowId::graphics, MessageKind::destroy, 0, 0});
      break;
    case MessageKind::destroy:
      platform().stop_timer(TIMER_NUMBER);
      post_message(Message{WindowId::none, MessageKind::quit, 0, 0});
      break;
    case MessageKind::size:
      size_changed(Size{message.a, message.b});
      break;
    case MessageKind::paint:
      // The window lost what it showed: all of it is given again.
      state().changed_rows = ChangedRows::all();
      copy_bitmap_to_window();
      break;
    case MessageKind::timer:
      state().timer_fired = true;
      break;
    case MessageKind::left_button_down:
      state().event_kind = EVENT_MOUSE;
      mouse_position(message, 0xFFFF);
      break;
    case MessageKind::mouse_move:
    case MessageKind::left_button_up:
      mouse_message(message);
      break;
    case MessageKind::focus_lost:
      focus_lost();
      break;
    case MessageKind::character:
      if (!state().ctrl_down) {
        state().event_kind = EVENT_KEYBOARD;
        state().event_key = static_cast<signed char>(message.a & 0xFF);
      }
      break;
    case MessageKind::key_down:
      key_down(message.a, message.c);
      break;
    case MessageKind::key_up:
      if (message.a == KEY_CONTROL) state().ctrl_down = false;
      key_released(message.a);
      break;
    case MessageKind::command:
      menu_command(message.a);
      break;
    case MessageKind::quit:
      break;
  }
}

}  // namespace kivet
