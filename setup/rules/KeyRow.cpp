// Lookup of a key row by scan code, shared by the static and the live table.

#include "setup/rules/KeyRow.h"

const KeyRow* FindKeyRow(const KeyRow* table, int32_t count, uint32_t scanCode) {
  if (table == nullptr) return nullptr;
  const uint16_t wanted = static_cast<uint16_t>(scanCode & 0xFFFFu);
  // Bounded by the count as well as by the zero row, so a live table whose
  // rows were all edited can never be read past its end.
  for (int32_t i = 0; i < count && table[i].scanCode != 0; ++i) {
    if (table[i].scanCode == wanted) return &table[i];
  }
  return nullptr;
}

KeyRow* FindKeyRow(KeyRow* table, int32_t count, uint32_t scanCode) {
  return const_cast<KeyRow*>(
      FindKeyRow(static_cast<const KeyRow*>(table), count, scanCode));
}

uint32_t CountRowsWith(const KeyRow* table, int32_t count, uint16_t KeyRow::*column) {
  uint32_t found = 0;
  for (int32_t i = 0; table != nullptr && i < count && table[i].scanCode != 0; ++i) {
    if (table[i].*column != 0) ++found;
  }
  return found;
}
