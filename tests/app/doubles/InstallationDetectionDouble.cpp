// Stands in for app/engine/InstallationDetection.cpp.

#include "app/InstallerApp.h"
#include "tests/app/doubles/CallScript.h"

void InstallerApp::readScancodeMap() { Log("readScancodeMap"); }

void InstallerApp::detectInstallation() { Log("detectInstallation"); }
