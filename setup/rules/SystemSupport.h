// Which Windows systems the installer serves, and which layout-library images
// each of them needs: pure decisions on the version code and the architecture.
#pragma once

#include <stdint.h>

#include "setup/rules/WindowsVersions.h"

// Native processor architectures (wProcessorArchitecture).
constexpr uint16_t kArchitectureX86 = 0;
constexpr uint16_t kArchitectureIa64 = 6;
constexpr uint16_t kArchitectureX64 = 9;

// An image slot that is not needed (no 64-bit image on 32-bit Windows).
constexpr int32_t kNoImageSlot = -1;
// The slot of the WOW64 image: the 32-bit library for the 32-bit system folder
// of 64-bit Windows, whose tables have the x64 field layout.
constexpr int32_t kWow64ImageSlot = 13;
// Image slots per layout variant in the payload's image table: 0-12 by version
// and architecture, then the WOW64 slot.
constexpr int32_t kImageSlotsPerVariant = 14;

// major * 10 + minor, the form every decision here takes; 0 when the numbers
// cannot form a code (a minor version above 9, or a code beyond 32-bit range).
int32_t VersionCodeOf(uint32_t major, uint32_t minor);

// 1 when the installer supports Windows `versionCode` on `architecture`:
// 2000 and XP (50, 51) on x86 only; 52 to 61 on x86, IA-64 and x64; 62
// (Windows 8 and every later version, which report 6.2) on x86 and x64.
int IsSupportedSystem(int32_t versionCode, uint16_t architecture);

// The image slots a system needs: *slot32 always (the version's 32-bit slot on
// 32-bit Windows, kWow64ImageSlot on 64-bit Windows), *slot64 on 64-bit Windows
// (kNoImageSlot otherwise). 1 = chosen; 0 = no images for this system (both
// outputs kNoImageSlot).
int ChooseLayoutImageSlots(int32_t versionCode, uint16_t architecture, int32_t* slot32,
                           int32_t* slot64);

// The first version with UIPI (Vista, 60): from there on a process of lower
// integrity cannot send input to the elevated wizard, whoever owns the desktop.
constexpr int32_t kFirstVersionWithUipi = kWindowsVista;

// What the thread's desktop says of its user, against the process token.
enum DesktopUser : int32_t {
  kDesktopUserUnknown = 0,  // the desktop names no user (or the query is not served)
  kDesktopUserOurs = 1,     // the token's user or its logon session
  kDesktopUserOther = 2,    // someone else's desktop ("Run as" from another account)
};

// 1 when the wizard may run on a desktop of `user` on Windows `versionCode`:
// before UIPI every program on the desktop can press the wizard's buttons, so
// another user's desktop is refused (0). A desktop that names no user is not
// refused: it gives no other user to refuse, and Windows names the user of
// every interactive desktop.
int MayRunOnDesktop(int32_t versionCode, DesktopUser user);
