// Stands in for app/ProgramPaths.cpp.

#include "app/InstallerApp.h"
#include "tests/app/doubles/CallScript.h"

int InstallerApp::buildPaths() {
  Log("buildPaths");
  return 1;
}
