// Placeholders for the operations that later work supplies: each succeeds
// without touching the system, so setup.exe starts, runs no wizard and exits 0.
// Remove a placeholder here when its real definition lands.

#include <windows.h>

#include "app/InstallerApp.h"

// ---- Environment checks ----------------------------------------------------

int InstallerApp::probeSystem(uint32_t /*procId*/, uint32_t /*libId*/) { return 1; }
int InstallerApp::isSupportedSystem() { return 1; }
int InstallerApp::activateRunningInstance() { return 1; }
int InstallerApp::checkAssociation(uint32_t /*typeId*/, uint32_t /*needleId*/) { return 1; }
int InstallerApp::checkAdministrator() { return 1; }
int InstallerApp::restartSystem() { return 0; }

// ---- Program paths and earlier installation -------------------------------

int InstallerApp::buildPaths() { return 1; }
void InstallerApp::readScancodeMap() {}
void InstallerApp::detectInstallation() {}

// ---- System primitives -----------------------------------------------------

int InstallerApp::setMachineText(uint32_t /*keyId*/, uint32_t /*valueId*/,
                                 uint32_t /*dataId*/) {
  return 1;
}
