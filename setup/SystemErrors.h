// SystemErrors: how the system layer reads the error of a failed Windows call:
// one diagnostics line for a maintainer, and the one rule for removals.
#pragma once

#include <windows.h>

#include "text/WChar.h"

// Sends "setup: <call> <argument>: error <code>" as one line on the debugger
// channel (SendDebugText: OutputDebugStringW unless a test replaced the sink).
// `call` is the Windows function's name, an ASCII literal; a null or empty
// argument is left out. Codes above 0xFFFF (HRESULT, NTSTATUS) show in hex.
// Only for failures a maintainer needs to see: an answer the caller asked
// for (a value that is not there when read) is not reported. Leaves
// GetLastError() as it found it.
void ReportFailure(const char* call, const WChar* argument, DWORD error);
// ReportFailure with GetLastError(), read before anything else runs. Returns
// that error.
DWORD ReportLastError(const char* call, const WChar* argument);

// 1 when `error` says the target of a removal is not there: ERROR_FILE_NOT_FOUND
// (a file, a registry key or value) or ERROR_PATH_NOT_FOUND (a folder on the
// way is missing). Every removal of the system layer counts that as done: it
// returns 1 and reports nothing.
int IsAlreadyGone(DWORD error);
