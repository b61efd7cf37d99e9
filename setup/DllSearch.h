// Keeps libraries planted beside the program (a downloads folder) from being
// loaded into the elevated installer.
#pragma once

#include <windows.h>

// The kernel32 calls the restriction uses and the system version, apart so that
// a test can take the path of the older systems on any system.
struct DllSearchCalls {
  // SetDefaultDllDirectories; null where the system lacks it (Windows 2000 and
  // XP; Vista and 7 without the update that added it).
  BOOL(WINAPI* setDefaultDllDirectories)(DWORD flags);
  // SetDllDirectoryW; null on Windows 2000 and XP before SP1.
  BOOL(WINAPI* setDllDirectory)(LPCWSTR folder);
  // Version code of the running system (major x 10 + minor); 0 when unknown.
  int versionCode;
};

// The calls of the running system, looked up in kernel32 at run time (Windows
// 2000 has neither).
DllSearchCalls SystemDllSearchCalls();

// Restricts the library search to the system folder with SetDefaultDllDirectories
// (LOAD_LIBRARY_SEARCH_SYSTEM32). Where that call is missing, fails, or the system
// is Vista (where the shell-link object cannot be created once it is in force),
// drops the current folder with SetDllDirectoryW(L"") and loads the system
// libraries that system code loads by name later from the system folder
// (PreloadSystemLibraries), since the program's own folder is still searched
// first on that path.
// 1 = SetDefaultDllDirectories or SetDllDirectoryW took effect; 0 = neither did
// (Windows 2000), the libraries are preloaded all the same.
int RestrictDllSearch(const DllSearchCalls& calls);

// RestrictDllSearch with the calls of the running system.
int RestrictDllSearch();

// Whether library loads of this process may be redirected to the program's own
// folder: on Windows 2000 (calls.versionCode 50), which has no manifests, a file
// or folder named after the program with ".local" appended (setup.exe.local)
// sends every load of a library that is not a KnownDLL, by full path too, to the
// program's folder or that folder. Later systems ignore it for a program with a
// manifest. 1 = Windows 2000 and such a file or folder exists, or the program's
// path cannot be read or the name's presence cannot be told (refuse rather than
// guess); 0 = no redirection.
int LoadsAreRedirected(const DllSearchCalls& calls);
