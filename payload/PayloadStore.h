// PayloadStore: the enciphered entries compiled into the program image, as the
// program reaches them: the scrambled key block, the four string tables, the
// licences, the layout images and the documents; and the key block's rebuild
// parameters.
#pragma once

#include <stdint.h>

#include "payload/KeyBlock.h"

// One stored entry: enciphered bytes and their (stored) length. A missing
// entry has null bytes and length 0.
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

constexpr int32_t kInterfaceLanguageCount = 2;
constexpr int32_t kLayoutVariantCount = 3;
// Slots 0-12 by Windows version and architecture; slot 13 the WOW64 image.
constexpr int32_t kLayoutImageSlotCount = 14;

struct PayloadStore {
  StoredEntry keyBlock;
  StoredEntry stringTables[kStoredTableCount];
  StoredEntry licences[kInterfaceLanguageCount];  // UTF-8 texts, one per interface language
  StoredEntry layoutImages[kLayoutVariantCount][kLayoutImageSlotCount];
  StoredEntry firstDocument;   // the user guide
  StoredEntry secondDocument;  // the printable chart
  StoredEntry linkIcon;        // icon file the link files point to
};

// Both defined by the generated payload source (or by a test's own store).
extern const PayloadStore kPayloadStore;
// The rebuild parameters of kPayloadStore.keyBlock. Generated as one store per
// field, so that the program's data holds no record of all ten together.
KeyBlockParameters PayloadKeyParameters();
