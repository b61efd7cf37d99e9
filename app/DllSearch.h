// Keeps libraries planted beside the program (a downloads folder) from being
// loaded into the elevated installer.
#pragma once

// Restricts the library search to the system folder: SetDefaultDllDirectories
// with LOAD_LIBRARY_SEARCH_SYSTEM32 where the system has it, else
// SetDllDirectoryW(L"") to drop the current folder from the search. Both are
// looked up at run time (Windows 2000 has neither).
// 1 = one of the two took effect; 0 = neither did.
int RestrictDllSearch();
