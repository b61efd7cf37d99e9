// Helpers of the system-layer tests: names unique to this process, the
// system's own folders as plain strings, and whole files read back.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/WideText.h"
#include "text/WString.h"

std::wstring SystemFolder();        // without a closing backslash
std::wstring TempFolder();          // the user's temporary folder, with "\"
std::wstring TestProgramFolder();   // the folder of the running test program, with "\"
// `base` and this process's id: tests of several versions run at once in one prefix.
std::wstring Unique(const wchar_t* base);
bool FileExists(const std::wstring& path);
// Every byte of the file, or "<unreadable>".
std::string ReadWholeFile(const std::wstring& path);
// Whether `path` holds "ran\n" (the marker of the child program) within `ms`:
// starting a process under Wine may take longer than a command's own wait.
bool MarkerAppears(const std::wstring& path, DWORD ms);
