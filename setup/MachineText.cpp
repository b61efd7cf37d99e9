// setMachineText: one text value under HKEY_LOCAL_MACHINE, key, name and data
// all given by string id. Alone in its file so tests can replace it.

#include <windows.h>

#include "app/InstallerApp.h"
#include "setup/SystemGuards.h"

int InstallerApp::setMachineText(uint32_t keyId, uint32_t valueId, uint32_t dataId) {
  // Set-value and create-sub-key rights only: the key is written, never read.
  KeyGuard key(openKey(HKEY_LOCAL_MACHINE, keyId, KEY_SET_VALUE | KEY_CREATE_SUB_KEY));
  if (key.get() == nullptr) return 0;
  return writeTextIds(key.get(), valueId, dataId);
}
