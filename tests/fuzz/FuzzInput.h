// The fuzz input read front to back by the targets that build their data from
// it; past the end everything reads as zero.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

struct FuzzInput {
  const uint8_t* data;
  size_t size;
  uint32_t Byte() { return size > 0 ? (--size, *data++) : 0; }
  uint32_t Word() { return Byte() | Byte() << 8 | Byte() << 16 | Byte() << 24; }
  std::string Bytes(size_t n) {
    n = n < size ? n : size;
    std::string out(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
    return out;
  }
};
