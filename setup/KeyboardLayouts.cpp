// The name of the user's active keyboard layout.

#include "setup/KeyboardLayouts.h"

#include <windows.h>

#include "setup/SystemErrors.h"

int ActiveKeyboardLayoutName(WString& out) {
  out.AssignWide(WTEXT(""), 0);
  WChar name[KL_NAMELENGTH + 1] = {};
  if (!GetKeyboardLayoutNameW(name)) {
    ReportLastError("GetKeyboardLayoutNameW", nullptr);
    return 0;
  }
  name[KL_NAMELENGTH] = 0;
  return out.AssignWide(name, -1);
}
