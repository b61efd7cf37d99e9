// IdTables: the constant tables that drive the pages: pairs of ids (control
// and string, string and item value, control and key) and lists of controls.
#pragma once

#include <stdint.h>

// One row of a pair table; a table ends at the first row whose `first` is 0.
struct IdPair {
  int32_t first;
  int32_t second;
};

// A list of control ids ending with 0 (controls disabled or hidden together).
typedef int32_t IdList;

// The second value of the first row whose first value is `key`, as 16 bits;
// 0 for key 0, a null table or no match (the closing row never matches).
uint16_t LookupPair(int32_t key, const IdPair* table);
// Rows before the closing row.
int32_t CountPairs(const IdPair* table);
