// KeyboardLayouts: the keyboard layouts loaded for the user and the name of the
// active one, as the system reports them.
#pragma once

#include <stdint.h>

#include "text/WString.h"

// The handles of the keyboard layouts loaded for the user (GetKeyboardLayoutList),
// as 32-bit values: the language id in the low word, the layout in the high
// word (0xF000 | Layout Id for a layout that carries one). An owned block
// (FreeBlock) of `count` entries, or null with count 0 when the list is empty
// or cannot be read. Alone in LoadedLayouts.cpp, so that a test program can
// supply a list of its own.
uint32_t* LoadedKeyboardLayouts(int32_t& count);

// The name of the active keyboard layout (GetKeyboardLayoutNameW: eight
// hexadecimal digits). 1 = `out` holds it, wide; 0 = `out` empty.
int ActiveKeyboardLayoutName(WString& out);
