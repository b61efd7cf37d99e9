// PreloadSystemLibraries and its list: the libraries that the shell, the common
// controls, COM and the shell-link object load by name after the program starts,
// on the systems where the program's own folder is still searched first.

#include "setup/SystemLibraryPreload.h"

#include <windows.h>

namespace {

// Each with what loads it by name. Libraries that are KnownDLLs on every
// supported system (kernel32, user32, ole32, shell32 and the like) need no entry.
const wchar_t* const kPreloadedLibraries[] = {
    L"msimg32.dll",    // imported by the theme library of Windows XP
    L"uxtheme.dll",    // visual styles: user32, and the version 6 common controls
    L"dwmapi.dll",     // the theme library of Vista and 7
    L"version.dll",    // file versions, read by the shell and the compatibility layer
    L"profapi.dll",    // imported by userenv on Windows 7
    L"userenv.dll",    // profile folders (the common desktop and start menu) for the shell
    L"shfolder.dll",   // SHGetFolderPath for code older than shell32's, loaded by name
    L"setupapi.dll",   // the shell's drive enumeration on Windows XP
    L"apphelp.dll",    // compatibility checks of the shell and of process creation
    L"propsys.dll",    // property stores of the shell and shlwapi, Vista on
    L"cryptbase.dll",  // RPC under COM on Windows 7
    L"sspicli.dll",    // security packages of RPC under COM, Windows 7
    L"secur32.dll",    // security packages of RPC under COM, Windows 2000 to Vista
    L"oleacc.dll",     // accessibility and the shell's progress dialog
    L"comres.dll",     // resources of the COM+ catalog, Windows XP
    L"clbcatq.dll",    // the COM+ catalog that CoCreateInstance consults
    L"ntmarta.dll",    // advapi32's access-control provider, called by the shell
    L"linkinfo.dll",   // volume and share records of the shell-link object
    L"ntshrui.dll",    // whether a folder is shared, asked by the shell (2000, XP)
};

// Room for the system folder and the longest name above.
constexpr UINT kPathRoom = MAX_PATH + 32;

}  // namespace

int PreloadSystemLibraries() {
  WCHAR path[kPathRoom];
  const UINT folderLength = GetSystemDirectoryW(path, MAX_PATH + 1);
  if (folderLength == 0 || folderLength > MAX_PATH) return 0;
  UINT nameStart = folderLength;
  if (path[nameStart - 1] != L'\\') path[nameStart++] = L'\\';

  int loaded = 0;
  for (const wchar_t* name : kPreloadedLibraries) {
    UINT end = nameStart;
    for (const wchar_t* c = name; *c != 0 && end + 1 < kPathRoom; ++c) path[end++] = *c;
    path[end] = 0;
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      continue;
    }
    // The altered search looks for the library's own imports in its folder, the
    // system folder, instead of beside the program.
    if (LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH) != nullptr) ++loaded;
  }
  return loaded;
}
