// Restart: the request to restart the machine, apart from the privilege step and
// from advapi32, so that both kinds of system can be tested without restarting.
#pragma once

#include <windows.h>

// Asks the local machine to restart at once: no message, no time-out,
// applications not forced closed. The calls are looked up in `advapi` (advapi32
// in the program): InitiateSystemShutdownExW with `reason` where the module
// exports it (Windows XP on), else InitiateSystemShutdownW, which has no reason
// (Windows 2000). Neither is imported: a program importing the first would not
// load on Windows 2000.
// 1 = the system accepted the request; 0 = it refused, `advapi` is null or it
// exports neither call.
int RequestRestart(HMODULE advapi, DWORD reason);
