// FileBytes: the hex form of numbers in the reader's messages.
#include "tools/layoutfile/FileBytes.h"

#include <stdio.h>

std::string Hex32(uint64_t value) {
  char text[24];
  snprintf(text, sizeof text, value > 0xFFFFFFFFu ? "0x%016llX" : "0x%08llX", static_cast<unsigned long long>(value));
  return text;
}
