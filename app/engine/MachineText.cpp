// setMachineText: one text value under HKEY_LOCAL_MACHINE, key, name and data
// all given by string id. Alone in its file so tests can replace it.

#include <windows.h>

#include "app/InstallerApp.h"
#include "setup/SystemFolders.h"
#include "setup/SystemGuards.h"
#include "text/Format.h"

int InstallerApp::setMachineText(uint32_t keyId, uint32_t valueId, uint32_t dataId) {
  WString format;
  if (!loadText(dataId, format)) return 0;
  // The data may name a system program: its folder is filled in now, so the
  // value never depends on a search path (REG_SZ is not expanded either).
  WString folder;
  WString data;
  if (!GetSystemFolder(folder) || !Format(&data, format.ToWide(-1), folder.WideAt(0))) return 0;
  // Set-value and create-sub-key rights only: the key is written, never read.
  KeyGuard key(openKey(HKEY_LOCAL_MACHINE, keyId, KEY_SET_VALUE | KEY_CREATE_SUB_KEY));
  if (key.get() == nullptr) return 0;
  return writeText(key.get(), valueId, data);
}
