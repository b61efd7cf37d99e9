// The per-user values that turn off the keyboard shortcuts switching input
// languages and layouts (Left Alt+Shift, Ctrl+Shift), which editors use.

#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/SystemGuards.h"

int InstallerApp::writeUserKeyValues() {
  const REGSAM access = KEY_READ | KEY_WRITE;
  // Windows makes this key for every profile; one that lacks it is damaged, and
  // the installation reports that its last step failed rather than repair it.
  // The user can make the key (or its parent) a link to a key only the
  // elevated program may write: a link counts as damage too, never followed.
  KeyGuard toggle(openKeyNoLink(HKEY_CURRENT_USER, kToggleKeyId, access));
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
