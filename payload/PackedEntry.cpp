// KeyBlock::extractEntry and extractText: decipher a stored entry, check its
// header and both CRCs, and inflate it into a buffer of its exact size.
#include "payload/PackedEntry.h"

#include <string.h>

#include "payload/Blowfish.h"
#include "payload/Crc32.h"
#include "payload/KeyBlock.h"
#include "text/LittleEndian.h"
#include "text/Memory.h"
#include "text/WString.h"

namespace {

// Raw deflate turns one input byte into at most 1032 output bytes (a 258-byte
// match coded in two bits), so a larger plain length can only be damage.
constexpr uint64_t kMostPlainBytesPerPackedByte = 1032;

// The checked steps after deciphering; returns the plain bytes, or null with
// the check that failed in *failed.
uint8_t* InflateChecked(const uint8_t* entry, uint32_t storedLength, PackedHeader* header,
                        EntryCheck* failed) {
  *header = ReadPackedHeader(entry);
  if (header->storedLength != storedLength) {
    *failed = kEntryLengthMismatch;
    return nullptr;
  }
  if (header->packedLength > storedLength - kPackedHeaderSize) {
    *failed = kEntryPackedTooLong;
    return nullptr;
  }
  const uint8_t* data = entry + kPackedHeaderSize;
  if (crc32(0, data, header->packedLength) != header->packedCrc) {
    *failed = kEntryPackedCrc;
    return nullptr;
  }
  // The payload tool pads with zeros. Checking them catches damage to a last
  // block that holds only a byte or two of data, which the CRC could miss.
  for (uint32_t i = kPackedHeaderSize + header->packedLength; i < storedLength; ++i) {
    if (entry[i] != 0) {
      *failed = kEntryPaddingNotZero;
      return nullptr;
    }
  }
  // Refused before allocating, so that a damaged length never asks for gigabytes.
  if (header->plainLength > kMostPlainBytesPerPackedByte * header->packedLength) {
    *failed = kEntryNotInflated;
    return nullptr;
  }
  // Rounded down to even, plus two: a 16-bit terminator after an even length
  // (the texts, UTF-16), a zero byte after an odd one.
  const uint64_t outputSize = (static_cast<uint64_t>(header->plainLength) / 2 + 1) * 2;
  uint8_t* output = outputSize > SIZE_MAX
                        ? nullptr
                        : static_cast<uint8_t*>(TryAllocateBlock(static_cast<size_t>(outputSize)));
  if (output == nullptr) {
    *failed = kEntryNoMemory;
    return nullptr;
  }
  int64_t produced = InflateRaw(output, header->plainLength, data, header->packedLength);
  if (produced != header->plainLength) {
    *failed = kEntryNotInflated;
  } else if (crc32(0, output, header->plainLength) != header->plainCrc) {
    *failed = kEntryPlainCrc;
  } else {
    memset(output + header->plainLength, 0, static_cast<size_t>(outputSize - header->plainLength));
    return output;
  }
  FreeBlock(output);
  return nullptr;
}

}  // namespace

PackedHeader ReadPackedHeader(const uint8_t* bytes) {
  return PackedHeader{ReadLittle32(bytes),      ReadLittle32(bytes + 4),  ReadLittle32(bytes + 8),
                      ReadLittle32(bytes + 12), ReadLittle32(bytes + 16), ReadLittle32(bytes + 20)};
}

void WritePackedHeader(const PackedHeader& header, uint8_t* bytes) {
  WriteLittle32(bytes, header.storedLength);
  WriteLittle32(bytes + 4, header.plainLength);
  WriteLittle32(bytes + 8, header.packedLength);
  WriteLittle32(bytes + 12, header.plainCrc);
  WriteLittle32(bytes + 16, header.packedCrc);
  WriteLittle32(bytes + 20, header.tag);
}

uint8_t* ExtractCheckedEntry(const KeyBlock& keyBlock, const uint8_t* stored, uint32_t* length,
                             uint32_t* tag, EntryReport* report) {
  EntryReport local;
  EntryReport& out = report != nullptr ? *report : local;
  out.header = PackedHeader{0, 0, 0, 0, 0, 0};
  out.failed = kEntryIntact;
  const uint8_t* keyBytes = keyBlock.key();
  if (keyBytes == nullptr) {
    out.failed = kEntryNoKey;
    return nullptr;
  }
  const uint32_t storedLength = length != nullptr ? *length : 0;
  // Whole blocks only, and at least the header.
  if (stored == nullptr || storedLength < kPackedHeaderSize || storedLength % 8 != 0) {
    out.failed = kEntryNotWholeBlocks;
    return nullptr;
  }
  uint8_t* entry = static_cast<uint8_t*>(TryAllocateBlock(storedLength));
  if (entry == nullptr) {
    out.failed = kEntryNoMemory;
    return nullptr;
  }
  BlowfishCipher cipher;
  cipher.setKey(keyBytes, keyBlock.keyLength);
  cipher.decryptBuffer(stored, entry, storedLength);
  uint8_t* output = InflateChecked(entry, storedLength, &out.header, &out.failed);
  FreeBlock(entry);
  if (output == nullptr) return nullptr;
  *length = out.header.plainLength;
  if (tag != nullptr) *tag = out.header.tag;
  return output;
}

uint8_t* KeyBlock::extractEntry(const uint8_t* stored, uint32_t* length, uint32_t* tag) const {
  return ExtractCheckedEntry(*this, stored, length, tag, nullptr);
}

int KeyBlock::extractText(const uint8_t* stored, uint32_t length, WString* text) const {
  if (text == nullptr) return 0;
  uint32_t plainLength = length;
  uint8_t* plain = extractEntry(stored, &plainLength, nullptr);
  if (plain == nullptr) return 0;
  const uint8_t* bytes = plain;
  if (plainLength > 2 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    bytes += 3;
    plainLength -= 3;
  }
  text->AssignNarrow("", 0, -1);
  int result = text->AppendNarrow(reinterpret_cast<const char*>(bytes),
                                  static_cast<int32_t>(plainLength), -1);
  FreeBlock(plain);
  return result;
}
