// InstallerApp's checks of the system it runs on: version and architecture,
// another running copy, a file association, administrator rights, restart.
#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/OwnImage.h"
#include "setup/Privileges.h"
#include "setup/Processes.h"
#include "setup/Restart.h"
#include "setup/SystemGuards.h"
#include "setup/rules/Elevation.h"
#include "setup/rules/SystemSupport.h"

namespace {

// GetVersionExW takes the extended structure from Windows 2000 on; the plain
// one is the fallback where a system refuses the extended size.
static_assert(sizeof(OSVERSIONINFOEXW) == 284, "extended version structure");
static_assert(sizeof(OSVERSIONINFOW) == 276, "plain version structure");

typedef void(WINAPI* SystemInfoProc)(LPSYSTEM_INFO);
typedef BOOL(WINAPI* NativeMachineProc)(HANDLE process, USHORT* processMachine, USHORT* nativeMachine);

// The machine and architecture codes of ARM64, which GetNativeSystemInfo hides
// from an x86 program under x64 emulation (it reports x64 there).
constexpr USHORT kMachineArm64 = 0xAA64;
constexpr uint16_t kArchitectureArm64 = 12;

// The frame windows asked about before the search gives up.
constexpr int32_t kMaxFrameWindowsAsked = 64;

// Restart reason: planned, operating system, reconfiguration.
constexpr DWORD kRestartReason = 0x80020004;

}  // namespace

int InstallerApp::probeSystem(uint32_t procId, uint32_t libId) {
  processorArchitecture = 0xFFFF;
  versionCode = 0;
  is64BitSystem = 0;

  OSVERSIONINFOEXW version = {};
  version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
  OSVERSIONINFOW* plain = reinterpret_cast<OSVERSIONINFOW*>(&version);
  if (!GetVersionExW(plain)) {
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    if (!GetVersionExW(plain)) return 0;
  }
  versionCode = VersionCodeOf(version.dwMajorVersion, version.dwMinorVersion);

  // The native information where the system has the procedure: a 32-bit copy
  // on 64-bit Windows must learn that the system is 64-bit.
  SYSTEM_INFO info = {};
  HMODULE loaded = nullptr;
  FARPROC proc = getProcById(procId, libId, loaded);
  ModuleGuard library(loaded);  // freed on every path, when it was loaded
  if (proc != nullptr) {
    reinterpret_cast<SystemInfoProc>(reinterpret_cast<void (*)()>(proc))(&info);
  } else {
    GetSystemInfo(&info);
  }
  processorArchitecture = info.wProcessorArchitecture;
  // Windows 10 1709 and later name the real native machine.
  HMODULE machineLibrary = nullptr;
  FARPROC machineProc = getProcById(kNativeMachineProcId, libId, machineLibrary);
  ModuleGuard machineModule(machineLibrary);
  USHORT processMachine = 0, nativeMachine = 0;
  if (machineProc != nullptr &&
      reinterpret_cast<NativeMachineProc>(reinterpret_cast<void (*)()>(machineProc))(
          GetCurrentProcess(), &processMachine, &nativeMachine) &&
      nativeMachine == kMachineArm64) {
    processorArchitecture = kArchitectureArm64;
  }
  is64BitSystem = (processorArchitecture == kArchitectureX64 ||
                   processorArchitecture == kArchitectureIa64) ? 1 : 0;
  return 1;
}

int InstallerApp::isSupportedSystem() {
  // A system the payload carries no layout image for (IA-64) is refused here,
  // before the wizard, rather than at the end of an installation.
  return IsSupportedSystem(versionCode, processorArchitecture) && carriesLayoutImages() ? 1 : 0;
}

int InstallerApp::checkDesktopUser() {
  // From Vista on the desktop is not asked: UIPI already separates the wizard.
  const DesktopUser user =
      versionCode >= kFirstVersionWithUipi ? kDesktopUserUnknown : ThreadDesktopUser();
  return MayRunOnDesktop(versionCode, user);
}

int InstallerApp::activateRunningInstance() {
  // Without a class name FindWindowW would match nothing useful: go on.
  if (!loadText(kFrameClassNameId, lookupBuffer) || lookupBuffer.ToWide(-1) == nullptr ||
      lookupBuffer.IsEmpty()) {
    return 1;
  }
  // Any program can make a window of the frame's class: only one whose process
  // runs this very image file is another copy. The image is pinned here (and
  // kept for the paths), so the comparison is with the file that runs, not
  // with whatever now lies at its path.
  if (ownImage == nullptr) {
    WString ownPath;
    if (GetOwnImagePath(ownPath)) {
      ownImage = OpenOwnImage(ownPath.WideAt(0), GetModuleHandleW(nullptr));
    }
  }
  if (ownImage == nullptr) return 1;
  WString otherImage;
  HWND other = nullptr;
  // Every window of the class, not only the first: a stranger's must not hide
  // a real copy behind it. The count bounds a list that keeps changing.
  for (int32_t seen = 0; seen < kMaxFrameWindowsAsked; ++seen) {
    other = FindWindowExW(nullptr, other, lookupBuffer.WideAt(0), nullptr);
    if (other == nullptr) return 1;
    DWORD processId = 0;
    if (GetWindowThreadProcessId(other, &processId) == 0) continue;
    if (!GetProcessImagePath(processId, otherImage) ||
        !IsSameFileAsImage(ownImage, otherImage.WideAt(0))) {
      continue;
    }
    /* result ignored: the other copy is brought forward if the system lets it */
    SetForegroundWindow(other);
    return 0;
  }
  return 1;
}

int InstallerApp::checkAssociation(uint32_t typeId, uint32_t needleId) {
  WString type;
  if (!loadText(typeId, type) || type.ToWide(-1) == nullptr || type.IsEmpty()) return 0;
  // The user's own choice counts here: the answer is only reported.
  WString path;
  if (!FindUserAssociatedProgram(type.WideAt(0), path)) return 0;
  path.ToUpper();
  // A missing needle would match every path.
  if (!loadText(needleId, lookupBuffer) || lookupBuffer.ToWide(-1) == nullptr ||
      lookupBuffer.IsEmpty()) {
    return 0;
  }
  return path.FindWide(lookupBuffer.WideAt(0), 0, lookupBuffer.Length()) >= 0 ? 1 : 0;
}

int InstallerApp::checkAdministrator() { return IsProcessAdministrator(); }

int InstallerApp::relaunchElevated() {
  // The image is held open from the instance check on: the path names the very
  // file that runs, which nobody can change or replace meanwhile.
  WString ownPath;
  const int imageHeld = ownImage != nullptr && GetOwnImagePath(ownPath) &&
                        IsSameFileAsImage(ownImage, ownPath.WideAt(0));
  const int32_t elevationType = TokenElevationKind();
  if (NextElevationStep(versionCode, elevationType, imageHeld, kNotRelaunched) !=
      ElevationStep::Relaunch) {
    return 0;
  }
  const int relaunched = StartElevated(ownPath.WideAt(0));
  return NextElevationStep(versionCode, elevationType, imageHeld, relaunched) ==
                 ElevationStep::EndQuietly
             ? 1
             : 0;
}

int InstallerApp::restartSystem() {
  if (!EnableShutdownPrivilege()) return 0;
  // advapi32 is imported by the program, so asking for it loads nothing.
  return RequestRestart(GetModuleHandleW(L"advapi32.dll"), kRestartReason);
}
