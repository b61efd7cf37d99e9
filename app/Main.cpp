// wWinMain of setup.exe: hardens the library search, then runs the installer.

#include <windows.h>

#include "app/DllSearch.h"
#include "app/EntryPoint.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
  // Before anything else can load a library by name.
  /* result ignored: an older system without either call is still usable */
  RestrictDllSearch();
  return RunInstaller(instance);
}
