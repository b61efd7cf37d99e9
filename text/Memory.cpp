// Heap blocks that end the program when memory runs out.
#include "text/Memory.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <stdlib.h>
#endif

namespace {

// On Windows the process heap itself: setup.exe links without the C runtime,
// and its malloc is this function (app/runtime/RuntimeFunctions.cpp).
void* RawAllocate(size_t bytes) {
#if defined(_WIN32)
  return HeapAlloc(GetProcessHeap(), 0, bytes);
#else
  return malloc(bytes);
#endif
}

}  // namespace

void* AllocateBlock(size_t bytes) {
  void* block = RawAllocate(bytes != 0 ? bytes : 1);
  if (block == nullptr) EndOnMemoryExhaustion();
  return block;
}

void* TryAllocateBlock(size_t bytes) { return RawAllocate(bytes != 0 ? bytes : 1); }

void FreeBlock(void* block) {
#if defined(_WIN32)
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block); /* result ignored: nothing to do about a failed free */
#else
  free(block);
#endif
}

void EndOnMemoryExhaustion() {
#if defined(_WIN32)
  // The setup program always exits with code 0; there is nothing left to report with.
  ExitProcess(0);
#else
  abort();
#endif
}
