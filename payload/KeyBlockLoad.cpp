// KeyBlock::loadFromImage: copy the stored block and rebuild the key. Kept in a
// file of its own so that the application's tests can link a double instead.
#include <string.h>

#include "payload/KeyBlock.h"
#include "payload/KeyBlockRebuild.h"
#include "text/Memory.h"

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
