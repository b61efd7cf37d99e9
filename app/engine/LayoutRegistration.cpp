// The system's registry entry of the layout: made by the install, deleted by the
// last removal. Both work in the native registry view, where Windows reads it.

#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/Registry.h"
#include "setup/SystemGuards.h"

namespace {

typedef LONG(WINAPI* DeleteKeyInView)(HKEY parent, LPCWSTR name, REGSAM view, DWORD reserved);

}  // namespace

int InstallerApp::registerLayoutEntry() {
  const REGSAM access = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | (is64BitSystem ? KEY_WOW64_64KEY : 0);
  // The layout list is the system's own: a system without it is not made whole here.
  KeyGuard layouts(openKey(HKEY_LOCAL_MACHINE, kLayoutListKeyId, access));
  if (layouts.get() == nullptr) return 0;
  KeyGuard entry(createKey(layouts.get(), kLayoutKeyNameId, access));
  if (entry.get() == nullptr) return 0;
  const uint32_t values[][2] = {{kLayoutTextValueId, kLayoutDisplayNameId},
                                {kLayoutIdValueId, kLayoutIdId},
                                {kLayoutComponentValueId, kLayoutComponentId},
                                {kLayoutFileValueId, kLayoutFileNameId}};
  for (const auto& value : values) {
    if (!writeTextIds(entry.get(), value[0], value[1])) return 0;
  }
  // Vista and later name the layout from the library's own string table, in the
  // user's language; earlier systems ignore the value and show Layout Text.
  return writeTextIds(entry.get(), kLayoutDisplayNameValueId, kLayoutDisplayNameSourceId,
                      REG_EXPAND_SZ);
}

int InstallerApp::unregisterLayoutEntry() {
  const REGSAM access = KEY_WRITE | (is64BitSystem ? KEY_WOW64_64KEY : 0);
  KeyGuard layouts(openKey(HKEY_LOCAL_MACHINE, kLayoutListKeyId, access));
  if (layouts.get() == nullptr) return 0;
  {
    KeyGuard entry(openKey(layouts.get(), kLayoutKeyNameId, access));
    if (entry.get() == nullptr) return 0;
    const uint32_t values[] = {kLayoutTextValueId, kLayoutIdValueId, kLayoutComponentValueId,
                               kLayoutFileValueId, kLayoutDisplayNameValueId};
    for (uint32_t value : values) deleteValue(entry.get(), value);
  }
  // Its own copy: looking the procedure up replaces lookupBuffer.
  WString name;
  if (!loadText(kLayoutKeyNameId, name) || name.ToWide(-1) == nullptr) return 1;
  LONG deleted = ERROR_INVALID_FUNCTION;
  HMODULE loaded = nullptr;
  if (is64BitSystem) {
    // RegDeleteKeyW works in the calling process's view: on 64-bit Windows the
    // native one is named explicitly (the call is missing before XP x64).
    FARPROC proc = getProcById(kDeleteKeyExProcId, kRegistryLibraryId, loaded);
    if (proc != nullptr) {
      deleted = reinterpret_cast<DeleteKeyInView>(reinterpret_cast<void (*)()>(proc))(
          layouts.get(), name.WideAt(0), KEY_WOW64_64KEY, 0);
    }
  }
  ModuleGuard library(loaded);
  if (deleted != ERROR_SUCCESS) {
    /* result ignored: an entry that cannot go is left, as a removal never fails here */
    DeleteRegistrySubKey(layouts.get(), name.WideAt(0));
  }
  return 1;
}
