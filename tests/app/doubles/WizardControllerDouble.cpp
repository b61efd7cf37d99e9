// Stands in for ui/WizardController.cpp: the wizard the application starts,
// without a window.

#include "tests/app/doubles/CallScript.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "ui/WizardController.h"

int WizardController::initialise(HINSTANCE newInstance) {
  Log("wizard.initialise");
  instance = newInstance;
  return Script().wizardInitialiseResult;
}

int WizardController::runWizard() {
  Log("runWizard");
  InstallerAppProbe::installDone(*app) = Script().installDone;
  InstallerAppProbe::uninstallDone(*app) = Script().uninstallDone;
  InstallerAppProbe::restartRequested(*app) = Script().restartRequested;
  return Script().runWizardResult;
}

// Logged only when the application calls it (it still holds the controller);
// the repeat from the controller's destructor, after the application let go
// of it, is not.
void WizardController::teardown() {
  if (app != nullptr && InstallerAppProbe::wizard(*app) == this) Log("teardown");
}

int WizardController::showMessage(uint32_t id, uint32_t type) {
  Log(Numbers("showMessage", id, type));
  return Script().messageResult;
}

HWND WizardController::frameWindow() const { return reinterpret_cast<HWND>(0x1234); }
