// RestrictDllSearch: the library search order of the installer.

#include "app/DllSearch.h"

#include <windows.h>

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, spelled out for headers of older SDKs.
constexpr DWORD kSearchSystem32 = 0x00000800;

typedef BOOL(WINAPI* SetDefaultDllDirectoriesProc)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryProc)(LPCWSTR);

template <typename Proc>
Proc KernelProc(HMODULE kernel, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

}  // namespace

int RestrictDllSearch() {
  // kernel32 is in every process: asking it loads nothing.
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return 0;
  SetDefaultDllDirectoriesProc setDefault =
      KernelProc<SetDefaultDllDirectoriesProc>(kernel, "SetDefaultDllDirectories");
  if (setDefault != nullptr && setDefault(kSearchSystem32)) return 1;
  // XP SP1 to Vista without the update: at least drop the current folder.
  SetDllDirectoryProc setDirectory = KernelProc<SetDllDirectoryProc>(kernel, "SetDllDirectoryW");
  return (setDirectory != nullptr && setDirectory(L"")) ? 1 : 0;
}
