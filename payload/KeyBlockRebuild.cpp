// The rearranging steps of the key block: two moves and a mask.
#include "payload/KeyBlockRebuild.h"

namespace {

bool Inside(int32_t index, int32_t size) { return index >= 0 && index < size; }

// How many of `count` bytes from `from` stay inside the block (a negative count none).
int32_t Clamped(int32_t from, int32_t count, int32_t size) {
  if (count <= 0) return 0;
  return static_cast<int64_t>(from) + count > size ? size - from : count;
}

}  // namespace

void MoveKeyBytes(uint8_t* block, int32_t size, int32_t destination, int32_t source,
                  int32_t count) {
  if (!Inside(destination, size) || !Inside(source, size)) return;
  if (destination < source) {
    int32_t n = Clamped(source, count, size);
    for (int32_t i = 0; i < n; ++i) block[destination + i] = block[source + i];
  } else {
    int32_t n = Clamped(destination, count, size);
    for (int32_t i = n - 1; i >= 0; --i) block[destination + i] = block[source + i];
  }
}

void MaskKeyBytes(uint8_t* block, int32_t size, int32_t start, int32_t count, int32_t position) {
  if (!Inside(start, size) || !Inside(position, size)) return;
  const uint8_t mask = block[position];
  int32_t n = Clamped(start, count, size);
  for (int32_t i = 0; i < n; ++i) block[start + i] ^= mask;
}

void RebuildKeyBlock(uint8_t* block, int32_t size, const KeyBlockParameters& p) {
  MoveKeyBytes(block, size, p.moveADestination, p.moveASource, p.moveACount);
  MoveKeyBytes(block, size, p.moveBDestination, p.moveBSource, p.moveBCount);
  MaskKeyBytes(block, size, p.maskStart, p.maskCount, p.maskPosition);
}
