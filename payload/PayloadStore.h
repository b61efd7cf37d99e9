// PayloadStore: the payload compiled into the program image, as the application
// reaches it: the scrambled key block with its rebuild parameters and the four
// string-table entries.
#pragma once

#include <stdint.h>

#include "payload/KeyBlock.h"

struct StoredEntry {
  const uint8_t* bytes;
  uint32_t length;
};

// Order of the string-table entries: the order initialise extracts them in.
enum StoredTable : int32_t {
  kCommonTableEntry = 0,
  kSupplementaryTableEntry = 1,
  kLanguage0TableEntry = 2,
  kLanguage1TableEntry = 3,
  kStoredTableCount = 4
};

struct PayloadStore {
  StoredEntry keyBlock;
  KeyBlockParameters keyParameters;
  StoredEntry stringTables[kStoredTableCount];
};

// Defined by the generated payload source.
extern const PayloadStore kPayloadStore;
