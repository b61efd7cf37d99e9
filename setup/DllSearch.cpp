// RestrictDllSearch: the library search order of the installer.

#include "setup/DllSearch.h"

#include "setup/OwnImage.h"
#include "setup/SystemLibraryPreload.h"
#include "setup/rules/WindowsVersions.h"
#include "text/WString.h"

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, spelled out for headers of older SDKs.
constexpr DWORD kSearchSystem32 = 0x00000800;

// Windows Vista and Server 2008; Windows 2000.

template <typename Proc>
Proc KernelProc(HMODULE kernel, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, name)));
}

}  // namespace

DllSearchCalls SystemDllSearchCalls() {
  DllSearchCalls calls = {};
  // kernel32 is in every process: asking for it loads nothing.
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel != nullptr) {
    calls.setDefaultDllDirectories =
        KernelProc<BOOL(WINAPI*)(DWORD)>(kernel, "SetDefaultDllDirectories");
    calls.setDllDirectory = KernelProc<BOOL(WINAPI*)(LPCWSTR)>(kernel, "SetDllDirectoryW");
  }
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  if (GetVersionExW(&version)) {
    calls.versionCode = static_cast<int>(version.dwMajorVersion * 10 + version.dwMinorVersion);
  }
  return calls;
}

int RestrictDllSearch(const DllSearchCalls& calls) {
  // On Vista, CoCreateInstance of the shell-link object fails once the default
  // directories are set, and shortcuts are part of every installation.
  if (calls.setDefaultDllDirectories != nullptr && calls.versionCode != kWindowsVista &&
      calls.setDefaultDllDirectories(kSearchSystem32)) {
    return 1;
  }
  // XP SP1 to 7 without the update, and Vista: drop at least the current folder. The
  // program's own folder is still searched first, hence the preloaded libraries.
  const int dropped =
      (calls.setDllDirectory != nullptr && calls.setDllDirectory(L"")) ? 1 : 0;
  PreloadSystemLibraries();  // the count only tells how many of them this system has
  return dropped;
}

int RestrictDllSearch() { return RestrictDllSearch(SystemDllSearchCalls()); }

int LoadsAreRedirected(const DllSearchCalls& calls) {
  if (calls.versionCode != kWindows2000) return 0;
  WString path;
  if (!GetOwnImagePath(path) || !path.AppendWide(WTEXT(".local"), -1)) return 1;
  if (GetFileAttributesW(path.WideAt(0)) != INVALID_FILE_ATTRIBUTES) return 1;
  // Only a name that is not there is no redirection; any other failure
  // (access denied to the folder, say) may hide one.
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : 1;
}
