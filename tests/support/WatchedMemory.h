// The watched heap: a stand-in for text/Memory.cpp that a test program links in
// its place. Same blocks and the same contract, plus a look at each block's
// bytes just before it is freed and a way to refuse the next fallible allocation.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Called by FreeBlock with a block's bytes and its requested size, before the
// block goes back to the heap.
using FreeWatcher = void (*)(const uint8_t* bytes, size_t size, void* context);

// Installs `watcher` (null: none) for the frees that follow.
void WatchFrees(FreeWatcher watcher, void* context);
// The next TryAllocateBlock returns null, as when memory runs out.
void RefuseNextTryAllocation();
