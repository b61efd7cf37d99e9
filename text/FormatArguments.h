// FormatArguments: where the formatting engine takes its arguments from. The
// program formats from a va_list; tests and fuzzers pass checked arrays.
#pragma once

#include <stdarg.h>
#include <stdint.h>

class FormatArguments {
 public:
  virtual ~FormatArguments() {}
  // ---- Overridables: each takes the next argument of its kind ----
  virtual int32_t NextInt32() = 0;
  virtual int64_t NextInt64() = 0;
  virtual double NextDouble() = 0;
  virtual const void* NextPointer() = 0;
};

// The arguments of a variadic call. Takes its own copy of the list.
class VaListArguments : public FormatArguments {
 public:
  explicit VaListArguments(va_list arguments) { va_copy(list, arguments); }
  ~VaListArguments() override { va_end(list); }
  VaListArguments(const VaListArguments&) = delete;
  VaListArguments& operator=(const VaListArguments&) = delete;

  int32_t NextInt32() override { return va_arg(list, int32_t); }
  int64_t NextInt64() override { return va_arg(list, int64_t); }
  double NextDouble() override { return va_arg(list, double); }
  const void* NextPointer() override { return va_arg(list, const void*); }

 private:
  va_list list;
};
