// Stands in for app/EnvironmentChecks.cpp: every check logs its call and
// answers from the script.

#include "app/InstallerApp.h"
#include "tests/app/doubles/CallScript.h"

int InstallerApp::probeSystem(uint32_t procId, uint32_t libId) {
  Log(Numbers("probeSystem", procId, libId));
  versionCode = Script().probedVersion;
  processorArchitecture = Script().probedArchitecture;
  is64BitSystem = (processorArchitecture == 6 || processorArchitecture == 9) ? 1 : 0;
  return 1;
}

int InstallerApp::isSupportedSystem() {
  Log("isSupportedSystem");
  return Script().supported;
}

int InstallerApp::checkDesktopUser() {
  Log("checkDesktopUser");
  return Script().desktopUser;
}

int InstallerApp::activateRunningInstance() {
  Log("activateRunningInstance");
  return Script().activate;
}

int InstallerApp::checkAssociation(uint32_t typeId, uint32_t needleId) {
  Log(Numbers("checkAssociation", typeId, needleId));
  return Script().association;
}

int InstallerApp::checkAdministrator() {
  Log("checkAdministrator");
  return Script().administrator;
}

int InstallerApp::relaunchElevated() {
  Log("relaunchElevated");
  return Script().relaunched;
}

int InstallerApp::restartSystem() {
  Log("restartSystem");
  return 1;
}
