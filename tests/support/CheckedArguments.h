// CheckedArguments: a typed argument list for the formatting engine that
// records what each conversion takes and notices any read past its end or of
// the wrong kind. Used by the format tests and the format fuzzer.
#pragma once

#include <stdint.h>

#include "text/FormatArguments.h"

class CheckedArguments : public FormatArguments {
 public:
  enum Kind : uint8_t { kInt32, kInt64, kDouble, kPointer };
  static constexpr int kCapacity = 32;

  void AddInt32(int32_t v) { Add(kInt32).i32 = v; }
  void AddInt64(int64_t v) { Add(kInt64).i64 = v; }
  void AddDouble(double v) { Add(kDouble).f64 = v; }
  void AddPointer(const void* v) { Add(kPointer).pointer = v; }

  int32_t NextInt32() override { return Take(kInt32).i32; }
  int64_t NextInt64() override { return Take(kInt64).i64; }
  double NextDouble() override { return Take(kDouble).f64; }
  const void* NextPointer() override { return Take(kPointer).pointer; }

  int count() const { return count_; }
  int taken() const { return taken_; }
  // A read past the end or of another kind than was added.
  bool misused() const { return misused_; }

 private:
  struct Slot {
    Kind kind;
    int32_t i32;
    int64_t i64;
    double f64;
    const void* pointer;
  };
  Slot& Add(Kind kind) {
    Slot& slot = slots_[count_ < kCapacity ? count_++ : kCapacity - 1];
    slot = Slot{kind, 0, 0, 0.0, nullptr};
    return slot;
  }
  const Slot& Take(Kind kind) {
    static const Slot kEmpty = {kInt32, 0, 0, 0.0, nullptr};
    if (taken_ >= count_ || slots_[taken_].kind != kind) {
      misused_ = true;
      return kEmpty;
    }
    return slots_[taken_++];
  }

  Slot slots_[kCapacity];
  int count_ = 0;
  int taken_ = 0;
  bool misused_ = false;
};
