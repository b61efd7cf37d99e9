// Which installed locales the options page offers as the layout's language:
// the locale strings the system enumerates, read as numbers, and the test
// against the keyboard layouts loaded in the system.
#pragma once

#include <stdint.h>

#include "text/WChar.h"

// Reads a locale string as the system gives it ("00000415"): optional leading
// blanks, an optional 0x, then hex digits up to the first other character.
// 1 = `id` holds a non-zero number; 0 = no digits, a number of more than 32
// bits, or 0 (`id` is then 0).
int ParseLocaleId(const WChar* text, uint32_t& id);

// 1 when `localeId` is listed: it is the language already chosen (`selected`,
// compared with the whole locale id), or its language (low 16 bits) has a
// loaded layout, whose language is the low word of each of the first `count`
// entries of `layouts` (keyboard-layout handles as numbers). 0 otherwise, and
// for every locale when there are no layouts.
int IsLocaleListed(uint32_t localeId, uint16_t selected, const uintptr_t* layouts, int32_t count);
