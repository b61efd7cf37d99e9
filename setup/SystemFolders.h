// SystemFolders: the system's own folders, asked of the system each time
// (never from the environment, which the user controls).
#pragma once

#include "text/WString.h"

// The system folder (GetSystemDirectoryW), wide, without a closing backslash
// unless it is a drive root. 1 = `out` holds it; 0 = `out` empty.
int GetSystemFolder(WString& out);

// The system's Windows folder (GetSystemWindowsDirectoryW: the shared one, not
// a terminal-server user's own), as GetSystemFolder gives it.
int GetWindowsFolder(WString& out);

// 1 when `path` names a file directly inside the system folder (compared
// without regard to case), with no "." or ".." part; 0 otherwise.
int IsInSystemFolder(const WChar* path);
