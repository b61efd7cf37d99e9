// LoadCommonControls: the one library the program loads by name, and why.

#include "setup/CommonControls.h"

#include <windows.h>

#include "setup/Libraries.h"
#include "setup/SystemErrors.h"

namespace {

typedef BOOL(WINAPI* FindActCtxSectionStringWProc)(DWORD flags, const GUID* extension,
                                                   ULONG section, LPCWSTR name,
                                                   PACTCTX_SECTION_KEYED_DATA data);
typedef void(WINAPI* InitCommonControlsProc)();

// ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, spelled out for older headers.
constexpr ULONG kDllRedirectionSection = 2;

const WChar kLibraryName[] = WTEXT("comctl32.dll");

// Kept for the life of the process: this unit is its owner.
HMODULE commonControlsModule = nullptr;

// 1 when the active activation context (the program's manifest, the process
// default) names comctl32 among the files of one of its assemblies.
bool NameIsRedirected() {
  // kernel32 is in every process; the call exists from Windows XP on.
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return false;
  FindActCtxSectionStringWProc find = reinterpret_cast<FindActCtxSectionStringWProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "FindActCtxSectionStringW")));
  if (find == nullptr) return false;
  ACTCTX_SECTION_KEYED_DATA data = {};
  data.cbSize = sizeof(data);
  return find(0, nullptr, kDllRedirectionSection, kLibraryName, &data) != FALSE;
}

HMODULE LoadLibraryOfManifest() {
  // Every other library is loaded by its full path in the system folder. This
  // one cannot be: the manifest asks for the version 6 common controls (visual
  // styles), a side-by-side assembly of its own folder under WinSxS, and a load
  // by full path bypasses the redirection and gives the version 5 copy of the
  // system folder. So the bare name is used, but only where the program's own
  // activation context redirects it: the loader then takes the assembly's file
  // and never searches the program's folder. (Wine serves one library either way.)
  if (NameIsRedirected()) {
    HMODULE module = LoadLibraryW(kLibraryName);
    if (module == nullptr) ReportLastError("LoadLibraryW", kLibraryName);
    return module;
  }
  // Windows 2000 (no activation contexts), or a context without the assembly.
  return LoadSystemLibrary(kLibraryName);
}

}  // namespace

int LoadCommonControls() {
  if (commonControlsModule == nullptr) commonControlsModule = LoadLibraryOfManifest();
  if (commonControlsModule == nullptr) return 0;
  InitCommonControlsProc init = reinterpret_cast<InitCommonControlsProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(commonControlsModule, "InitCommonControls")));
  if (init == nullptr) {
    ReportLastError("GetProcAddress", WTEXT("InitCommonControls"));
    return 0;
  }
  init();
  return 1;
}
