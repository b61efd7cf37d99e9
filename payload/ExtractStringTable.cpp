// ExtractStringTable: one string-table entry of the payload into a table. Kept
// in a file of its own so that the application's tests can link a double instead.
#include "payload/KeyBlock.h"
#include "payload/StringTable.h"
#include "text/Memory.h"

int ExtractStringTable(const KeyBlock& keyBlock, const uint8_t* stored, uint32_t length,
                       StringTable& table) {
  uint32_t plainLength = length;
  uint32_t count = 0;
  uint8_t* plain = keyBlock.extractEntry(stored, &plainLength, &count);
  if (plain == nullptr) return 0;
  if (count > INT32_MAX || !table.attach(plain, static_cast<int32_t>(count), plainLength)) {
    FreeBlock(plain);
    return 0;
  }
  return 1;
}
