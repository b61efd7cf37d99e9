// The watched heap, standing in for text/Memory.cpp (which the payload tests
// leave out). Each block carries its size in a header in front of it, so that
// FreeBlock can show the watcher the bytes the caller used.
#include "tests/support/WatchedMemory.h"

#include <stdlib.h>

#include "text/Memory.h"

namespace {

// A header of the strictest alignment keeps the caller's block aligned as malloc's.
constexpr size_t kHeader =
    alignof(max_align_t) > sizeof(size_t) ? alignof(max_align_t) : sizeof(size_t);

FreeWatcher g_watcher = nullptr;
void* g_context = nullptr;
bool g_refuseNext = false;

void* Allocate(size_t bytes) {
  if (bytes > SIZE_MAX - kHeader) return nullptr;
  uint8_t* block = static_cast<uint8_t*>(malloc(kHeader + (bytes != 0 ? bytes : 1)));
  if (block == nullptr) return nullptr;
  *reinterpret_cast<size_t*>(block) = bytes;
  return block + kHeader;
}

}  // namespace

void WatchFrees(FreeWatcher watcher, void* context) {
  g_watcher = watcher;
  g_context = context;
}

void RefuseNextTryAllocation() { g_refuseNext = true; }

void* AllocateBlock(size_t bytes) {
  void* block = Allocate(bytes);
  if (block == nullptr) EndOnMemoryExhaustion();
  return block;
}

void* TryAllocateBlock(size_t bytes) {
  if (g_refuseNext) {
    g_refuseNext = false;
    return nullptr;
  }
  return Allocate(bytes);
}

void FreeBlock(void* block) {
  if (block == nullptr) return;
  uint8_t* start = static_cast<uint8_t*>(block) - kHeader;
  if (g_watcher != nullptr) {
    g_watcher(static_cast<uint8_t*>(block), *reinterpret_cast<size_t*>(start), g_context);
  }
  free(start);
}

void EndOnMemoryExhaustion() { abort(); }
