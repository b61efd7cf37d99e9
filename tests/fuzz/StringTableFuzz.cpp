// libFuzzer target: random string-table entries. Every id the index names and
// a few it does not are looked up, and each record found is loaded as text.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <initializer_list>

#include "payload/StringTable.h"
#include "text/Memory.h"
#include "text/WString.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 65536) return 0;
  int32_t count = data[0] | (data[1] << 8);
  uint8_t* entry = static_cast<uint8_t*>(AllocateBlock(size - 2));
  memcpy(entry, data + 2, size - 2);
  StringTable table;
  if (!table.attach(entry, count, static_cast<uint32_t>(size - 2))) {
    FreeBlock(entry);
    return 0;
  }
  WString text;
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* index = entry + 8 * static_cast<size_t>(i);
    uint32_t id = index[0] | index[1] << 8 | index[2] << 16 | static_cast<uint32_t>(index[3]) << 24;
    for (uint32_t probe : {id, id + 1, id - 1}) {
      const uint8_t* record = table.find(probe);
      if (record != nullptr && text.AssignRecord(record)) text.ToWide(-1);
    }
  }
  return 0;
}
