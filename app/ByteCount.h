// Byte counts for arrays allocated from a row count, guarded against overflow
// so that an impossible size makes the allocation fail instead of wrap.
#pragma once

#include <stddef.h>
#include <stdint.h>

// count * unitSize, or SIZE_MAX when the product does not fit or count < 0.
size_t GuardedByteCount(int32_t count, size_t unitSize);
