// Key-row lookup for the portable rules: FindKeyRow's rule, kept here because
// FindKeyRow's definition is built into the Windows library only.
#pragma once

#include <stdint.h>

#include "app/KeyRow.h"

// The first of the first `count` rows whose scan code is `scanCode`, stopping
// at the first zero scan code (so 0 is never found); null when none is.
inline KeyRow* FindRowByScanCode(KeyRow* table, int32_t count, uint32_t scanCode) {
  if (table == nullptr || scanCode == 0 || scanCode > 0xFFFFu) return nullptr;
  for (int32_t i = 0; i < count && table[i].scanCode != 0; ++i) {
    if (table[i].scanCode == scanCode) return &table[i];
  }
  return nullptr;
}
