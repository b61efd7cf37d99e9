// The user's key assignments in the key table: merging and building their
// stored form (4-byte records) and dropping what equals the defaults.
#pragma once

#include <stdint.h>

#include "setup/rules/KeyRow.h"

// One stored record: scan code then virtual-key code, 16 bits each, little-endian.
constexpr uint32_t kKeyAssignmentRecordBytes = 4;

// For every index below both counts: a mapTarget equal to the default row's
// scan code (a key mapped to itself) and an assignedKey equal to the default
// row's code become 0. Returns 0 for a null table or a count of 0, else 1.
int NormaliseKeyRows(KeyRow* table, int32_t count, const KeyRow* defaults,
                     int32_t defaultCount);

// Merges the whole 4-byte records of `bytes` (a trailing partial record is
// ignored) into the first `count` rows: the row of each record's scan code
// takes the record's code unless that is 0. Records for scan code 0 or for
// keys not in the table are skipped. Returns how many records were merged.
int32_t MergeKeyAssignments(KeyRow* table, int32_t count, const uint8_t* bytes, uint32_t size);

// Rows (up to the first zero scan code, at most `count`) with an assignedKey.
uint32_t CountAssignedKeys(const KeyRow* table, int32_t count);

// One record per assigned row in table order, with the byte count (4 x
// records) in `size`. An owned block (FreeBlock, at least 1 byte even when
// nothing is assigned); never null.
uint8_t* BuildKeyAssignments(const KeyRow* table, int32_t count, uint32_t& size);
