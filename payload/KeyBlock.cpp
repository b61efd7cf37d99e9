// KeyBlock: construction, the key window and the wiping release. loadFromImage
// is alone in KeyBlockLoad.cpp, so that the application's tests can link a double.

#include "payload/KeyBlock.h"

#include "text/Memory.h"

void WipeBytes(void* bytes, size_t count) {
  volatile uint8_t* p = static_cast<volatile uint8_t*>(bytes);
  for (size_t i = 0; i < count; ++i) p[i] = 0;
}

KeyBlock::KeyBlock(const KeyBlockParameters& parameters)
    : data(nullptr),
      size(kKeyBlockSize),
      keyOffset(parameters.keyOffset),
      keyLength(kKeyLength),
      moveASource(parameters.moveASource),
      moveADestination(parameters.moveADestination),
      moveACount(parameters.moveACount),
      moveBSource(parameters.moveBSource),
      moveBDestination(parameters.moveBDestination),
      moveBCount(parameters.moveBCount),
      maskPosition(parameters.maskPosition),
      maskStart(parameters.maskStart),
      maskCount(parameters.maskCount) {}

KeyBlock::~KeyBlock() { release(); }

void KeyBlock::release() {
  if (data == nullptr) return;
  WipeBytes(data, static_cast<size_t>(size));
  FreeBlock(data);
  data = nullptr;
}

const uint8_t* KeyBlock::key() const {
  if (data == nullptr || keyOffset < 0 || keyLength < 0) return nullptr;
  // Compare in 64 bits so that no offset and length can wrap past the check.
  if (static_cast<int64_t>(keyOffset) + keyLength > size) return nullptr;
  return data + keyOffset;
}
