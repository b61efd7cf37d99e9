// InstallerApp's checks of the system it runs on: version and architecture,
// another running copy, a file association, administrator rights, restart.
#include <windows.h>
#include <shlwapi.h>

#include "app/InstallerApp.h"
#include "app/RestartRequest.h"
#include "app/ShutdownPrivilege.h"
#include "payload/StringIds.h"
#include "setup/rules/SystemSupport.h"

namespace {

// GetVersionExW takes the extended structure from Windows 2000 on; the plain
// one is the fallback where a system refuses the extended size.
static_assert(sizeof(OSVERSIONINFOEXW) == 284, "extended version structure");
static_assert(sizeof(OSVERSIONINFOW) == 276, "plain version structure");

typedef void(WINAPI* SystemInfoProc)(LPSYSTEM_INFO);

// The longest executable path AssocQueryStringW may ask room for; a larger
// request is refused rather than trusted.
constexpr DWORD kMaxAssociationChars = 32768;
constexpr DWORD kFirstAssociationChars = 2048;

// Restart reason: planned, operating system, reconfiguration.
constexpr DWORD kRestartReason = 0x80020004;

// Frees a module that getProcById loaded, on every path.
class ModuleHandle {
 public:
  ModuleHandle() : module(nullptr) {}
  ~ModuleHandle() {
    if (module != nullptr) /* ok = */ FreeLibrary(module);
  }
  ModuleHandle(const ModuleHandle&) = delete;
  ModuleHandle& operator=(const ModuleHandle&) = delete;
  HMODULE module;
};

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
  ModuleHandle library;
  FARPROC proc = getProcById(procId, libId, &library.module);
  if (proc != nullptr) {
    reinterpret_cast<SystemInfoProc>(reinterpret_cast<void (*)()>(proc))(&info);
  } else {
    GetSystemInfo(&info);
  }
  processorArchitecture = info.wProcessorArchitecture;
  is64BitSystem = (processorArchitecture == kArchitectureX64 ||
                   processorArchitecture == kArchitectureIa64) ? 1 : 0;
  return 1;
}

int InstallerApp::isSupportedSystem() {
  return IsSupportedSystem(versionCode, processorArchitecture);
}

int InstallerApp::activateRunningInstance() {
  // Without a class name FindWindowW would match nothing useful: go on.
  if (!loadText(kFrameClassNameId, lookupBuffer) || lookupBuffer.ToWide(-1) == nullptr ||
      lookupBuffer.IsEmpty()) {
    return 1;
  }
  HWND other = FindWindowW(lookupBuffer.WideAt(0), nullptr);
  if (other == nullptr) return 1;
  /* shown = */ SetForegroundWindow(other);
  return 0;
}

int InstallerApp::checkAssociation(uint32_t typeId, uint32_t needleId) {
  WString type;
  if (!loadText(typeId, type) || type.ToWide(-1) == nullptr || type.IsEmpty()) return 0;

  WString path;
  WChar* buffer = path.ReserveWide(kFirstAssociationChars);
  if (buffer == nullptr) return 0;
  DWORD count = kFirstAssociationChars;
  HRESULT result = AssocQueryStringW(0, ASSOCSTR_EXECUTABLE, type.WideAt(0), nullptr, buffer,
                                     &count);
  if (result == E_POINTER) {
    // The path is longer: the call reported the room it needs.
    if (count == 0 || count > kMaxAssociationChars) return 0;
    buffer = path.ReserveWide(static_cast<int32_t>(count));
    if (buffer == nullptr) return 0;
  }
  // Asked again in every case, with all the room the buffer has.
  count = static_cast<DWORD>(path.Capacity());
  result = AssocQueryStringW(0, ASSOCSTR_EXECUTABLE, type.WideAt(0), nullptr, buffer, &count);
  if (FAILED(result)) return 0;
  // The reported count includes the terminator: the text ends at its first zero.
  path.SetLength(-1);
  path.ToUpper();

  // A missing needle would match every path.
  if (!loadText(needleId, lookupBuffer) || lookupBuffer.ToWide(-1) == nullptr ||
      lookupBuffer.IsEmpty()) {
    return 0;
  }
  return path.FindWide(lookupBuffer.WideAt(0), 0, lookupBuffer.Length()) >= 0 ? 1 : 0;
}

int InstallerApp::checkAdministrator() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = {SECURITY_NT_AUTHORITY};
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    return 0;
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member ? 1 : 0;
}

int InstallerApp::restartSystem() {
  if (!EnableShutdownPrivilege()) return 0;
  // advapi32 is imported by the program, so asking for it loads nothing.
  return RequestRestart(GetModuleHandleW(L"advapi32.dll"), kRestartReason);
}
