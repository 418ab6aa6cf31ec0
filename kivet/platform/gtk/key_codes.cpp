// Key codes, typed characters and menu keys from GDK key events.
#include "kivet/platform/gtk/key_codes.h"

#include <algorithm>
#include <utility>

#include "kivet/platform/message.h"

namespace kivet::gtk {
namespace {

struct KeyCode {
  guint keyval;
  int code;
};

// Keys named by their keyval. Letters, digits and function keys are ranges
// and handled apart.
constexpr KeyCode NAMED_KEYS[] = {
    {GDK_KEY_BackSpace, 8},      {GDK_KEY_Tab, 9},           {GDK_KEY_ISO_Left_Tab, 9},
    {GDK_KEY_Clear, 12},         {GDK_KEY_Return, 13},       {GDK_KEY_Shift_L, 16},
    {GDK_KEY_Shift_R, 16},       {GDK_KEY_Control_L, 17},    {GDK_KEY_Control_R, 17},
    {GDK_KEY_Alt_L, 18},         {GDK_KEY_Alt_R, 18},        {GDK_KEY_Meta_L, 18},
    {GDK_KEY_Meta_R, 18},        {GDK_KEY_Pause, 19},        {GDK_KEY_Caps_Lock, 20},
    {GDK_KEY_Escape, 27},        {GDK_KEY_space, 32},        {GDK_KEY_Page_Up, 33},
    {GDK_KEY_Page_Down, 34},     {GDK_KEY_End, 35},          {GDK_KEY_Home, 36},
    {GDK_KEY_Left, 37},          {GDK_KEY_Up, 38},           {GDK_KEY_Right, 39},
    {GDK_KEY_Down, 40},          {GDK_KEY_Print, 44},        {GDK_KEY_Insert, 45},
    {GDK_KEY_Delete, 46},        {GDK_KEY_Super_L, 91},      {GDK_KEY_Super_R, 92},
    {GDK_KEY_Menu, 93},          {GDK_KEY_Num_Lock, 144},    {GDK_KEY_Scroll_Lock, 145},
    {GDK_KEY_semicolon, 186},    {GDK_KEY_equal, 187},       {GDK_KEY_comma, 188},
    {GDK_KEY_minus, 189},        {GDK_KEY_period, 190},      {GDK_KEY_slash, 191},
    {GDK_KEY_grave, 192},        {GDK_KEY_bracketleft, 219}, {GDK_KEY_backslash, 220},
    {GDK_KEY_bracketright, 221}, {GDK_KEY_apostrophe, 222},
};

// The keypad follows Num Lock, so its keys are named by what they type.
constexpr KeyCode KEYPAD_KEYS[] = {
    {GDK_KEY_KP_Enter, 13},      {GDK_KEY_KP_Multiply, 106}, {GDK_KEY_KP_Add, 107},
    {GDK_KEY_KP_Separator, 108}, {GDK_KEY_KP_Subtract, 109}, {GDK_KEY_KP_Decimal, 110},
    {GDK_KEY_KP_Divide, 111},    {GDK_KEY_KP_Home, 36},      {GDK_KEY_KP_Up, 38},
    {GDK_KEY_KP_Page_Up, 33},    {GDK_KEY_KP_Left, 37},      {GDK_KEY_KP_Begin, 12},
    {GDK_KEY_KP_Right, 39},      {GDK_KEY_KP_End, 35},       {GDK_KEY_KP_Down, 40},
    {GDK_KEY_KP_Page_Down, 34},  {GDK_KEY_KP_Insert, 45},    {GDK_KEY_KP_Delete, 46},
};

template <size_t N>
int look_up(const KeyCode (&table)[N], guint keyval) {
  for (const KeyCode& key : table) {
    if (key.keyval == keyval) return key.code;
  }
  return 0;
}

int keypad_code(guint keyval) {
  if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return 96 + (keyval - GDK_KEY_KP_0);
  return look_up(KEYPAD_KEYS, keyval);
}

int main_keyboard_code(guint keyval) {
  if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return 'A' + (keyval - GDK_KEY_a);
  if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return keyval;
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return keyval;
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24) return 112 + (keyval - GDK_KEY_F1);
  return look_up(NAMED_KEYS, keyval);
}

}  // namespace

int virtual_key_code(guint keyval, guint unshifted, const std::vector<guint>& other_groups) {
  int code = keypad_code(keyval);
  if (code == 0 && unshifted != 0) code = main_keyboard_code(unshifted);
  if (code == 0) code = main_keyboard_code(keyval);
  for (size_t i = 0; code == 0 && i < other_groups.size(); ++i) {
    code = main_keyboard_code(other_groups[i]);
  }
  return code;
}

int virtual_key_code(const GdkEventKey* event) {
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(event->window));
  guint unshifted = 0;
  if (!gdk_keymap_translate_keyboard_state(keymap, event->hardware_keycode, GdkModifierType(0),
                                           event->group, &unshifted, nullptr, nullptr, nullptr)) {
    unshifted = 0;
  }
  int code = virtual_key_code(event->keyval, unshifted);
  if (code != 0) return code;
  std::vector<std::pair<gint, guint>> by_group;  // the first level of every other group
  GdkKeymapKey* keys = nullptr;
  guint* keyvals = nullptr;
  gint count = 0;
  if (gdk_keymap_get_entries_for_keycode(keymap, event->hardware_keycode, &keys, &keyvals,
                                         &count)) {
    for (gint i = 0; i < count; ++i) {
      if (keys[i].level == 0 && keys[i].group != event->group) {
        by_group.emplace_back(keys[i].group, keyvals[i]);
      }
    }
    g_free(keys);
    g_free(keyvals);
  }
  std::sort(by_group.begin(), by_group.end());
  std::vector<guint> other_groups;
  for (const auto& entry : by_group) other_groups.push_back(entry.second);
  return virtual_key_code(event->keyval, unshifted, other_groups);
}

bool is_menu_key(guint keyval, GdkModifierType state) {
  switch (keyval) {
    case GDK_KEY_F10:
    case GDK_KEY_Alt_L:
    case GDK_KEY_Alt_R:
    case GDK_KEY_Meta_L:
    case GDK_KEY_Meta_R:
      return true;
    default:
      return (state & GDK_MOD1_MASK) && !(state & GDK_CONTROL_MASK);
  }
}

int held_modifiers(GdkModifierType state) { return (state & GDK_CONTROL_MASK) ? CONTROL_HELD : 0; }

int typed_character(guint keyval, GdkModifierType state) {
  if (state & GDK_MOD1_MASK) return 0;
  bool ctrl = (state & GDK_CONTROL_MASK) != 0;
  switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
      return ctrl ? '\n' : '\r';
    case GDK_KEY_Escape:
      return 27;
    case GDK_KEY_BackSpace:
      return ctrl ? 127 : '\b';
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
      return ctrl ? 0 : '\t';
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete:
      return 0;  // a key, not a character
    default:
      break;
  }
  gunichar c = gdk_keyval_to_unicode(keyval);
  if (c == 0) return 0;
  if (ctrl) {
    // Ctrl with a letter, or with one of @ [ \ ] ^ _, types a control character.
    if ((c >= 'a' && c <= 'z') || (c >= '@' && c <= '_')) return c & 0x1F;
    return c == ' ' ? ' ' : 0;
  }
  return c > 0xFF ? '?' : static_cast<int>(c);
}

}  // namespace kivet::gtk
