// libFuzzer target: stored entries for extractEntry. The first byte chooses
// between bytes used as a stored entry as they are, and bytes used as a plain
// entry (header and data) that is enciphered first, so that the checks behind
// the header and the inflate step are reached too.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "tests/payload/PayloadTestSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KeyBlock keyBlock(PayloadKeyParameters());
  static int loaded = LoadRealKeyBlock(&keyBlock);
  if (size < 1 || size > 65536 || !loaded) return 0;
  std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string stored = data[0] & 1 ? Seal(keyBlock, input) : input;
  uint32_t length = static_cast<uint32_t>(stored.size());
  uint32_t tag = 0;
  uint8_t* plain = keyBlock.extractEntry(reinterpret_cast<const uint8_t*>(stored.data()), &length, &tag);
  if (plain != nullptr) {
    // A success promises the plain bytes plus a zero after them.
    volatile uint8_t last = plain[length];
    (void)last;
    FreeBlock(plain);
  } else if (length != stored.size()) {
    __builtin_trap();  // a failure must leave the length alone
  }
  return 0;
}
