// Translation of GDK key events into what the library's handlers expect:
// the Windows virtual-key code of the key, the character it types and the
// modifiers held; and which keys belong to the toolkit's menu handling.
#pragma once

#include <gdk/gdk.h>

#include <vector>

namespace kivet::gtk {

// The key's code: letters give their upper-case letter whatever Shift says,
// digits their digit, Ctrl 17, Shift 16, Alt 18, F1 112 and so on. `keyval`
// is the key as typed, `unshifted` the same key on its first level (so Shift+1
// still names the "1" key); 0 when unknown. A key that gives no code so (a
// Cyrillic letter, say) takes the code of its first-level symbol in another
// group of the layout, `other_groups` in group order, as desktop shortcuts
// match it: Ctrl with the key that carries H is Ctrl+H on any layout. Keys
// without a code give 0.
int virtual_key_code(guint keyval, guint unshifted, const std::vector<guint>& other_groups = {});

// The key code of a key event, looked up in its display's keymap.
int virtual_key_code(const GdkEventKey* event);

// Keys that open the menu bar and choose its entries by the letters marked
// in their texts: F10, the Alt keys, and any key typed with Alt but not
// Ctrl. They go to the toolkit's own handling, not to the library.
bool is_menu_key(guint keyval, GdkModifierType state);

// The modifiers of a key message (CONTROL_HELD) from a key event's state.
int held_modifiers(GdkModifierType state);

// The character the key types with the given modifiers, or 0 for none: a
// character above 255 gives '?', Ctrl with a letter its control character,
// and nothing is typed while Alt is held.
int typed_character(guint keyval, GdkModifierType state);

}  // namespace kivet::gtk
