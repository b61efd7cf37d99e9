// WizardMessage: the private messages a page posts to the frame to move the
// wizard on (wParam and lParam 0).
#pragma once

#include <windows.h>

enum WizardMessage : UINT {
  kCloseRequest = WM_USER + 1,       // close, asking first unless the wizard is over
  kGoBack = WM_USER + 2,             // the page before, by wizard step
  kGoNext = WM_USER + 3,             // the page after, by wizard step
  kShowOptions = WM_USER + 4,
  kShowKeyAssignment = WM_USER + 5,
  kShowKeyRemap = WM_USER + 6,
  kShowFinish = WM_USER + 7,
  kRestartAndClose = WM_USER + 8,    // ask for a restart, then close
};

// The wizard steps the pages record (5 is not used).
enum WizardStep : int32_t {
  kWelcomeStep = 1,
  kLicenceStep = 2,
  kOptionsStep = 3,
  kKeyPageStep = 4,
  kWizardOverStep = 6,  // finish page, or closing after a refusal or a failure
};
