// The plain form of a stored entry: a 24-byte header, then raw deflate data,
// padded to whole cipher blocks. Shared by the decoder and the payload tool.
#pragma once

#include <stdint.h>

class KeyBlock;

constexpr uint32_t kPackedHeaderSize = 24;

struct PackedHeader {
  uint32_t storedLength;  // the enciphered length kept beside the entry
  uint32_t plainLength;   // bytes after inflating
  uint32_t packedLength;  // raw deflate bytes after the header
  uint32_t plainCrc;
  uint32_t packedCrc;
  uint32_t tag;           // handed back to the caller (string tables: record count)
};

// Reads or writes a header as six little-endian words.
PackedHeader ReadPackedHeader(const uint8_t* bytes);
void WritePackedHeader(const PackedHeader& header, uint8_t* bytes);

// The checks a stored entry passes on its way to plain bytes, in the order they
// run; the first one it fails says what is wrong with it.
enum EntryCheck : int32_t {
  kEntryIntact = 0,
  kEntryNoKey,           // the key block is empty or its key window lies outside it
  kEntryNotWholeBlocks,  // stored length 0, below the header or not a multiple of 8
  kEntryNoMemory,        // the deciphered copy or the output could not be allocated
  kEntryLengthMismatch,  // the header's stored length differs: wrong key or damage
  kEntryPackedTooLong,   // the packed length runs past the entry
  kEntryPackedCrc,       // the CRC of the packed bytes does not match
  kEntryPaddingNotZero,  // bytes after the packed data are not the tool's zeros
  kEntryNotInflated,     // the data does not inflate to exactly the plain length
  kEntryPlainCrc,        // the CRC of the plain bytes does not match
};

// What ExtractCheckedEntry found: the header as deciphered (all zero when the
// entry failed before it was deciphered) and the first check that failed.
struct EntryReport {
  PackedHeader header;
  EntryCheck failed;
};

// KeyBlock::extractEntry with a report: the same checks and the same outputs,
// and, when `report` is not null, the header and the failed check written
// into it whatever the result.
uint8_t* ExtractCheckedEntry(const KeyBlock& keyBlock, const uint8_t* stored, uint32_t* length,
                             uint32_t* tag, EntryReport* report);

// Inflates raw deflate data (no zlib or gzip wrapper) in one call into exactly
// `outputLength` bytes. Returns the bytes produced, or -1 when the stream is
// damaged, does not end within the input, or does not fit the output.
int64_t InflateRaw(uint8_t* output, uint32_t outputLength, const uint8_t* input,
                   uint32_t inputLength);

// Packs plain bytes into a stored entry: raw deflate, the header with both
// CRCs, zero padding to 8 bytes (the decoder checks it), enciphered with `key`. Returns the entry
// (FreeBlock it) and its stored length, or null when deflate fails.
uint8_t* PackEntry(const uint8_t* key, int32_t keyLength, const uint8_t* plain,
                   uint32_t plainLength, uint32_t tag, uint32_t* storedLength);
