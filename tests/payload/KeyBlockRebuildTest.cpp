// The key block's rebuild: moves in both directions with their clamps, the
// mask with its position read once, and what loadFromImage refuses (memory
// refused through the watched heap this program links).
#include <gtest/gtest.h>

#include <string>

#include "payload/KeyBlock.h"
#include "payload/KeyBlockRebuild.h"
#include "tests/support/WatchedMemory.h"

namespace {

std::string Applied(void (*step)(uint8_t*, int32_t, int32_t, int32_t, int32_t), const char* start,
                int32_t a, int32_t b, int32_t c) {
  std::string block = start;
  step(reinterpret_cast<uint8_t*>(&block[0]), static_cast<int32_t>(block.size()), a, b, c);
  return block;
}

TEST(KeyBlockMove, OverlappingRangesCopyAsIfThroughABuffer) {
  EXPECT_EQ("cdefefgh", Applied(MoveKeyBytes, "abcdefgh", 0, 2, 4));  // forward
  EXPECT_EQ("ababcdgh", Applied(MoveKeyBytes, "abcdefgh", 2, 0, 4));  // backward
}

TEST(KeyBlockMove, CountsAreClampedAtTheEnd) {
  // Forward: clamped by the source end; backward: by the destination end.
  EXPECT_EQ("ghcdefgh", Applied(MoveKeyBytes, "abcdefgh", 0, 6, 100));
  EXPECT_EQ("abcdefab", Applied(MoveKeyBytes, "abcdefgh", 6, 0, 100));
}

TEST(KeyBlockMove, IndicesOutsideTheBlockChangeNothing) {
  for (int32_t bad : {-1, 8, 1000}) {
    EXPECT_EQ("abcdefgh", Applied(MoveKeyBytes, "abcdefgh", bad, 0, 2));
    EXPECT_EQ("abcdefgh", Applied(MoveKeyBytes, "abcdefgh", 0, bad, 2));
  }
  EXPECT_EQ("abcdefgh", Applied(MoveKeyBytes, "abcdefgh", 0, 2, -3));
}

TEST(KeyBlockMask, PositionIsReadOnceAndClamped) {
  std::string masked = Applied(MaskKeyBytes, "\x01\x02\x03\x04", 0, 10, 1);
  EXPECT_EQ(std::string("\x03\x00\x01\x06", 4), masked);  // byte 1 becomes 0, 2 and 3 still use 0x02
  EXPECT_EQ("abcd", Applied(MaskKeyBytes, "abcd", 4, 1, 0));
  EXPECT_EQ("abcd", Applied(MaskKeyBytes, "abcd", 0, 1, -1));
}

TEST(KeyBlockLoad, RefusesAnythingButTheFullBlock) {
  KeyBlockParameters parameters = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  KeyBlock block(parameters);
  uint8_t stored[kKeyBlockSize + 1] = {0};
  EXPECT_EQ(0, block.loadFromImage(nullptr, kKeyBlockSize));
  EXPECT_EQ(0, block.loadFromImage(stored, 0));
  EXPECT_EQ(0, block.loadFromImage(stored, kKeyBlockSize - 1));
  EXPECT_EQ(0, block.loadFromImage(stored, kKeyBlockSize + 1));
  EXPECT_FALSE(block.isLoaded());
  EXPECT_EQ(1, block.loadFromImage(stored, kKeyBlockSize));
  EXPECT_TRUE(block.isLoaded());
  EXPECT_EQ(0, block.loadFromImage(stored, 5));  // a refused load also drops the old key
  EXPECT_FALSE(block.isLoaded());
  RefuseNextTryAllocation();  // no memory is a refusal too, not the end of the program
  EXPECT_EQ(0, block.loadFromImage(stored, kKeyBlockSize));
  EXPECT_FALSE(block.isLoaded());
}

TEST(KeyBlockLoad, AppliesTheStepsInOrder) {
  // Move A copies byte 10 to 0, move B copies byte 0 to 1 (so it sees move A's
  // result), and the mask XORs bytes 2-3 with byte 1.
  KeyBlockParameters parameters = {0, 10, 0, 1, 0, 1, 1, 1, 2, 2};
  KeyBlock block(parameters);
  uint8_t stored[kKeyBlockSize] = {0};
  stored[10] = 0x5A;
  stored[2] = 0x0F;
  ASSERT_EQ(1, block.loadFromImage(stored, kKeyBlockSize));
  EXPECT_EQ(0x5A, block.data[0]);
  EXPECT_EQ(0x5A, block.data[1]);
  EXPECT_EQ(0x0F ^ 0x5A, block.data[2]);
  EXPECT_EQ(0x5A, block.data[3]);
}

}  // namespace
