// The payload image: every stored entry in one block, with a small directory
// in front so that the inspector can find and list them in a built program.
//   16-byte magic, u32 format version, u32 entry count, 10 x i32 key parameters,
//   entry count x (u32 id, u32 offset, u32 length), then the entries, each at an
//   offset that is a multiple of 8; identical entries share one copy. Numbers
//   are little-endian.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "payload/KeyBlock.h"

// Entry ids. The string tables keep the numbers the program's loader uses.
enum PayloadEntryId : uint32_t {
  kEntryCommonTable = 1,
  kEntrySupplementaryTable = 2,
  kEntryLanguage0Table = 3,
  kEntryLanguage1Table = 4,
  kEntryKeyBlock = 5,  // the scrambled block itself, not a packed entry
  kEntryLicence0 = 10,
  kEntryLicence1 = 11,
  kEntryLayoutImageBase = 100,  // + variant * 13 + slot
  kEntryFirstDocument = 200,
  kEntrySecondDocument = 201,
  kEntryLinkIcon = 202,
};

extern const char kPayloadMagic[16];

struct PayloadEntry {
  uint32_t id;
  std::string bytes;
};

struct PayloadImage {
  KeyBlockParameters parameters;
  std::vector<PayloadEntry> entries;  // in directory order
};

// A readable name of an entry id ("common strings", "image 1/4", ...).
std::string EntryName(uint32_t id);

// The image's bytes; `offsets` (when given) receives each entry's offset in them.
std::string SerializePayloadImage(const PayloadImage& image, std::vector<size_t>* offsets = nullptr);
// Finds the magic in `bytes` (a built program or a bare image) and reads the
// image behind it. False with `error` when there is none or it is damaged.
bool ParsePayloadImage(const std::string& bytes, PayloadImage* image, std::string* error);
