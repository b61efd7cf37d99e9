// The per-user values that turn off the keyboard shortcuts switching input
// languages and layouts (Left Alt+Shift, Ctrl+Shift), which editors use.

#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/SystemGuards.h"

int InstallerApp::writeUserKeyValues() {
  const REGSAM access = KEY_READ | KEY_WRITE;
  KeyGuard toggle(openKey(HKEY_CURRENT_USER, kToggleKeyId, access));
  // Windows makes this key for every profile; a damaged profile that lacks it
  // gets it here, rather than the whole installation reporting a failure for it.
  if (toggle.get() == nullptr) *toggle.out() = createKey(HKEY_CURRENT_USER, kToggleKeyId, access);
  if (toggle.get() == nullptr) return 0;
  // "3": no shortcut assigned.
  WString off;
  off.AssignWide(WTEXT("3"), 1);
  const uint32_t values[] = {kHotkeyValueId, kLanguageHotkeyValueId, kLayoutHotkeyValueId};
  for (uint32_t value : values) {
    if (!writeText(toggle.get(), value, off)) return 0;
  }
  return 1;
}
