// CommonControls: comctl32, the copy the program's manifest asks for, loaded
// at run time and its control classes registered.
#pragma once

// Loads comctl32 (once; the module stays loaded for the life of the process,
// since the controls of every window use it) and calls its InitCommonControls.
// Where the program's activation context redirects the name (Windows XP on:
// the version 6 side-by-side assembly of the manifest), the library is loaded
// by name through that redirection; elsewhere (Windows 2000, which has no
// side-by-side assemblies) by its full path in the system folder.
// 1 = loaded and initialised; 0 = the library or the function is missing.
int LoadCommonControls();
