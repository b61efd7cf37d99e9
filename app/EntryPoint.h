// The program's entry steps: construct the application object, initialise
// COM, then initialise, run and finish it.
#pragma once

#include <windows.h>

// Runs the installer for module `instance`. finish (and CoUninitialize) run
// only when both initialise and run succeed. Returns 0 on every path: the
// exit code of the program.
int RunInstaller(HINSTANCE instance);

// The start refused because library loads may be redirected (LoadsAreRedirected):
// tells the user in their language, with nothing loaded that the redirection
// could replace. Returns 0, the exit code of the program.
int RefuseRedirectedStart(HINSTANCE instance);
