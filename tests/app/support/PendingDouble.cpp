// The recording double of the pending operations, and the test payload store.

#include "PendingDouble.h"

#include <stdio.h>

#include "InstallerAppProbe.h"
#include "payload/PayloadStore.h"
#include "payload/KeyBlock.h"
#include "payload/StringTable.h"
#include "ui/WizardController.h"

namespace {

PendingScript g_script;

// Distinct stand-ins for the stored entries, so the double can tell which
// entry it was asked for.
const uint8_t kStoredKey[8] = {1};
const uint8_t kStoredTables[4][8] = {{2}, {3}, {4}, {5}};

void Log(const std::string& call) { g_script.calls.push_back(call); }

std::string Numbers(const char* name, uint32_t a, uint32_t b) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, "%s %u %u", name, a, b);
  return buffer;
}

}  // namespace

const PayloadStore kPayloadStore = {
    {kStoredKey, sizeof kStoredKey},
    {{kStoredTables[0], 8}, {kStoredTables[1], 8}, {kStoredTables[2], 8}, {kStoredTables[3], 8}},
    {},
    {},
    {},
    {},
    {},
};

// Rebuild parameters no real block uses, so a test can see they were passed on.
KeyBlockParameters PayloadKeyParameters() { return {11, 12, 13, 14, 15, 16, 17, 18, 19, 20}; }

PendingScript& Script() { return g_script; }

void ResetPendingScript() { g_script = PendingScript(); }

int CallIndex(const std::string& call) {
  for (size_t i = 0; i < g_script.calls.size(); ++i) {
    if (g_script.calls[i] == call) return static_cast<int>(i);
  }
  return -1;
}

std::string CallLog() {
  std::string log;
  for (const std::string& c : g_script.calls) log += (log.empty() ? "" : "|") + c;
  return log;
}

// ---- Payload ---------------------------------------------------------------

int KeyBlock::loadFromImage(const uint8_t* stored, int32_t length) {
  Log(stored == kStoredKey && length == 8 ? "loadFromImage" : "loadFromImage ?");
  return g_script.loadKeyBlockResult;
}

int ExtractStringTable(const KeyBlock& /*keyBlock*/, const uint8_t* stored, uint32_t length,
                       StringTable& table) {
  int entry = -1;
  for (int i = 0; i < 4; ++i) {
    if (stored == kStoredTables[i] && length == 8) entry = i;
  }
  Log("extract " + std::to_string(entry));
  if (entry < 0 || !g_script.extractResult[entry]) return 0;
  if (g_script.tables[entry].count == 0) return 1;
  return AttachImage(g_script.tables[entry], table);
}

// ---- Environment checks ----------------------------------------------------

int InstallerApp::probeSystem(uint32_t procId, uint32_t libId) {
  Log(Numbers("probeSystem", procId, libId));
  versionCode = g_script.probedVersion;
  processorArchitecture = g_script.probedArchitecture;
  is64BitSystem = (processorArchitecture == 6 || processorArchitecture == 9) ? 1 : 0;
  return 1;
}

int InstallerApp::isSupportedSystem() {
  Log("isSupportedSystem");
  return g_script.supported;
}

int InstallerApp::checkDesktopUser() {
  Log("checkDesktopUser");
  return g_script.desktopUser;
}

int InstallerApp::activateRunningInstance() {
  Log("activateRunningInstance");
  return g_script.activate;
}

int InstallerApp::checkAssociation(uint32_t typeId, uint32_t needleId) {
  Log(Numbers("checkAssociation", typeId, needleId));
  return g_script.association;
}

int InstallerApp::checkAdministrator() {
  Log("checkAdministrator");
  return g_script.administrator;
}

int InstallerApp::restartSystem() {
  Log("restartSystem");
  return 1;
}

int InstallerApp::buildPaths() {
  Log("buildPaths");
  return 1;
}

void InstallerApp::readScancodeMap() { Log("readScancodeMap"); }

void InstallerApp::detectInstallation() { Log("detectInstallation"); }

int InstallerApp::setMachineText(uint32_t keyId, uint32_t valueId, uint32_t dataId) {
  Log(Numbers("setMachineText", keyId, valueId) + " " + std::to_string(dataId));
  return 1;
}

// ---- Wizard ----------------------------------------------------------------

int WizardController::initialise(HINSTANCE newInstance) {
  Log("wizard.initialise");
  instance = newInstance;
  return g_script.wizardInitialiseResult;
}

int WizardController::runWizard() {
  Log("runWizard");
  InstallerAppProbe::installDone(*app) = g_script.installDone;
  InstallerAppProbe::uninstallDone(*app) = g_script.uninstallDone;
  InstallerAppProbe::restartRequested(*app) = g_script.restartRequested;
  return g_script.runWizardResult;
}

// Logged only when the application calls it (it still holds the controller);
// the repeat from the controller's destructor, after the application let go
// of it, is not.
void WizardController::teardown() {
  if (app != nullptr && InstallerAppProbe::wizard(*app) == this) Log("teardown");
}

int WizardController::showMessage(uint32_t id, uint32_t type) {
  Log(Numbers("showMessage", id, type));
  return g_script.messageResult;
}

HWND WizardController::frameWindow() const { return reinterpret_cast<HWND>(0x1234); }
