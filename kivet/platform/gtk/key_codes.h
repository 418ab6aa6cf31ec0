// Translation of GDK key events into what the library's handlers expect:
// the Windows virtual-key code of the key, and the character it types.
#pragma once

#include <gdk/gdk.h>

namespace kivet::gtk {

// The key's code: letters give their upper-case letter whatever Shift says,
// digits their digit, Ctrl 17, Shift 16, Alt 18, F1 112 and so on. `keyval`
// is the key as typed, `unshifted` the same key on its first level (so Shift+1
// still names the "1" key); 0 when unknown. Keys without a code give 0.
int virtual_key_code(guint keyval, guint unshifted);

// The character the key types with the given modifiers, or 0 for none: a
// character above 255 gives '?', Ctrl with a letter its control character,
// and nothing is typed while Alt is held.
int typed_character(guint keyval, GdkModifierType state);

}  // namespace kivet::gtk
