// KeyBlock: loading the stored block and rebuilding the key, the key window and
// the wiping release (the constructor is in the header).

#include "payload/KeyBlock.h"

#include <string.h>

#include "payload/KeyBlockRebuild.h"
#include "text/Memory.h"

void WipeBytes(void* bytes, size_t count) {
  volatile uint8_t* p = static_cast<volatile uint8_t*>(bytes);
  for (size_t i = 0; i < count; ++i) p[i] = 0;
}

KeyBlock::~KeyBlock() { release(); }

int KeyBlock::loadFromImage(const uint8_t* stored, int32_t length) {
  release();
  if (stored == nullptr || length == 0 || length != size) return 0;
  // No memory is a refusal like the others: the caller decides what it means.
  data = static_cast<uint8_t*>(TryAllocateBlock(static_cast<size_t>(size)));
  if (data == nullptr) return 0;
  memcpy(data, stored, static_cast<size_t>(size));
  const KeyBlockParameters parameters = {keyOffset,        moveASource,      moveADestination,
                                         moveACount,       moveBSource,      moveBDestination,
                                         moveBCount,       maskPosition,     maskStart,
                                         maskCount};
  RebuildKeyBlock(data, size, parameters);
  return 1;
}

void KeyBlock::release() {
  if (data == nullptr) return;
  WipeBytes(data, static_cast<size_t>(size));
  FreeBlock(data);
  data = nullptr;
}

const uint8_t* KeyBlock::key() const {
  if (data == nullptr || keyOffset < 0 || keyLength < 0) return nullptr;
  // Compare in 64 bits so that no offset and length can wrap past the check.
  if (static_cast<int64_t>(keyOffset) + keyLength > size) return nullptr;
  return data + keyOffset;
}
