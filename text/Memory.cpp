// Heap blocks that end the program when memory runs out.
#include "text/Memory.h"

#include <stdlib.h>

#if defined(_WIN32)
#include <windows.h>
#endif

void* AllocateBlock(size_t bytes) {
  void* block = malloc(bytes != 0 ? bytes : 1);
  if (block == nullptr) EndOnMemoryExhaustion();
  return block;
}

void* TryAllocateBlock(size_t bytes) { return malloc(bytes != 0 ? bytes : 1); }

void FreeBlock(void* block) { free(block); }

void EndOnMemoryExhaustion() {
#if defined(_WIN32)
  // The setup program always exits with code 0; there is nothing left to report with.
  ExitProcess(0);
#else
  abort();
#endif
}
