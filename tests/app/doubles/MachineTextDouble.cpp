// Stands in for app/engine/MachineText.cpp.

#include "app/InstallerApp.h"
#include "tests/app/doubles/CallScript.h"

int InstallerApp::setMachineText(uint32_t keyId, uint32_t valueId, uint32_t dataId) {
  Log(Numbers("setMachineText", keyId, valueId) + " " + std::to_string(dataId));
  return 1;
}
