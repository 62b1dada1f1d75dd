// What X names map to in the window system: keys to virtual-key codes,
// typed key symbols to text, cursor names to X's cursor font shapes.
#pragma once

#include <windows.h>

#include <string>

// The virtual-key code of a key by its unshifted key symbol; 0 for a key
// that has none (it may still type a character, x11_keysym_utf8).
UINT x11_virtual_key(unsigned long keysym);
// The character a key symbol types, in UTF-8; "" for one that types none.
std::string x11_keysym_utf8(unsigned long keysym);
// The X cursor-font shape for a cursor named as qm_user_cursor_name gives it:
// the standard cursors by their numbers, the program's own by their names;
// anything else shows as a cross-hair, the drawing cursor.
unsigned x11_cursor_shape(const std::string& name);
