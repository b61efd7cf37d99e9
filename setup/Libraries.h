// Libraries: system libraries loaded by their full path in the system folder,
// and procedures looked up by name.
#pragma once

#include <windows.h>

#include "text/WString.h"

// The system library `name` (a bare file name: no folder, drive or "..")
// loaded from the system folder, its own dependencies looked for there too.
// The module (the caller frees it, ModuleGuard), or null (a failed load is
// reported: ReportLastError with the full path).
HMODULE LoadSystemLibrary(const WChar* name);

// Procedure `name` (narrow or wide text, looked up as its UTF-8 bytes) of
// `module`, or null; a procedure the system lacks is not reported, as callers
// use this to ask whether it has it.
FARPROC FindProcedure(HMODULE module, WString& name);
