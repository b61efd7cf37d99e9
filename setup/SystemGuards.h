// SystemGuards: owners for what a system primitive opens inside one function
// (registry keys, kernel handles, heap blocks, COM interfaces), closed on every path.
#pragma once

#include <windows.h>

#include "text/Memory.h"

// A registry key closed when the guard goes; release() hands it on.
class KeyGuard {
 public:
  explicit KeyGuard(HKEY key) : key_(key) {}
  ~KeyGuard() {
    if (key_ != nullptr) /* result ignored: nothing to do about a failed close */ RegCloseKey(key_);
  }
  KeyGuard(const KeyGuard&) = delete;
  KeyGuard& operator=(const KeyGuard&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_;
};

// A kernel handle (null or INVALID_HANDLE_VALUE mean none) closed when the guard goes.
class HandleGuard {
 public:
  explicit HandleGuard(HANDLE handle) : handle_(handle) {}
  ~HandleGuard() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HandleGuard(const HandleGuard&) = delete;
  HandleGuard& operator=(const HandleGuard&) = delete;
  HANDLE get() const { return handle_; }
  HANDLE release() {
    HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  HANDLE handle_;
};

// A heap block (AllocateBlock/TryAllocateBlock) freed unless released to a caller.
class BlockGuard {
 public:
  explicit BlockGuard(void* block) : block_(block) {}
  ~BlockGuard() { FreeBlock(block_); }
  BlockGuard(const BlockGuard&) = delete;
  BlockGuard& operator=(const BlockGuard&) = delete;
  void* get() const { return block_; }
  void* release() {
    void* block = block_;
    block_ = nullptr;
    return block;
  }

 private:
  void* block_;
};

// One COM interface pointer, released when the guard goes.
template <typename Interface>
class ComGuard {
 public:
  ComGuard() : pointer_(nullptr) {}
  ~ComGuard() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  ComGuard(const ComGuard&) = delete;
  ComGuard& operator=(const ComGuard&) = delete;
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }
  // Where a creating call stores the pointer; only on an empty guard.
  void** out() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_;
};
