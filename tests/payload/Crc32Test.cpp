// Tests for crc32: the standard check values, the null and empty cases,
// chaining, and agreement with zlib's crc32 over many buffers.
#include "payload/Crc32.h"

#include <gtest/gtest.h>
#include <string.h>

#if __has_include(<zlib.h>)
#include <zlib.h>
#define KESTREL_HAVE_ZLIB 1
#endif

namespace {

// zlib declares a crc32 of its own; these pin down which one each call means.
uint32_t Ours(uint32_t previous, const uint8_t* bytes, uint32_t length) {
  return crc32(previous, bytes, length);
}

const uint8_t* Bytes(const char* text) { return reinterpret_cast<const uint8_t*>(text); }
uint32_t Length(const char* text) { return static_cast<uint32_t>(strlen(text)); }

void FillRandom(uint8_t* bytes, size_t count, uint32_t& state) {
  for (size_t i = 0; i < count; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes[i] = static_cast<uint8_t>(state >> 11);
  }
}

// ---- empty and null -----------------------------------------------------------

TEST(Crc32Empty, NoBytesGiveZero) {
  const uint8_t byte = 0x41;
  EXPECT_EQ(Ours(0, &byte, 0), 0u);
}

TEST(Crc32Empty, NoBytesLeaveThePreviousCrc) {
  const uint8_t byte = 0x41;
  EXPECT_EQ(Ours(0xCBF43926u, &byte, 0), 0xCBF43926u);
  EXPECT_EQ(Ours(0xFFFFFFFFu, &byte, 0), 0xFFFFFFFFu);
}

TEST(Crc32Empty, NullPointerGivesZeroWhateverCameBefore) {
  EXPECT_EQ(Ours(0, nullptr, 0), 0u);
  EXPECT_EQ(Ours(0, nullptr, 100), 0u);
  EXPECT_EQ(Ours(0xCBF43926u, nullptr, 9), 0u);
}

// ---- known values -------------------------------------------------------------

struct Known {
  const char* text;
  uint32_t crc;
};

TEST(Crc32Known, StandardCheckValues) {
  const Known cases[] = {
      {"123456789", 0xCBF43926u},
      {"a", 0xE8B7BE43u},
      {"abc", 0x352441C2u},
      {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
  };
  for (const Known& k : cases) {
    EXPECT_EQ(Ours(0, Bytes(k.text), Length(k.text)), k.crc) << k.text;
  }
}

TEST(Crc32Known, SingleBytesAllZerosAndAllOnes) {
  // With the initial all-ones value, 0xFF cancels it and leaves only the final complement.
  const uint8_t zero = 0x00;
  const uint8_t ff = 0xFF;
  EXPECT_EQ(Ours(0, &zero, 1), 0xD202EF8Du);
  EXPECT_EQ(Ours(0, &ff, 1), 0xFF000000u);
}

// ---- chaining -----------------------------------------------------------------

TEST(Crc32Chaining, EverySplitEqualsOneCall) {
  const char* text = "The quick brown fox jumps over the lazy dog";
  const uint32_t n = Length(text);
  const uint32_t whole = Ours(0, Bytes(text), n);
  for (uint32_t split = 0; split <= n; ++split) {
    const uint32_t first = Ours(0, Bytes(text), split);
    EXPECT_EQ(Ours(first, Bytes(text) + split, n - split), whole) << "split " << split;
  }
}

TEST(Crc32Chaining, ThreePiecesOfARandomBuffer) {
  uint8_t buffer[1000];
  uint32_t state = 0x9E3779B9u;
  FillRandom(buffer, sizeof buffer, state);
  const uint32_t whole = Ours(0, buffer, sizeof buffer);
  uint32_t crc = Ours(0, buffer, 1);
  crc = Ours(crc, buffer + 1, 498);
  crc = Ours(crc, buffer + 499, 501);
  EXPECT_EQ(crc, whole);
}

// ---- agreement with zlib --------------------------------------------------------

#if defined(KESTREL_HAVE_ZLIB)

uint32_t Zlib(uint32_t previous, const uint8_t* bytes, uint32_t length) {
  return static_cast<uint32_t>(
      ::crc32(static_cast<uLong>(previous), bytes, static_cast<uInt>(length)));
}

TEST(Crc32MatchesZlib, EverySingleByte) {
  for (uint32_t v = 0; v < 256; ++v) {
    const uint8_t byte = static_cast<uint8_t>(v);
    EXPECT_EQ(Ours(0, &byte, 1), Zlib(0, &byte, 1)) << "byte " << v;
  }
}

TEST(Crc32MatchesZlib, RandomBuffersOfManyLengths) {
  uint8_t buffer[4096];
  uint32_t state = 0x2545F491u;
  for (uint32_t length = 0; length <= 300; ++length) {
    FillRandom(buffer, length, state);
    EXPECT_EQ(Ours(0, buffer, length), Zlib(0, buffer, length)) << "length " << length;
  }
  for (int round = 0; round < 20; ++round) {
    FillRandom(buffer, sizeof buffer, state);
    const uint32_t length = 301 + state % (sizeof buffer - 301);
    EXPECT_EQ(Ours(0, buffer, length), Zlib(0, buffer, length)) << "length " << length;
  }
}

TEST(Crc32MatchesZlib, ContinuingFromAnyPreviousCrc) {
  uint8_t buffer[257];
  uint32_t state = 0xDEADBEEFu;
  for (int round = 0; round < 50; ++round) {
    FillRandom(buffer, sizeof buffer, state);
    const uint32_t previous = state;
    EXPECT_EQ(Ours(previous, buffer, sizeof buffer), Zlib(previous, buffer, sizeof buffer))
        << "previous " << previous;
  }
}

TEST(Crc32MatchesZlib, NullPointerAsZlibAnswersIt) {
  EXPECT_EQ(Ours(0x12345678u, nullptr, 0), Zlib(0x12345678u, nullptr, 0));
  EXPECT_EQ(Ours(0x12345678u, nullptr, 16), Zlib(0x12345678u, nullptr, 16));
}

#endif  // KESTREL_HAVE_ZLIB

}  // namespace
