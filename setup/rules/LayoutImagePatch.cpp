// Layout image patching in two passes: the first finds and checks every write
// against the unchanged image, the second only stores bytes, so a refusal changes nothing.
#include "setup/rules/LayoutImagePatch.h"

#include "text/LittleEndian.h"
#include "text/Memory.h"
#include "text/TextPrimitives.h"

namespace {

constexpr int32_t kNoWrite = -1;
constexpr int64_t kRecordSize = 4;
constexpr uint16_t kPlainScanCodeLimit = 0x7F;
constexpr uint8_t kComma = 0x2C;

enum class KeyKind { kNone, kPlain, kExtendedE0, kExtendedE1 };

// Which table a row is written to; kNone for unassigned rows and scan codes
// that have no table (0x7F-0xDFFF, 0xE200 and up).
KeyKind KindOf(const KeyRow& row) {
  if (row.assignedKey == 0) return KeyKind::kNone;
  if (row.scanCode < kPlainScanCodeLimit) return KeyKind::kPlain;
  const uint16_t prefix = row.scanCode & 0xFF00u;
  if (prefix == 0xE000u) return KeyKind::kExtendedE0;
  if (prefix == 0xE100u) return KeyKind::kExtendedE1;
  return KeyKind::kNone;
}

// Offset of the pattern's first occurrence; -1 when it is missing or not there.
int32_t Locate(const uint8_t* image, int32_t length, const BytePattern& pattern) {
  if (pattern.bytes == nullptr || pattern.length <= 0) return -1;
  return FindBytesForward(reinterpret_cast<const char*>(image),
                          reinterpret_cast<const char*>(pattern.bytes), length,
                          pattern.length, 0);
}

// 64-bit sums: an offset near the top of the range must not wrap to "inside".
bool Inside(int32_t length, int64_t offset, int64_t count) {
  return offset >= 0 && offset + count <= length;
}

// Walks the records from `start` for the first whose scan byte is `scanByte`.
// 1 with its offset in *record, or kNoWrite when the end record comes first;
// 0 when a record would reach past the image (a list without its end record).
int FindListRecord(const uint8_t* image, int32_t length, int32_t start, uint8_t scanByte,
                   int32_t* record) {
  for (int64_t at = start;; at += kRecordSize) {
    if (!Inside(length, at, kRecordSize)) return 0;
    // The end record is tested first, so a scan byte of 0 never matches.
    if (image[at] == 0) {
      *record = kNoWrite;
      return 1;
    }
    if (image[at] == scanByte) {
      *record = static_cast<int32_t>(at);
      return 1;
    }
  }
}

// First pass over the key rows: the offset of each row's write, or kNoWrite.
// 0 when a needed pattern is missing or a write or walk leaves the image.
int PlanKeyWrites(const uint8_t* image, int32_t length, const LayoutImagePatterns& patterns,
                  const LayoutImageChanges& changes, int32_t* targets) {
  if (changes.variantIndex < 0 || changes.variantIndex > 2) return 0;
  // All three are found even when no row needs them: an image whose tables
  // are not where the patterns say is not one this program knows how to patch.
  const int32_t table = Locate(image, length, patterns.scanCodeTable[changes.variantIndex]);
  const int32_t listE0 = Locate(image, length, patterns.extendedE0List);
  const int32_t listE1 = Locate(image, length, patterns.extendedE1List);
  if (table < 0 || listE0 < 0 || listE1 < 0) return 0;

  for (int32_t i = 0; i < changes.keyCount; ++i) {
    const KeyRow& row = changes.keys[i];
    targets[i] = kNoWrite;
    switch (KindOf(row)) {
      case KeyKind::kNone:
        break;
      case KeyKind::kPlain: {
        const int64_t at = table + 2 * static_cast<int64_t>(row.scanCode);
        if (!Inside(length, at, 2)) return 0;
        targets[i] = static_cast<int32_t>(at);
        break;
      }
      case KeyKind::kExtendedE0:
      case KeyKind::kExtendedE1: {
        const int32_t list = KindOf(row) == KeyKind::kExtendedE0 ? listE0 : listE1;
        int32_t record = kNoWrite;
        if (!FindListRecord(image, length, list, static_cast<uint8_t>(row.scanCode & 0xFFu),
                            &record)) {
          return 0;
        }
        // The code is the record's last two bytes; the walk checked the whole record.
        if (record != kNoWrite) targets[i] = record + 2;
        break;
      }
    }
  }
  return 1;
}

}  // namespace

int PatchLayoutImage(uint8_t* image, int32_t length, const LayoutImagePatterns& patterns,
                     const LayoutImageChanges& changes) {
  if (image == nullptr || length <= 0) return 0;

  const bool withKeys = changes.keys != nullptr && changes.keyCount > 0;
  int32_t decimal = kNoWrite;
  if (changes.decimalOption == 0) {
    decimal = Locate(image, length, patterns.decimalKey);
    // Both 16-bit character cells must lie inside: bytes d to d + 3.
    if (decimal < 0 || !Inside(length, decimal, 4)) return 0;
  }

  int32_t* targets = nullptr;
  if (withKeys) {
    targets = static_cast<int32_t*>(
        AllocateBlock(static_cast<size_t>(changes.keyCount) * sizeof(int32_t)));
    if (!PlanKeyWrites(image, length, patterns, changes, targets)) {
      FreeBlock(targets);
      return 0;
    }
    // Second pass: in table order, so of two rows with one scan code the later wins.
    for (int32_t i = 0; i < changes.keyCount; ++i) {
      if (targets[i] == kNoWrite) continue;
      WriteLittle16(image + targets[i], changes.keys[i].assignedKey);
    }
    FreeBlock(targets);
  }

  if (decimal != kNoWrite) {
    // A comma in the low byte of each character; the high bytes stay as they are.
    image[decimal] = kComma;
    image[decimal + 2] = kComma;
  }
  return 1;
}
