// Key material leaves no trace in freed memory: the key block and the cipher's
// key-derived tables are all zero when they reach the heap again (seen through
// the watched heap that this test program links in place of text/Memory.cpp).
#include <gtest/gtest.h>

#include <vector>

#include "tests/payload/PayloadTestSupport.h"
#include "tests/support/WatchedMemory.h"

namespace {

struct FreedBlock {
  const void* address;
  size_t size;
  bool allZero;
};

void Record(const uint8_t* bytes, size_t size, void* context) {
  bool allZero = true;
  for (size_t i = 0; i < size; ++i) allZero = allZero && bytes[i] == 0;
  static_cast<std::vector<FreedBlock>*>(context)->push_back({bytes, size, allZero});
}

TEST(KeyWipe, KeyBlockAndCipherTablesAreZeroWhenFreed) {
  KeyBlock keyBlock(PayloadKeyParameters());
  ASSERT_EQ(1, LoadRealKeyBlock(&keyBlock));
  const void* rebuilt = keyBlock.data;
  std::vector<FreedBlock> freed;
  WatchFrees(Record, &freed);
  {
    BlowfishCipher cipher;
    cipher.setKey(keyBlock.key(), keyBlock.keyLength);
  }
  keyBlock.release();
  WatchFrees(nullptr, nullptr);

  // The P-array (18 words), the S-boxes (1024 words), then the rebuilt block.
  ASSERT_EQ(3u, freed.size());
  EXPECT_EQ(72u, freed[0].size);
  EXPECT_EQ(4096u, freed[1].size);
  EXPECT_EQ(rebuilt, freed[2].address);
  EXPECT_EQ(static_cast<size_t>(kKeyBlockSize), freed[2].size);
  for (const FreedBlock& block : freed) EXPECT_TRUE(block.allZero) << block.size << " bytes";
}

}  // namespace
