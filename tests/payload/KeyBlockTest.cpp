// The key block's own parts: its parameters, the key window, and the wiping
// of key bytes before they are freed.

#include <gtest/gtest.h>

#include <string.h>

#include "payload/KeyBlock.h"
#include "text/Memory.h"

namespace {

const KeyBlockParameters kParameters = {100, 1, 2, 3, 4, 5, 6, 7, 8, 9};

TEST(KeyBlock, StartsEmptyWithItsParameters) {
  KeyBlock block(kParameters);
  EXPECT_FALSE(block.isLoaded());
  EXPECT_EQ(nullptr, block.key());
  EXPECT_EQ(968, block.size);
  EXPECT_EQ(100, block.keyOffset);
  EXPECT_EQ(495, block.keyLength);
  EXPECT_EQ(1, block.moveASource);
  EXPECT_EQ(9, block.maskCount);
  block.release();  // harmless on an empty block
  EXPECT_FALSE(block.isLoaded());
}

TEST(KeyBlock, KeyIsTheWindowAtKeyOffsetWhenItFits) {
  KeyBlock block(kParameters);
  block.data = static_cast<uint8_t*>(AllocateBlock(968));
  EXPECT_EQ(block.data + 100, block.key());
  block.keyOffset = 968 - 495;
  EXPECT_EQ(block.data + 473, block.key());
  block.keyOffset = 474;  // one byte past the end
  EXPECT_EQ(nullptr, block.key());
  block.keyOffset = -1;
  EXPECT_EQ(nullptr, block.key());
  block.keyOffset = 0x7FFFFFFF;
  EXPECT_EQ(nullptr, block.key());
  block.release();
  EXPECT_EQ(nullptr, block.data);
}

TEST(WipeBytes, ZeroesExactlyTheBytesGiven) {
  uint8_t bytes[16];
  memset(bytes, 0xA5, sizeof bytes);
  WipeBytes(bytes + 2, 12);
  EXPECT_EQ(0xA5, bytes[0]);
  EXPECT_EQ(0xA5, bytes[1]);
  for (int i = 2; i < 14; ++i) EXPECT_EQ(0, bytes[i]) << i;
  EXPECT_EQ(0xA5, bytes[14]);
  EXPECT_EQ(0xA5, bytes[15]);
}

}  // namespace
