// Writing the system's scan-code map from the key table's mapping targets;
// an existing map is replaced, even by an empty one, so old remappings end.

#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/SystemGuards.h"
#include "setup/rules/ScancodeMap.h"
#include "text/Memory.h"

int InstallerApp::writeScancodeMap() {
  if (keyTable == nullptr) return 0;
  // Nothing remapped and no map to clear: the system is left as it is.
  if (CountRemappedKeys(keyTable, keyCount) == 0 && scancodeMapPresent == 0) return 1;
  uint32_t size = 0;
  BlockGuard block(BuildScancodeMap(keyTable, keyCount, size));
  KeyGuard key(openKey(HKEY_LOCAL_MACHINE, kScancodeMapKeyId, KEY_WRITE));
  if (key.get() == nullptr) return 0;
  return writeBinary(key.get(), kScancodeMapValueId, static_cast<const uint8_t*>(block.get()), size)
             ? 1
             : 0;
}
