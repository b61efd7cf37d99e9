// Support matrix and layout-image slots by Windows version and architecture.
// One table serves both, so a supported system always has its images.
#include "setup/rules/SystemSupport.h"

#include "setup/rules/WindowsVersions.h"

namespace {

// One supported version: its image slot for 32-bit Windows and the 64-bit slot
// for IA-64 and for x64 (kNoImageSlot where that architecture is not served).
// 64-bit Windows of every version takes the WOW64 image for its 32-bit folder.
struct VersionImages {
  int32_t versionCode;
  int32_t slot32;
  int32_t slotIa64;
  int32_t slotX64;
  int x86Only;  // 2000 and XP: 64-bit editions of these report 5.2
};

const VersionImages kVersionImages[] = {
    {kWindows2000, 0, kNoImageSlot, kNoImageSlot, 1},
    {kWindowsXp, 1, kNoImageSlot, kNoImageSlot, 1},
    {kWindowsServer2003, 2, 3, 4, 0},
    {kWindowsVista, 5, 6, 7, 0},
    {kWindows7, 8, 9, 10, 0},
    // Windows 8 had no IA-64 edition: there is no image for it.
    {kWindows8, 11, kNoImageSlot, 12, 0},
};

const VersionImages* FindVersion(int32_t versionCode) {
  for (const VersionImages& row : kVersionImages) {
    if (row.versionCode == versionCode) return &row;
  }
  return nullptr;
}

}  // namespace

int32_t VersionCodeOf(uint32_t major, uint32_t minor) {
  if (minor > 9 || major > 0x7FFFFFFFu / 10 - 1) return 0;
  return static_cast<int32_t>(major * 10 + minor);
}

int IsSupportedSystem(int32_t versionCode, uint16_t architecture) {
  int32_t slot32 = kNoImageSlot;
  int32_t slot64 = kNoImageSlot;
  if (!ChooseLayoutImageSlots(versionCode, architecture, &slot32, &slot64)) return 0;
  const VersionImages* row = FindVersion(versionCode);
  return row->x86Only && architecture != kArchitectureX86 ? 0 : 1;
}

int ChooseLayoutImageSlots(int32_t versionCode, uint16_t architecture, int32_t* slot32,
                           int32_t* slot64) {
  *slot32 = kNoImageSlot;
  *slot64 = kNoImageSlot;
  const VersionImages* row = FindVersion(versionCode);
  if (row == nullptr) return 0;
  int32_t wide = kNoImageSlot;
  if (architecture == kArchitectureIa64) {
    wide = row->slotIa64;
  } else if (architecture == kArchitectureX64) {
    wide = row->slotX64;
  } else if (architecture != kArchitectureX86) {
    return 0;
  }
  // 2000 and XP keep their one 32-bit image whatever the architecture says.
  if (architecture != kArchitectureX86 && wide == kNoImageSlot && !row->x86Only) return 0;
  // A 32-bit program on 64-bit Windows reads the 32-bit copy as 64-bit tables.
  const bool wow64 = architecture != kArchitectureX86 && !row->x86Only;
  *slot32 = wow64 ? kWow64ImageSlot : row->slot32;
  *slot64 = wow64 ? wide : kNoImageSlot;
  return 1;
}

int MayRunOnDesktop(int32_t versionCode, DesktopUser user) {
  if (versionCode >= kFirstVersionWithUipi) return 1;
  return user == kDesktopUserOther ? 0 : 1;
}
