// Stands in for the generated payload (kPayloadStore, PayloadKeyParameters),
// payload/KeyBlock.cpp and payload/ExtractStringTable.cpp: distinct stand-ins for
// the stored entries, so the double can tell which entry it was asked for.

#include "payload/KeyBlock.h"
#include "payload/PayloadStore.h"
#include "payload/StringTable.h"
#include "tests/app/doubles/CallScript.h"

namespace {

const uint8_t kStoredKey[8] = {1};
const uint8_t kStoredTables[4][8] = {{2}, {3}, {4}, {5}};

}  // namespace

const PayloadStore kPayloadStore = {
    {kStoredKey, sizeof kStoredKey},
    {{kStoredTables[0], 8}, {kStoredTables[1], 8}, {kStoredTables[2], 8}, {kStoredTables[3], 8}},
    {},
    {},
    {},
    {},
    {},
};

// Rebuild parameters no real block uses, so a test can see they were passed on.
KeyBlockParameters PayloadKeyParameters() { return {11, 12, 13, 14, 15, 16, 17, 18, 19, 20}; }

KeyBlock::~KeyBlock() {}

// The double never holds key bytes.
void KeyBlock::release() {}

int KeyBlock::loadFromImage(const uint8_t* stored, int32_t length) {
  Log(stored == kStoredKey && length == 8 ? "loadFromImage" : "loadFromImage ?");
  return Script().loadKeyBlockResult;
}

int ExtractStringTable(const KeyBlock& /*keyBlock*/, const uint8_t* stored, uint32_t length,
                       StringTable& table) {
  int entry = -1;
  for (int i = 0; i < 4; ++i) {
    if (stored == kStoredTables[i] && length == 8) entry = i;
  }
  Log("extract " + std::to_string(entry));
  if (entry < 0 || !Script().extractResult[entry]) return 0;
  if (Script().tables[entry].count == 0) return 1;
  return AttachImage(Script().tables[entry], table);
}

