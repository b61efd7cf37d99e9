// Under which input languages the user has the product's layout loaded: the
// languages a removal must name so that no language keeps a layout that is gone.
#pragma once

#include <stdint.h>

// The handle of a layout that carries a Layout Id has 0xF000 | id in its high word.
constexpr uint32_t kLayoutIdHandleBits = 0xF000;

// The languages to remove the layout from: `first` (the language the layout is
// made for), then the language (low word) of every handle in `handles` whose
// high word is 0xF000 | `layoutId`, in list order, each language once. Writes
// at most `capacity` of them to `out` and returns how many it wrote.
int32_t LanguagesWithLayout(const uint32_t* handles, int32_t count, uint16_t layoutId,
                            uint16_t first, uint16_t* out, int32_t capacity);
