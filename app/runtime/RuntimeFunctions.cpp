// The few C library functions setup.exe's code and zlib call, for a program
// linked without the C runtime (msvcrt would be loaded before the program runs,
// from beside it where it is not a KnownDLL). Compiled without the compiler's
// own pattern replacement, so that no loop here becomes a call of itself.

#include <stddef.h>

#include <new>

#include "text/Memory.h"

extern "C" {

void* memcpy(void* target, const void* source, size_t count) {
  unsigned char* out = static_cast<unsigned char*>(target);
  const unsigned char* in = static_cast<const unsigned char*>(source);
  while (count-- > 0) *out++ = *in++;
  return target;
}

void* memmove(void* target, const void* source, size_t count) {
  unsigned char* out = static_cast<unsigned char*>(target);
  const unsigned char* in = static_cast<const unsigned char*>(source);
  if (out < in) {
    while (count-- > 0) *out++ = *in++;
  } else {
    while (count-- > 0) out[count] = in[count];
  }
  return target;
}

void* memset(void* target, int value, size_t count) {
  unsigned char* out = static_cast<unsigned char*>(target);
  while (count-- > 0) *out++ = static_cast<unsigned char>(value);
  return target;
}

int memcmp(const void* left, const void* right, size_t count) {
  const unsigned char* a = static_cast<const unsigned char*>(left);
  const unsigned char* b = static_cast<const unsigned char*>(right);
  for (; count > 0; --count, ++a, ++b) {
    if (*a != *b) return *a < *b ? -1 : 1;
  }
  return 0;
}

size_t strlen(const char* text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

// zlib's default allocator (zcalloc) is the only caller: the program's heap,
// null when a block cannot be had, as malloc reports it.
void* malloc(size_t bytes) { return TryAllocateBlock(bytes); }
void free(void* block) { FreeBlock(block); }

}  // extern "C"

// The object the nothrow allocation operators take (app/HeapOperators.cpp).
namespace std {
const nothrow_t nothrow{};
}  // namespace std
