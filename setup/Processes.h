// Processes: the programs a file type is opened with, commands started in
// the system folder with a bounded wait, and the image another process runs.
#pragma once

#include <windows.h>

#include "text/WString.h"

// The program the machine associates with file type `association` (".cpl"),
// ignoring the user's own classes, which anyone can write without elevation.
// 1 = `out` holds its full path, which lies in the system folder; 0 = none, or
// one elsewhere (`out` empty).
int FindSystemAssociatedProgram(const WChar* association, WString& out);

// The program the user's view of the classes (the user's own choice first)
// associates with `association`, of any length. For what the program only
// reports, never for what it starts. 1 = `out` holds its path; 0 = none.
int FindUserAssociatedProgram(const WChar* association, WString& out);

// Starts `command` (its program named by full path, in quotes) with the
// system folder as its current folder, and waits at most `waitMs` for its
// process to end; the debugger output says what it returned (its exit code,
// or that it was still running). 1 = started (ended or not); 0 = an empty
// command or no process started.
int RunCommandLineWaiting(const WString& command, DWORD waitMs);
// RunCommandLineWaiting with the program's usual wait, a second.
int RunCommandLine(const WString& command);

// Starts `program` (a full path) again, without arguments, with the "runas"
// verb as the machine's class of programs defines it (never a per-user class),
// in the system folder: on Windows Vista and later the consent prompt for an
// administrator's full rights. 1 = started; 0 = the user declined (ERROR_CANCELLED, said
// nothing about) or the start failed.
int StartElevated(const WChar* program);

// The full path of the image file process `processId` runs, any length:
// QueryFullProcessImageNameW where kernel32 has it (Vista on), else
// GetModuleFileNameExW of psapi.dll, loaded from the system folder.
// 1 = `out` holds it; 0 = the process cannot be opened or asked (`out` empty).
int GetProcessImagePath(DWORD processId, WString& out);
