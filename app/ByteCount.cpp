// GuardedByteCount: an overflowing size becomes the largest request, which fails.

#include "app/ByteCount.h"

size_t GuardedByteCount(int32_t count, size_t unitSize) {
  if (count < 0) return SIZE_MAX;
  const size_t n = static_cast<size_t>(count);
  if (unitSize != 0 && n > SIZE_MAX / unitSize) return SIZE_MAX;
  return n * unitSize;
}
