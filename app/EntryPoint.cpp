// RunInstaller: the phase order of the program.

#include "app/EntryPoint.h"

#include <objbase.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/ShellLibraries.h"

int RunInstaller(HINSTANCE instance) {
  InstallerApp app;
  /* result ignored: nothing before the shell-link step needs COM, and that
     step reports its own failure */
  InitialiseCom(COINIT_MULTITHREADED);
  if (app.initialise(instance) && app.run()) {
    app.finish();
    UninitialiseCom();
  }
  return 0;
}

int RefuseRedirectedStart(HINSTANCE instance) {
  InstallerApp app;
  /* result ignored: without its texts the program ends all the same */
  app.refuseStart(instance, kLoadRedirectionMessageId);
  return 0;
}
