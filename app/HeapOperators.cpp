// The C++ allocation operators of the Windows program, on the program's own heap
// blocks. The runtime's operators report failure by throwing, and with them came
// the whole exception runtime and its error printing, which a program built
// without exceptions never uses, along with the C runtime imports they need.
#include <new>

#include "text/Memory.h"

// Never null: running out of memory ends the program (EndOnMemoryExhaustion).
void* operator new(size_t bytes) { return AllocateBlock(bytes); }

// Null when the block cannot be had.
void* operator new(size_t bytes, const std::nothrow_t&) noexcept { return TryAllocateBlock(bytes); }

void operator delete(void* block) noexcept { FreeBlock(block); }

void operator delete(void* block, size_t) noexcept { FreeBlock(block); }
