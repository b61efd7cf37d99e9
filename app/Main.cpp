// wWinMain of setup.exe: hardens the library search, then runs the installer.

#include <windows.h>

#include "setup/DllSearch.h"
#include "app/EntryPoint.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
  const DllSearchCalls calls = SystemDllSearchCalls();
  // Before any library is loaded: on Windows 2000 a setup.exe.local beside the
  // program would hand even the preloaded system libraries over to that folder.
  if (LoadsAreRedirected(calls)) return RefuseRedirectedStart(instance);
  // Before anything else can load a library by name.
  /* result ignored: on Windows 2000, which has neither call, the preloaded
     system libraries are the protection there is, and the program goes on */
  RestrictDllSearch(calls);
  return RunInstaller(instance);
}
