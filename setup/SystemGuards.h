// SystemGuards: one owner for each kind of thing a Windows call hands out
// (registry keys, kernel handles, modules, local and heap blocks, SIDs, COM
// interfaces), closed on every path. get() reads, release() hands it on,
// out() is where a creating call stores it.
#pragma once

#include <windows.h>

#include "text/Memory.h"

// The owner of one resource: null is empty, and `Close` is how it goes.
template <typename Resource, void (*Close)(Resource)>
class SystemGuard {
 public:
  SystemGuard() : resource(nullptr) {}
  explicit SystemGuard(Resource held) : resource(held) {}
  ~SystemGuard() { reset(); }
  SystemGuard(const SystemGuard&) = delete;
  SystemGuard& operator=(const SystemGuard&) = delete;

  Resource get() const { return resource; }
  // The resource, now the caller's to close; the guard is left empty.
  Resource release() {
    Resource held = resource;
    resource = nullptr;
    return held;
  }
  // Closes what is held and gives the slot a creating call fills.
  Resource* out() {
    reset();
    return &resource;
  }
  void reset() {
    if (resource != nullptr) Close(resource);
    resource = nullptr;
  }

 private:
  Resource resource;
};

// How each kind goes. A close that fails leaves nothing to do, so every result
// is ignored here.
inline void CloseRegistryKey(HKEY key) { /* result ignored: see above */ RegCloseKey(key); }
// CreateFileW's INVALID_HANDLE_VALUE holds nothing either.
inline void CloseKernelHandle(HANDLE handle) {
  if (handle != INVALID_HANDLE_VALUE) /* result ignored: see above */ CloseHandle(handle);
}
inline void ReleaseModule(HMODULE module) { /* result ignored: see above */ FreeLibrary(module); }
// Blocks the system allocates for the caller (security descriptors, arrays).
inline void FreeLocalBlock(HLOCAL block) { /* result ignored: see above */ LocalFree(block); }
inline void FreeSecurityId(PSID sid) { /* result ignored: see above */ FreeSid(sid); }

typedef SystemGuard<HKEY, CloseRegistryKey> KeyGuard;
typedef SystemGuard<HANDLE, CloseKernelHandle> HandleGuard;
typedef SystemGuard<HMODULE, ReleaseModule> ModuleGuard;
typedef SystemGuard<HLOCAL, FreeLocalBlock> LocalGuard;
typedef SystemGuard<PSID, FreeSecurityId> SidGuard;
// Blocks of AllocateBlock and TryAllocateBlock.
typedef SystemGuard<void*, FreeBlock> BlockGuard;

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
