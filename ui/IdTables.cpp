// IdTables: lookups in the pair tables of the pages.

#include "ui/IdTables.h"

uint16_t LookupPair(int32_t key, const IdPair* table) {
  if (key == 0 || table == nullptr) return 0;
  for (const IdPair* row = table; row->first != 0; ++row) {
    if (row->first == key) return static_cast<uint16_t>(row->second);
  }
  return 0;
}

int32_t CountPairs(const IdPair* table) {
  int32_t count = 0;
  if (table != nullptr) {
    while (table[count].first != 0) ++count;
  }
  return count;
}
