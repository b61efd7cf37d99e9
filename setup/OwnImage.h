// OwnImage: the running program's own file, held open from start-up so that
// nobody can change, replace or rename it, and copied from that handle.
#pragma once

#include <windows.h>

#include "text/WString.h"

// The full path of the running program's image (GetModuleFileNameW, any
// length). 1 = `out` holds it; 0 = `out` empty.
int GetOwnImagePath(WString& out);

// Opens the file at `path` for reading while denying write and delete to
// every other opener (which also stops a rename), and checks through that
// handle that the file is, byte for byte, the image mapped at `module`
// (MatchImageFile: headers, every section, nothing after them but an
// Authenticode certificate table). The handle, or null when the file cannot
// be opened or is not the running image.
HANDLE OpenOwnImage(const WChar* path, HMODULE module);

// Checks the file behind `image` again against the running program's image
// (GetModuleHandleW(nullptr)), then writes exactly the bytes checked, read
// through the same handle from its start, into a new file at `target`
// (CreateProtectedFile), replacing one that exists. 1 = all bytes copied; 0 =
// nothing to copy from, the file is not the running image (no target is made),
// the target could not be made or a read or write failed (a partial target may stay).
int CopyOwnImage(HANDLE image, const WChar* target);

// 1 when the file at `path` is the very file behind `image` (the same volume
// serial number and file index), whatever name either was reached by; 0 when
// it is another file, or either cannot be opened or asked.
int IsSameFileAsImage(HANDLE image, const WChar* path);
