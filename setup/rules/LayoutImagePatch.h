// Patching of a keyboard-layout library image in memory: the user's key
// assignments into its scan-code tables, and the comma on the keypad decimal key.
#pragma once

#include <stdint.h>

#include "setup/rules/KeyRow.h"

// A byte pattern decoded from its hex text. Null bytes or a length <= 0 mean
// the pattern is missing.
struct BytePattern {
  const uint8_t* bytes;
  int32_t length;
};

// The patterns that locate the tables inside an image. Each marks the first
// byte of its table; the first occurrence in the image counts.
struct LayoutImagePatterns {
  // Start of the plain scan-code to virtual-key table (one 16-bit code per scan
  // code), by variant index 0, 1, 2. Only the chosen variant's is read.
  BytePattern scanCodeTable[3];
  // Start of the lists of E0- and E1-prefixed keys: 4-byte records (scan byte,
  // unused byte, 16-bit code), ended by a record whose first byte is 0.
  BytePattern extendedE0List;
  BytePattern extendedE1List;
  // Place of the keypad decimal key's two 16-bit characters.
  BytePattern decimalKey;
};

// What to change in the image.
struct LayoutImageChanges {
  // The live key table; null or keyCount <= 0 leaves the key tables alone and
  // needs none of their patterns.
  const KeyRow* keys;
  int32_t keyCount;
  // Chooses scanCodeTable[variantIndex]; anything but 0-2 refuses (with keys).
  int32_t variantIndex;
  // 0: the decimal key types a comma (needs the decimal pattern); else untouched.
  int32_t decimalOption;
};

// Patches the `length` bytes at `image`. With keys, every row whose assignedKey
// is not 0 is written as a little-endian 16-bit code: scan codes below 0x7F
// into the plain table at 2 x scanCode; 0xE0xx and 0xE1xx into the first record
// of their list, before its end record, whose scan byte is the low byte xx (a
// key missing from its list is skipped). Other scan codes are ignored. The
// patterns are found, the lists walked and every write checked against the
// image as given, before the first byte changes.
// 1 = patched (possibly nothing to change). 0 = refused, and the image is
// byte-for-byte unchanged: null image or length <= 0, unknown variant, a needed
// pattern missing or not found, a write that would fall outside the image, or
// a list walk that reaches the image's end without its end record.
int PatchLayoutImage(uint8_t* image, int32_t length, const LayoutImagePatterns& patterns,
                     const LayoutImageChanges& changes);
