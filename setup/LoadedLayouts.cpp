// LoadedKeyboardLayouts: the user's loaded keyboard layouts. Alone in its file:
// a test program that defines the function itself replaces the system's list.

#include <windows.h>

#include "setup/KeyboardLayouts.h"
#include "setup/SystemErrors.h"
#include "setup/SystemGuards.h"
#include "text/Memory.h"

namespace {

// Far more than any user loads; a larger count is not trusted.
constexpr int kMaxLayouts = 4096;

}  // namespace

uint32_t* LoadedKeyboardLayouts(int32_t& count) {
  count = 0;
  const int needed = GetKeyboardLayoutList(0, nullptr);
  if (needed == 0) ReportLastError("GetKeyboardLayoutList", nullptr);
  if (needed <= 0 || needed > kMaxLayouts) return nullptr;
  BlockGuard handles(AllocateBlock(static_cast<size_t>(needed) * sizeof(HKL)));
  HKL* list = static_cast<HKL*>(handles.get());
  // The list may have changed in between: only what this call filled counts.
  const int filled = GetKeyboardLayoutList(needed, list);
  if (filled == 0) ReportLastError("GetKeyboardLayoutList", nullptr);
  if (filled <= 0) return nullptr;
  uint32_t* values = static_cast<uint32_t*>(AllocateBlock(static_cast<size_t>(filled) * 4));
  for (int i = 0; i < filled; ++i) {
    values[i] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(list[i]));
  }
  count = filled;
  return values;
}
