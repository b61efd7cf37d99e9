// The payload image and its map. The image is every stored entry in one block
// of bytes, compiled into the program as it is; the map, which lists the
// entries and the key parameters, stays beside the program for the inspector.
//   image: the entries one after the other, each at an offset that is a
//          multiple of 8; identical entries share one copy.
//   map:   16-byte magic, u32 format version, u32 entry count, 10 x i32 key
//          parameters, u32 image length, the image's first min(32, length)
//          bytes (to find it inside a program), then entry count x (u32 id,
//          u32 offset in the image, u32 length). Numbers are little-endian.
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
  kEntryLayoutImageBase = 100,  // + variant * 13 + slot, slots 0-12
  // The WOW64 image of each variant (slot 13): an i386 library with the x64
  // field layout, for the 32-bit system folder of 64-bit Windows.
  kEntryWow64ImageBase = 140,  // + variant
  kEntryFirstDocument = 200,
  kEntrySecondDocument = 201,
  kEntryLinkIcon = 202,
};

// Magic of the map, and of the directory that earlier programs carried in front
// of their image (a program must hold neither).
extern const char kPayloadMapMagic[16];
extern const char kEarlierDirectoryMagic[16];

struct PayloadEntry {
  uint32_t id;
  std::string bytes;
};

struct PayloadImage {
  KeyBlockParameters parameters;
  std::vector<PayloadEntry> entries;  // in map order
};

// The image's bytes and its map.
struct SerializedPayload {
  std::string image;
  std::string map;
  std::vector<size_t> offsets;  // each entry's offset in the image, in map order
};

// A readable name of an entry id ("common strings", "image 1/4", ...).
std::string EntryName(uint32_t id);

// The entry id of layout image `slot` (0-13) of `variant` (0-2); slot 13 is
// the variant's WOW64 image.
uint32_t LayoutImageEntryId(uint32_t variant, uint32_t slot);
// The variant and slot of a layout image entry id; false for any other id.
bool LayoutImageSlotOf(uint32_t id, uint32_t* variant, uint32_t* slot);

SerializedPayload SerializePayload(const PayloadImage& image);
// Reads `map`, finds the image it describes inside `file` (a built program or
// the bare image) and reads the entries from there. False with `error` when
// the map is damaged or the file does not hold its image.
bool ReadPayload(const std::string& map, const std::string& file, PayloadImage* image,
                 std::string* error);
// What of the map `file` carries in the clear: "" when nothing, else a
// description (a map or directory magic, the ten key parameters as one record).
std::string MapTracesIn(const std::string& file, const KeyBlockParameters& parameters);
