// Placeholder of the wizard until the user interface exists: it shows no
// window and no message, so setup.exe starts, runs no wizard and exits 0.

#include <windows.h>

#include "ui/WizardController.h"

// ---- Wizard ----------------------------------------------------------------

int WizardController::initialise(HINSTANCE newInstance) {
  instance = newInstance;
  return 1;
}

// Shows no window.
int WizardController::runWizard() { return 1; }
void WizardController::teardown() {}
int WizardController::showMessage(uint32_t /*id*/, uint32_t /*type*/) { return IDOK; }
HWND WizardController::frameWindow() const { return nullptr; }
// No page, nothing to disable.
void WizardController::disablePage() {}
