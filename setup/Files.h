// Files: thin calls for output files, bytes and UTF-8 text, shell folders,
// folders and removal (scheduled for the next restart when a file is in use).
#pragma once

#include <windows.h>

#include <stdint.h>

#include "text/WString.h"

// A new file for writing, replacing one that exists, shared with nobody; null
// (never INVALID_HANDLE_VALUE) on failure. Only for files in folders that only
// administrators can write. The caller closes it (HandleGuard).
HANDLE CreateOutputFile(const WChar* path);
// 1 only when all `count` bytes were written; 0 for a null handle or bytes or
// a count of 0.
int WriteBytes(HANDLE file, const uint8_t* bytes, uint32_t count);
// Writes the text as UTF-8 without a byte-order mark or terminator (the text
// becomes narrow). 0 for an empty or malformed text.
int WriteNarrowText(HANDLE file, WString& text);

// The shell folder `csidl` (never created), asked on behalf of window `owner`
// (may be null). `out` is empty on failure.
int GetSpecialFolder(HWND owner, int csidl, WString& out);
// The user's temporary folder, ending in a backslash; `out` empty on failure.
int GetTempFolder(WString& out);

// 1 when the file is gone, was never there, or (being in use) its deletion is
// scheduled for the next restart; 0 for an empty path or a failed scheduling.
int RemoveFile(const WChar* path);
// RemoveFile of a stored path, narrow (UTF-8) or wide; 0 for an empty one.
int RemoveFileText(const WString& path);
// Removes a folder that is empty; one that still holds anything stays (0).
int RemoveFolderText(const WString& path);
// One folder level; 1 also when it exists already.
int EnsureFolder(const WChar* path);

// Deletes the file now, without a retry at the restart. 1 = deleted; 0 = an
// empty path, or the file could not be deleted (gone already included).
int DeleteFileNow(const WChar* path);
// Has the system move `staging` over `target` when Windows next starts,
// replacing it. 1 = scheduled; 0 = an empty path or the system refused.
int ScheduleReplacementAtRestart(const WChar* staging, const WChar* target);
// Has the system delete `path` when Windows next starts. 1 = scheduled;
// 0 = an empty path or the system refused.
int ScheduleRemovalAtRestart(const WChar* path);
