// Files: thin calls for output files, bytes and UTF-8 text, shell folders,
// folders and removal (scheduled for the next restart when a file is in use).
#pragma once

// Every call that fails is reported (ReportFailure: the call, the path, the
// error). Every removal below counts a target that is not there, or whose
// folder is not there, as done (IsAlreadyGone): 1, and nothing reported.

#include <windows.h>

#include <stdint.h>

#include "text/WString.h"

// A new file for writing, shared with nobody, in place of one that exists: what
// is at the name is deleted by its name first, so a reparse point or a second
// name (a hard link) there is never written through. Null (never
// INVALID_HANDLE_VALUE) on failure: a folder or a file that cannot be deleted
// at the name. Only for files in folders that only administrators can write.
// The caller closes it (HandleGuard).
HANDLE CreateOutputFile(const WChar* path);
// CreateOutputFile, the new file made with the product folders' access (see
// EnsureFolder) rather than what its folder passes on. Null on failure, as
// above.
HANDLE CreateProtectedFile(const WChar* path);
// 1 when nothing is at `path` or a plain file with one name is; 0 for a
// reparse point, a folder, a hard link, an empty path or a failed query.
int IsPlainFileOrFree(const WChar* path);

// The size in bytes of the file at `path`; 0 when there is none or it cannot
// be asked.
uint64_t FileSizeOf(const WChar* path);
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
// Nothing is scheduled for a file that is not there.
int RemoveFile(const WChar* path);
// RemoveFile of a stored path, narrow (UTF-8) or wide; 0 for an empty one.
int RemoveFileText(const WString& path);
// Removes a folder that is empty. 1 = removed or not there; 0 = an empty
// path, a folder that still holds anything (it stays, as callers expect: not
// reported), or the removal failed.
int RemoveFolderText(const WString& path);
// One folder level with the product folders' access: owned by Administrators,
// the system and administrators full control, users read and execute, nothing
// inherited. A folder that exists gets that access in place of its own. 1 =
// made or reset; 0 = an empty path, a missing parent, a file or a reparse point
// at the name, or access that could not be set.
int EnsureFolder(const WChar* path);

// Deletes `path` only when it lies inside `root` (full paths compared folder by
// folder without regard to case), no folder from `root` down to it nor the file
// itself is a reparse point, through the handle that checked it. For folders a
// user controls: never scheduled for the restart. 1 = deleted, or not there
// (nor a folder on the way to it); 0 = refused, an empty argument, or the
// deletion failed (the file stays).
int RemoveFileInside(const WChar* root, const WChar* path);
// RemoveFileInside the folder that holds `planned` (the path this run uses for
// the same item, whose folder a stored path must share). 0 also when `planned`
// has no folder.
int RemoveFileBeside(const WChar* planned, const WChar* path);
// The profile folder of the user this process runs as, as the system's profile
// list names it (not the environment). `out` is empty on failure.
int GetUserProfileFolder(WString& out);

// Deletes the file now, without a retry at the restart. 1 = deleted or not
// there; 0 = an empty path, or the file could not be deleted (it stays).
int DeleteFileNow(const WChar* path);
// Has the system move `staging` over `target` when Windows next starts,
// replacing it. 1 = scheduled; 0 = an empty path or the system refused.
int ScheduleReplacementAtRestart(const WChar* staging, const WChar* target);
// Has the system delete `path` when Windows next starts. 1 = scheduled, or
// the system answered that nothing is there (Wine schedules any name);
// 0 = an empty path or the system refused.
int ScheduleRemovalAtRestart(const WChar* path);
