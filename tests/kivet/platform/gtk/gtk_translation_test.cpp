// The GTK backend's parts that need no display: key codes, typed
// characters and menu keys, menu texts, and the timer's schedule.
#include <gtest/gtest.h>

#include <vector>

#include "kivet/platform/gtk/clock_timer.h"
#include "kivet/platform/gtk/gtk_menu.h"
#include "kivet/platform/gtk/key_codes.h"
#include "kivet/platform/message.h"

namespace kivet::gtk {
namespace {

TEST(KeyCodeTest, KeysGiveTheirCodesWhateverShiftAndNumLockSay) {
  struct Case {
    guint keyval, unshifted;
    int code;
  } cases[] = {
      {GDK_KEY_q, GDK_KEY_q, 'Q'},
      {GDK_KEY_Q, GDK_KEY_q, 'Q'},
      {GDK_KEY_A, 0, 'A'},
      {GDK_KEY_exclam, GDK_KEY_1, '1'},
      {GDK_KEY_question, GDK_KEY_slash, 191},
      {GDK_KEY_Control_R, GDK_KEY_Control_R, 17},
      {GDK_KEY_Shift_L, GDK_KEY_Shift_L, 16},
      {GDK_KEY_Alt_L, GDK_KEY_Alt_L, 18},
      {GDK_KEY_Return, GDK_KEY_Return, 13},
      {GDK_KEY_Escape, GDK_KEY_Escape, 27},
      {GDK_KEY_ISO_Left_Tab, GDK_KEY_Tab, 9},
      {GDK_KEY_Down, GDK_KEY_Down, 40},
      {GDK_KEY_F12, GDK_KEY_F12, 123},
      {GDK_KEY_KP_7, GDK_KEY_KP_Home, 103},
      {GDK_KEY_KP_Home, GDK_KEY_KP_Home, 36},
      {GDK_KEY_VoidSymbol, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(virtual_key_code(c.keyval, c.unshifted), c.code) << gdk_keyval_name(c.keyval);
  }
}

TEST(KeyCodeTest, KeysWithoutALatinSymbolTakeTheirCodeFromAnotherGroup) {
  // On a Russian layout the key of H types Cyrillic er; its US group has h.
  EXPECT_EQ(virtual_key_code(GDK_KEY_Cyrillic_er, GDK_KEY_Cyrillic_er, {GDK_KEY_h}), 'H');
  EXPECT_EQ(virtual_key_code(GDK_KEY_Cyrillic_ZHE, GDK_KEY_Cyrillic_zhe, {GDK_KEY_semicolon}), 186);
  EXPECT_EQ(virtual_key_code(GDK_KEY_q, GDK_KEY_q, {GDK_KEY_Cyrillic_shorti}), 'Q');
  EXPECT_EQ(virtual_key_code(GDK_KEY_Cyrillic_er, GDK_KEY_Cyrillic_er, {}), 0);
}

TEST(MenuKeyTest, F10AndAltGoToTheMenuCtrlAndPlainKeysToTheLibrary) {
  const auto none = GdkModifierType(0), alt = GDK_MOD1_MASK;
  EXPECT_TRUE(is_menu_key(GDK_KEY_F10, none));
  EXPECT_TRUE(is_menu_key(GDK_KEY_Alt_L, none));
  EXPECT_TRUE(is_menu_key(GDK_KEY_r, alt));
  EXPECT_TRUE(is_menu_key(GDK_KEY_Cyrillic_ka, alt));
  EXPECT_FALSE(is_menu_key(GDK_KEY_r, none));
  EXPECT_FALSE(is_menu_key(GDK_KEY_Return, none));
  EXPECT_FALSE(is_menu_key(GDK_KEY_q, GDK_CONTROL_MASK));
  EXPECT_FALSE(is_menu_key(GDK_KEY_q, GdkModifierType(GDK_CONTROL_MASK | alt)));
  EXPECT_EQ(held_modifiers(GdkModifierType(GDK_CONTROL_MASK | GDK_SHIFT_MASK)), CONTROL_HELD);
  EXPECT_EQ(held_modifiers(GDK_SHIFT_MASK), 0);
}

TEST(TypedCharacterTest, CharactersTypedWithAndWithoutModifiers) {
  const auto none = GdkModifierType(0), ctrl = GDK_CONTROL_MASK;
  struct Case {
    guint keyval;
    GdkModifierType state;
    int character;
  } cases[] = {
      {GDK_KEY_x, none, 'x'},
      {GDK_KEY_X, GDK_SHIFT_MASK, 'X'},
      {GDK_KEY_Return, none, 13},
      {GDK_KEY_Escape, none, 27},
      {GDK_KEY_BackSpace, none, 8},
      {GDK_KEY_Tab, none, 9},
      {GDK_KEY_eacute, none, 0xE9},
      {GDK_KEY_EuroSign, none, '?'},
      {GDK_KEY_Control_L, none, 0},
      {GDK_KEY_F10, none, 0},
      {GDK_KEY_Delete, none, 0},
      {GDK_KEY_r, GDK_MOD1_MASK, 0},
      {GDK_KEY_f, ctrl, 6},
      {GDK_KEY_Q, GdkModifierType(ctrl | GDK_SHIFT_MASK), 17},
      {GDK_KEY_bracketleft, ctrl, 27},
      {GDK_KEY_1, ctrl, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(typed_character(c.keyval, c.state), c.character) << gdk_keyval_name(c.keyval);
  }
}

TEST(MenuTextTest, MnemonicAndShownShortcut) {
  MenuLabel label = parse_menu_text("Advance one &frame\tCtrl+F");
  EXPECT_EQ(label.mnemonic, "Advance one _frame");
  EXPECT_EQ(label.accel_key, GDK_KEY_f);
  EXPECT_EQ(label.accel_mods, GDK_CONTROL_MASK);

  label = parse_menu_text("Save_all && &exit\tCtrl+Shift+F5");
  EXPECT_EQ(label.mnemonic, "Save__all & _exit");
  EXPECT_EQ(label.accel_key, GDK_KEY_F5);
  EXPECT_EQ(label.accel_mods, GdkModifierType(GDK_CONTROL_MASK | GDK_SHIFT_MASK));

  EXPECT_EQ(parse_menu_text("&Run").accel_key, 0u);
  EXPECT_EQ(parse_menu_text("MAC: see\tthe README").accel_key, 0u);
}

TEST(ClockTimerTest, TicksKeepToTheClockAndSkipWhatWasMissed) {
  // Served a little late, tick 1 is followed by tick 2, due at 200.
  EXPECT_EQ(next_tick(1, 103, 100), 2);
  EXPECT_EQ(next_tick(2, 200, 100), 3);
  // Served 250 late: ticks 3 and 4 are gone, 5 is due at 500.
  EXPECT_EQ(next_tick(2, 450, 100), 5);
}

}  // namespace
}  // namespace kivet::gtk
