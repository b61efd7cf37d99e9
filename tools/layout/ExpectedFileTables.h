// ExpectedFileTables: the tables a correct library image of a definition reads
// as (tools/layoutfile), built from the layout tool's model the way
// CSourceWriter lays it out, and the changes setup makes to an installed copy
// (setup/rules/LayoutImagePatch) applied to them.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "tools/layout/LayoutTables.h"
#include "tools/layoutfile/LayoutFileTables.h"

LayoutFileTables ExpectedFileTables(const LayoutTables& tables);

// One key the user assigned: a scan code (0xE0xx / 0xE1xx for prefixed keys)
// and the 16-bit code setup writes for it; code 0 means not assigned.
struct InstalledKey {
  uint16_t scan;
  uint16_t code;
};

// Applies the keys in order (a later one wins): a scan code below 0x7F sets
// its scan table code; 0xE0xx / 0xE1xx the first record of that list whose scan
// byte is xx, if any; other scan codes change nothing. `decimalOption` 0 puts a
// comma in the low byte of the keypad decimal key's first two cells. False
// with `error`, and `tables` untouched, where setup would refuse to patch: the
// comma asked for but no decimal key with two cells.
bool ApplyInstalledChanges(const std::vector<InstalledKey>& keys, int32_t decimalOption, LayoutFileTables* tables,
                           std::string* error);
