// SystemGuards: one owner for each kind of thing a Windows call hands out
// (registry keys, kernel handles, modules, local and heap blocks, SIDs, COM
// interfaces), closed on every path. get() reads, release() hands it on,
// out() is where a creating call stores it.
#pragma once

#include <windows.h>

#include "text/Memory.h"

// The owner of one resource described by `Traits`: its type, its empty value,
// whether a value is held and how it is closed.
template <typename Traits>
class SystemGuard {
 public:
  typedef typename Traits::Resource Resource;

  SystemGuard() : resource(Traits::Empty()) {}
  explicit SystemGuard(Resource held) : resource(held) {}
  ~SystemGuard() { reset(); }
  SystemGuard(const SystemGuard&) = delete;
  SystemGuard& operator=(const SystemGuard&) = delete;

  Resource get() const { return resource; }
  // The resource, now the caller's to close; the guard is left empty.
  Resource release() {
    Resource held = resource;
    resource = Traits::Empty();
    return held;
  }
  // Closes what is held and gives the slot a creating call fills.
  Resource* out() {
    reset();
    return &resource;
  }
  void reset() {
    if (Traits::IsHeld(resource)) Traits::Close(resource);
    resource = Traits::Empty();
  }

 private:
  Resource resource;
};

struct RegistryKeyTraits {
  typedef HKEY Resource;
  static HKEY Empty() { return nullptr; }
  static bool IsHeld(HKEY key) { return key != nullptr; }
  static void Close(HKEY key) { /* result ignored: nothing to do about a failed close */ RegCloseKey(key); }
};

// Kernel handles: CreateFileW's INVALID_HANDLE_VALUE is as empty as null.
struct KernelHandleTraits {
  typedef HANDLE Resource;
  static HANDLE Empty() { return nullptr; }
  static bool IsHeld(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { /* result ignored: nothing to do about it */ CloseHandle(handle); }
};

struct ModuleTraits {
  typedef HMODULE Resource;
  static HMODULE Empty() { return nullptr; }
  static bool IsHeld(HMODULE module) { return module != nullptr; }
  static void Close(HMODULE module) { /* result ignored: nothing to do about it */ FreeLibrary(module); }
};

// Blocks the system allocates for the caller with LocalAlloc (security
// descriptors, argument arrays).
struct LocalBlockTraits {
  typedef HLOCAL Resource;
  static HLOCAL Empty() { return nullptr; }
  static bool IsHeld(HLOCAL block) { return block != nullptr; }
  static void Close(HLOCAL block) { /* result ignored: LocalFree has nothing to report */ LocalFree(block); }
};

struct SidTraits {
  typedef PSID Resource;
  static PSID Empty() { return nullptr; }
  static bool IsHeld(PSID sid) { return sid != nullptr; }
  static void Close(PSID sid) { /* result ignored: FreeSid gives back the block */ FreeSid(sid); }
};

// Blocks of AllocateBlock and TryAllocateBlock.
struct HeapBlockTraits {
  typedef void* Resource;
  static void* Empty() { return nullptr; }
  static bool IsHeld(void* block) { return block != nullptr; }
  static void Close(void* block) { FreeBlock(block); }
};

typedef SystemGuard<RegistryKeyTraits> KeyGuard;
typedef SystemGuard<KernelHandleTraits> HandleGuard;
typedef SystemGuard<ModuleTraits> ModuleGuard;
typedef SystemGuard<LocalBlockTraits> LocalGuard;
typedef SystemGuard<SidTraits> SidGuard;
typedef SystemGuard<HeapBlockTraits> BlockGuard;

// One COM interface pointer, released when the guard goes.
template <typename Interface>
class ComGuard {
 public:
  ComGuard() : pointer(nullptr) {}
  ~ComGuard() {
    if (pointer != nullptr) pointer->Release();
  }
  ComGuard(const ComGuard&) = delete;
  ComGuard& operator=(const ComGuard&) = delete;
  Interface* operator->() const { return pointer; }
  Interface* get() const { return pointer; }
  // Where a creating call stores the pointer; only on an empty guard.
  void** out() { return reinterpret_cast<void**>(&pointer); }

 private:
  Interface* pointer;
};
