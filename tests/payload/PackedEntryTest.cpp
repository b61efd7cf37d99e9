// Stored entries: the round trip through PackEntry and extractEntry, every
// check of the decoder, the text reader's byte-order mark, and damaged copies
// of a real entry of the program's payload.
#include <gtest/gtest.h>

#include <string>

#include <zlib.h>

#include "payload/Crc32.h"
#include "tests/payload/PayloadTestSupport.h"
#include "text/WString.h"

namespace {

std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
  return s;
}

std::string RawDeflate(const std::string& plain) {
  z_stream stream = {};
  deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(plain.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
  stream.avail_in = static_cast<uInt>(plain.size());
  stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

uint32_t Crc(const std::string& s) {
  return crc32(uint32_t{0}, reinterpret_cast<const uint8_t*>(s.data()), static_cast<uint32_t>(s.size()));
}

// A plain entry made by hand, so each header field can be set wrong on its own.
struct HandEntry {
  std::string data;
  uint32_t plainLength;
  uint32_t plainCrc;
  uint32_t tag = 7;
  int64_t storedLengthDelta = 0;
  int64_t packedLengthDelta = 0;
  uint32_t packedCrcXor = 0;

  explicit HandEntry(const std::string& plain)
      : data(RawDeflate(plain)), plainLength(static_cast<uint32_t>(plain.size())), plainCrc(Crc(plain)) {}

  std::string Sealed(const KeyBlock& keyBlock, char padding = 0) const {
    uint32_t stored = BlowfishCipher::roundUpToBlock(static_cast<uint32_t>(24 + data.size()));
    std::string plain = Le32(static_cast<uint32_t>(stored + storedLengthDelta)) + Le32(plainLength) +
                        Le32(static_cast<uint32_t>(data.size() + packedLengthDelta)) +
                        Le32(plainCrc) + Le32(Crc(data) ^ packedCrcXor) + Le32(tag) + data;
    plain.resize(stored, padding);
    return Seal(keyBlock, plain);
  }
};

class PackedEntry : public ::testing::Test {
 protected:
  KeyBlock keyBlock{PayloadKeyParameters()};
  void SetUp() override { ASSERT_EQ(1, LoadRealKeyBlock(&keyBlock)); }
};

TEST_F(PackedEntry, RoundTripsEmptyOddEvenAndLarge) {
  std::string large;
  for (uint32_t i = 0; i < 300000; ++i) large.push_back(static_cast<char>((i * 7919u) % 251 ^ (i >> 9)));
  for (const std::string& plain : {std::string(), std::string("abcde"), std::string("abcdef"), large}) {
    std::string stored = Packed(keyBlock, plain, 42);
    EXPECT_EQ(0u, stored.size() % 8);
    uint32_t tag = 0;
    EXPECT_EQ(plain, Extracted(keyBlock, stored, &tag)) << plain.size();
    EXPECT_EQ(42u, tag);
  }
}

TEST_F(PackedEntry, OutputHasRoomForATerminator) {
  for (uint32_t size : {0u, 5u, 6u}) {
    std::string stored = Packed(keyBlock, std::string(size, 'x'), 0);
    uint32_t length = static_cast<uint32_t>(stored.size());
    uint8_t* plain = keyBlock.extractEntry(reinterpret_cast<const uint8_t*>(stored.data()), &length, nullptr);
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(size, length);
    // (size / 2 + 1) * 2 bytes: the spare ones are zero.
    for (uint32_t i = size; i < (size / 2 + 1) * 2; ++i) EXPECT_EQ(0, plain[i]);
    FreeBlock(plain);
  }
}

TEST_F(PackedEntry, EachHeaderCheckRefusesOnItsOwn) {
  const std::string plain = "The quick brown fox jumps over the lazy dog";
  HandEntry good(plain);
  ASSERT_EQ(plain, Extracted(keyBlock, good.Sealed(keyBlock)));

  HandEntry wrongStored = good;
  wrongStored.storedLengthDelta = 8;
  EXPECT_EQ("<null>", Extracted(keyBlock, wrongStored.Sealed(keyBlock)));
  HandEntry pastTheEnd = good;
  pastTheEnd.packedLengthDelta = 64;
  EXPECT_EQ("<null>", Extracted(keyBlock, pastTheEnd.Sealed(keyBlock)));
  HandEntry wrongPackedCrc = good;
  wrongPackedCrc.packedCrcXor = 1;
  EXPECT_EQ("<null>", Extracted(keyBlock, wrongPackedCrc.Sealed(keyBlock)));
  HandEntry wrongPlainCrc = good;
  wrongPlainCrc.plainCrc ^= 0x80000000u;
  EXPECT_EQ("<null>", Extracted(keyBlock, wrongPlainCrc.Sealed(keyBlock)));
  HandEntry shorter = good;  // inflates to more than it claims
  shorter.plainLength -= 1;
  EXPECT_EQ("<null>", Extracted(keyBlock, shorter.Sealed(keyBlock)));
  HandEntry longer = good;  // inflates to less than it claims
  longer.plainLength += 1;
  EXPECT_EQ("<null>", Extracted(keyBlock, longer.Sealed(keyBlock)));
  if ((24 + good.data.size()) % 8 != 0) {
    EXPECT_EQ("<null>", Extracted(keyBlock, good.Sealed(keyBlock, 'p')));  // padding not zero
  }
  HandEntry huge = good;  // a claim no allocation can meet must fail, not end the program
  huge.plainLength = 0xFFFFFFF0u;
  EXPECT_EQ("<null>", Extracted(keyBlock, huge.Sealed(keyBlock)));
}

TEST_F(PackedEntry, RefusesLengthsThatAreNotWholeHeaderedBlocks) {
  std::string stored = Packed(keyBlock, "payload", 0);
  EXPECT_EQ("<null>", Extracted(keyBlock, stored, nullptr, 0));
  EXPECT_EQ("<null>", Extracted(keyBlock, stored, nullptr, 16));
  EXPECT_EQ("<null>", Extracted(keyBlock, stored + "1234", nullptr, static_cast<uint32_t>(stored.size() + 4)));
  KeyBlock empty(PayloadKeyParameters());
  EXPECT_EQ("<null>", Extracted(empty, stored));
}

TEST_F(PackedEntry, FailureLeavesTheOutputsAlone) {
  std::string stored = Packed(keyBlock, "payload", 9);
  stored[30] ^= 1;
  uint32_t length = static_cast<uint32_t>(stored.size());
  uint32_t tag = 1234;
  EXPECT_EQ(nullptr, keyBlock.extractEntry(reinterpret_cast<const uint8_t*>(stored.data()), &length, &tag));
  EXPECT_EQ(stored.size(), length);
  EXPECT_EQ(1234u, tag);
}

TEST_F(PackedEntry, TextDropsAByteOrderMarkOnly) {
  struct Case {
    std::string plain;
    std::string text;
  } cases[] = {{"\xEF\xBB\xBFhello", "hello"}, {"\xEF\xBB\xBF", ""}, {"\xEF\xBB", "\xEF\xBB"},
               {"plain", "plain"}};
  for (const Case& c : cases) {
    std::string stored = Packed(keyBlock, c.plain, 0);
    WString text;
    text.AssignWide(WTEXT("old"), -1);
    EXPECT_EQ(1, keyBlock.extractText(reinterpret_cast<const uint8_t*>(stored.data()),
                                      static_cast<uint32_t>(stored.size()), &text));
    EXPECT_FALSE(text.IsWide());
    EXPECT_EQ(c.text, std::string(text.NarrowAt(0), static_cast<size_t>(text.Length())));
  }
  WString untouched;
  untouched.AssignWide(WTEXT("keep"), -1);
  EXPECT_EQ(0, keyBlock.extractText(reinterpret_cast<const uint8_t*>("12345678"), 8, &untouched));
  EXPECT_EQ(4, untouched.Length());
}

// The smallest string table of the real payload, damaged every way.
TEST_F(PackedEntry, EveryTruncationAndBitFlipOfARealEntryIsRefused) {
  const StoredEntry* smallest = &kPayloadStore.stringTables[0];
  for (const StoredEntry& entry : kPayloadStore.stringTables) {
    if (entry.length < smallest->length) smallest = &entry;
  }
  const std::string stored(reinterpret_cast<const char*>(smallest->bytes), smallest->length);
  ASSERT_NE("<null>", Extracted(keyBlock, stored));
  for (uint32_t length = 0; length < stored.size(); ++length) {
    ASSERT_EQ("<null>", Extracted(keyBlock, stored.substr(0, length))) << "cut to " << length;
  }
  std::vector<size_t> bytes;
  for (size_t i = 0; i < 64 && i < stored.size(); ++i) bytes.push_back(i);
  for (size_t i = stored.size() - 8; i < stored.size(); ++i) bytes.push_back(i);
  for (size_t byte : bytes) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string damaged = stored;
      damaged[byte] = static_cast<char>(damaged[byte] ^ (1 << bit));
      ASSERT_EQ("<null>", Extracted(keyBlock, damaged)) << "byte " << byte << " bit " << bit;
    }
  }
}

TEST_F(PackedEntry, EveryEntryOfTheRealPayloadVerifies) {
  for (const StoredEntry& entry : kPayloadStore.stringTables) {
    uint32_t length = entry.length;
    uint32_t count = 0;
    uint8_t* plain = keyBlock.extractEntry(entry.bytes, &length, &count);
    ASSERT_NE(nullptr, plain);
    EXPECT_GT(count, 0u);
    EXPECT_LE(8ull * count, length);
    FreeBlock(plain);
  }
  for (const StoredEntry& licence : kPayloadStore.licences) {
    WString text;
    ASSERT_EQ(1, keyBlock.extractText(licence.bytes, licence.length, &text));
    EXPECT_GT(text.Length(), 200);
    EXPECT_NE(0xEF, static_cast<uint8_t>(text.NarrowAt(0)[0]));  // no byte-order mark left
    EXPECT_NE(nullptr, text.ToWide(-1));                      // valid UTF-8
  }
}

}  // namespace
