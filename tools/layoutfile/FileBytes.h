// FileBytes: little-endian reads from a file held in a string, and the range
// test every reader runs before them. 64-bit offsets, so no sum can wrap.
#pragma once

#include <stdint.h>

#include <string>

// True when `count` bytes at `offset` lie inside `size` bytes.
inline bool RangeFits(uint64_t size, uint64_t offset, uint64_t count) {
  return offset <= size && count <= size - offset;
}

// The reads below expect the caller to have checked the range.
inline uint8_t FileByte(const std::string& bytes, uint64_t at) {
  return static_cast<uint8_t>(bytes[static_cast<size_t>(at)]);
}

inline uint16_t File16(const std::string& bytes, uint64_t at) {
  return static_cast<uint16_t>(FileByte(bytes, at) | FileByte(bytes, at + 1) << 8);
}

inline uint32_t File32(const std::string& bytes, uint64_t at) {
  return static_cast<uint32_t>(File16(bytes, at)) | static_cast<uint32_t>(File16(bytes, at + 2)) << 16;
}

inline uint64_t File64(const std::string& bytes, uint64_t at) {
  return static_cast<uint64_t>(File32(bytes, at)) | static_cast<uint64_t>(File32(bytes, at + 4)) << 32;
}

// "0x0000ABCD": RVAs and values in messages.
std::string Hex32(uint64_t value);
