// SystemFolders: the system's own folders, asked of the system each time
// (never from the environment, which the user controls).
#pragma once

#include <windows.h>

#include "text/WString.h"

// The system folder (GetSystemDirectoryW), wide, without a closing backslash
// unless it is a drive root. 1 = `out` holds it; 0 = `out` empty.
int GetSystemFolder(WString& out);

// The system's Windows folder (GetSystemWindowsDirectoryW: the shared one, not
// a terminal-server user's own), as GetSystemFolder gives it.
int GetWindowsFolder(WString& out);

// The 32-bit system folder of 64-bit Windows, asked of `query`, a procedure of
// the form of GetSystemWow64DirectoryW (looked up at run time: Windows 2000
// lacks it), with room for 2308 characters. 1 = `out` holds it, as above;
// 0 = no procedure, or it failed (a 32-bit system), `out` empty.
int GetWow64SystemFolder(FARPROC query, WString& out);

// 1 when `path` names a file directly inside the system folder (compared
// without regard to case), with no "." or ".." part; 0 otherwise.
int IsInSystemFolder(const WChar* path);
