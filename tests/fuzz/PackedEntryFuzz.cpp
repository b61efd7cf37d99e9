// libFuzzer target: stored entries for ExtractCheckedEntry. The first byte
// chooses the entry's making: the input as a stored entry as it is, or an
// entry the harness builds right (the rest of the input is its plain data,
// deflated here, or a raw deflate stream) and then damages in one chosen field.
// A right entry must come back byte for byte; a damaged one must fail at the
// check that guards the damaged field, with its outputs left alone.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <zlib.h>

#include <string>

#include "payload/Crc32.h"
#include "payload/PackedEntry.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/payload/PayloadTestSupport.h"
#include "text/LittleEndian.h"
#include "text/WString.h"

namespace {

// What the harness does to a right entry (the first byte's low four bits).
enum Damage : uint32_t {
  kAsGiven,            // no building: the input is the stored entry
  kNone,
  kStoredLengthField,  // the header's stored length
  kPlainLengthField,
  kPackedLengthField,
  kPackedCrcField,
  kPlainCrcField,
  kPaddingByte,        // one byte after the packed data
  kPackedByte,         // one byte of the deflate data, its CRC made right again
  kCutEntry,           // bytes dropped from the end of the stored entry
  kDamageCount
};

typedef FuzzInput Input;

// Raw deflate of `plain` with the given level, window and memory level.
bool Deflated(const std::string& plain, int level, int windowBits, int memLevel, std::string* out) {
  z_stream stream = {};
  if (deflateInit2(&stream, level, Z_DEFLATED, -windowBits, memLevel, Z_DEFAULT_STRATEGY) != Z_OK) {
    return false;
  }
  // zlib 1.2.13's deflateBound is a byte short for an empty stored block with a small memLevel.
  out->resize(deflateBound(&stream, static_cast<uLong>(plain.size())) + 64);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
  stream.avail_in = static_cast<uInt>(plain.size());
  stream.next_out = reinterpret_cast<Bytef*>(&(*out)[0]);
  stream.avail_out = static_cast<uInt>(out->size());
  const int status = deflate(&stream, Z_FINISH);
  out->resize(stream.total_out);
  deflateEnd(&stream);
  return status == Z_STREAM_END;
}

// What `packed` inflates to, at most kMostPlain bytes; false when it is not a
// whole raw deflate stream within them (`plain` then holds what came out).
constexpr size_t kMostPlain = 1 << 16;
bool Inflated(const std::string& packed, std::string* plain) {
  z_stream stream = {};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  plain->resize(kMostPlain);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  stream.avail_in = static_cast<uInt>(packed.size());
  stream.next_out = reinterpret_cast<Bytef*>(&(*plain)[0]);
  stream.avail_out = static_cast<uInt>(plain->size());
  const int status = inflate(&stream, Z_FINISH);
  plain->resize(stream.total_out);
  inflateEnd(&stream);
  return status == Z_STREAM_END;
}

uint32_t Crc(const std::string& bytes) {
  return crc32(uint32_t{0}, reinterpret_cast<const uint8_t*>(bytes.data()),
               static_cast<uint32_t>(bytes.size()));
}

const KeyBlock* RealKeyBlock() {
  static KeyBlock keyBlock(PayloadKeyParameters());
  static const int loaded = LoadRealKeyBlock(&keyBlock);
  return loaded ? &keyBlock : nullptr;
}

// The cipher keyed with the program's own key (its schedule is most of a run's time).
const BlowfishCipher& RealCipher() {
  static BlowfishCipher cipher;
  static const int keyed = cipher.setKey(RealKeyBlock()->key(), kKeyLength);
  if (!keyed) __builtin_trap();
  return cipher;
}

// The entry in the clear: the header, the packed bytes, zeros to `storedLength`.
std::string InTheClear(const PackedHeader& header, const std::string& packed, uint32_t storedLength) {
  std::string entry(storedLength, '\0');
  WritePackedHeader(header, reinterpret_cast<uint8_t*>(&entry[0]));
  memcpy(&entry[kPackedHeaderSize], packed.data(), packed.size());
  return entry;
}

bool SameHeader(const PackedHeader& a, const PackedHeader& b) {
  return a.storedLength == b.storedLength && a.plainLength == b.plainLength &&
         a.packedLength == b.packedLength && a.plainCrc == b.plainCrc &&
         a.packedCrc == b.packedCrc && a.tag == b.tag;
}

constexpr uint32_t kUntouched = 0xA5A5A5A5u;

// Extracts `stored` and traps unless a success gives back `plain` and `tag`
// (with zeros after it) and a failure leaves both outputs alone.
EntryReport Extract(const std::string& stored, const std::string* plain, uint32_t tag) {
  uint32_t length = static_cast<uint32_t>(stored.size());
  uint32_t outTag = kUntouched;
  EntryReport report;
  uint8_t* out = ExtractCheckedEntry(*RealKeyBlock(), reinterpret_cast<const uint8_t*>(stored.data()),
                                     &length, &outTag, &report);
  if (out == nullptr) {
    if (report.failed == kEntryIntact) __builtin_trap();  // a failure names its check
    if (length != stored.size() || outTag != kUntouched) __builtin_trap();
    return report;
  }
  if (report.failed != kEntryIntact || length != report.header.plainLength ||
      outTag != report.header.tag) {
    __builtin_trap();
  }
  // The plain bytes end in a zero, and text of whole UTF-16 units in a zero unit.
  if (out[length] != 0 || (length % 2 == 0 && out[length + 1] != 0)) __builtin_trap();
  if (plain != nullptr &&
      (length != plain->size() || memcmp(out, plain->data(), length) != 0 || outTag != tag)) {
    __builtin_trap();  // an entry that passes every check is the one that was packed
  }
  FreeBlock(out);
  return report;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536 || RealKeyBlock() == nullptr) return 0;
  Input in{data + 1, size - 1};
  const uint32_t damage = (data[0] & 0x0F) % kDamageCount;
  if (damage == kAsGiven) {
    Extract(std::string(reinterpret_cast<const char*>(in.data), in.size), nullptr, 0);
    return 0;
  }
  const bool bodyIsStream = (data[0] & 0x10) != 0;
  const uint32_t extraBlocks = (data[0] >> 5) & 3;  // the tool pads to one block; more are zeros too
  const uint32_t zlibChoice = in.Byte();
  const uint32_t word = in.Word();
  const uint32_t tag = in.Word();
  const std::string body(reinterpret_cast<const char*>(in.data), in.size);

  // Plain data deflated here, or a deflate stream from the input with the plain
  // bytes it gives (a stream that does not end keeps what came out before).
  std::string plain, packed;
  bool inflates = true;
  if (bodyIsStream) {
    packed = body;
    inflates = Inflated(packed, &plain);
  } else {
    plain = body;
    const int level = static_cast<int>(zlibChoice % 10);
    const int windowBits = 9 + static_cast<int>((zlibChoice / 10) % 7);
    const int memLevel = 1 + static_cast<int>((zlibChoice / 70) % 9);
    if (!Deflated(plain, level, windowBits, memLevel, &packed)) __builtin_trap();
  }
  uint32_t storedLength = BlowfishCipher::roundUpToBlock(
      static_cast<uint32_t>(kPackedHeaderSize + packed.size())) + 8 * extraBlocks;
  if (damage == kPaddingByte && storedLength == kPackedHeaderSize + packed.size()) storedLength += 8;
  PackedHeader header = {storedLength, static_cast<uint32_t>(plain.size()),
                         static_cast<uint32_t>(packed.size()), Crc(plain), Crc(packed), tag};

  // The check each damage must fail, or the first of the checks it may fail
  // (those that read what the CRCs cover, where the data may still be right).
  EntryCheck expected = inflates ? kEntryIntact : kEntryNotInflated;
  bool orLater = false;
  const uint32_t flip = word | 1;  // never zero: a damaged field always changes
  switch (damage) {
    case kStoredLengthField:
      header.storedLength ^= flip;
      expected = kEntryLengthMismatch;
      break;
    case kPlainLengthField:
      // A stream longer than the harness inflates may end at the new length: then the CRC fails.
      header.plainLength ^= flip;
      expected = kEntryNotInflated;
      orLater = !inflates;
      break;
    case kPackedLengthField:
      header.packedLength ^= flip;
      // Too long for the entry, or a CRC over other bytes (a clash would show at the padding).
      expected = header.packedLength > storedLength - kPackedHeaderSize ? kEntryPackedTooLong
                                                                        : kEntryPackedCrc;
      orLater = expected == kEntryPackedCrc;
      break;
    case kPackedCrcField:
      header.packedCrc ^= flip;
      expected = kEntryPackedCrc;
      break;
    case kPlainCrcField:
      header.plainCrc ^= flip;
      if (inflates) expected = kEntryPlainCrc;
      break;
    case kPackedByte:
      if (!packed.empty()) {
        packed[word % packed.size()] ^= static_cast<char>((word >> 24) | 1);
        header.packedCrc = Crc(packed);
        expected = kEntryNotInflated;  // or the plain CRC, or the same plain bytes again
        orLater = true;
      }
      break;
    default:
      break;
  }
  std::string stored = InTheClear(header, packed, storedLength);
  if (damage == kPaddingByte) {
    const uint32_t first = kPackedHeaderSize + header.packedLength;
    stored[first + word % (storedLength - first)] ^= static_cast<char>((word >> 24) | 1);
    expected = kEntryPaddingNotZero;
  }
  RealCipher().encryptBuffer(reinterpret_cast<const uint8_t*>(stored.data()),
                             reinterpret_cast<uint8_t*>(&stored[0]), storedLength);
  if (damage == kCutEntry) {
    stored.resize(stored.size() - 1 - word % stored.size());
    expected = stored.size() % 8 != 0 || stored.size() < kPackedHeaderSize ? kEntryNotWholeBlocks
                                                                             : kEntryLengthMismatch;
    orLater = false;
  }

  const EntryReport report = Extract(stored, &plain, tag);
  if (orLater ? report.failed != kEntryIntact && report.failed < expected
              : report.failed != expected) {
    __builtin_trap();  // the damage got past the check that guards it, or another check failed
  }
  if (report.failed == kEntryIntact) {
    // As text: the same bytes, less a leading byte-order mark.
    WString text;
    const size_t skip = plain.size() >= 3 && plain.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const size_t length = plain.size() - skip;
    if (!RealKeyBlock()->extractText(reinterpret_cast<const uint8_t*>(stored.data()),
                                     static_cast<uint32_t>(stored.size()), &text) ||
        static_cast<size_t>(text.Length()) != length ||
        (length > 0 && memcmp(text.NarrowAt(0), plain.data() + skip, length) != 0)) {
      __builtin_trap();
    }
  }
  // Once deciphered, the report holds the header as it was written.
  if (report.failed != kEntryNotWholeBlocks && !SameHeader(report.header, header)) __builtin_trap();
  return 0;
}
