// Heap blocks for the text and payload code. Running out of memory ends the
// program in one place instead of every caller checking for null.
// Replaceable at link time: a test program that defines these four functions
// itself (the payload tests' watched heap, which looks at each block as it is
// freed) uses its own, and the program pays nothing for it.
#pragma once

#include <stddef.h>

// Returns a block of `bytes` bytes (at least 1); never returns null.
void* AllocateBlock(size_t bytes);
// A block of `bytes` bytes, or null when it cannot be had: for sizes that come
// from data (a damaged entry may claim gigabytes), where failing is the answer.
void* TryAllocateBlock(size_t bytes);
// Frees a block from AllocateBlock or TryAllocateBlock; null is allowed.
void FreeBlock(void* block);
// Ends the program: the one reaction to memory exhaustion.
[[noreturn]] void EndOnMemoryExhaustion();
