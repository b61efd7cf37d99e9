// The script the application's doubles follow: each call a double stands in for
// is logged in order, and its result (and the fields it would fill) come from
// the script the test sets before the call.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "setup/rules/WindowsVersions.h"
#include "tests/app/support/TableImage.h"

struct CallScript {
  int loadKeyBlockResult = 1;
  int extractResult[4] = {1, 1, 1, 1};
  // Entries attached by the extraction double (common, supplementary,
  // language 0, language 1); an empty image leaves the table empty.
  TableImage tables[4];
  int wizardInitialiseResult = 1;
  int32_t probedVersion = kWindowsXp;
  uint16_t probedArchitecture = 0;
  int supported = 1;
  int desktopUser = 1;
  int activate = 1;
  int association = 1;
  int administrator = 1;
  int relaunched = 0;  // relaunchElevated: the elevated copy started
  int runWizardResult = 1;
  // What the user did inside the wizard.
  int installDone = 0;
  int uninstallDone = 0;
  int restartRequested = 0;
  int messageResult = IDOK;

  std::vector<std::string> calls;
};

// The script of the running test; reset by ResetCallScript.
CallScript& Script();
void ResetCallScript();

// Index of `call` in the log, or -1.
int CallIndex(const std::string& call);
// The log joined with "|", for readable failure messages.
std::string CallLog();

// For the doubles: logs `call`, and formats "name a b".
void Log(const std::string& call);
std::string Numbers(const char* name, uint32_t a, uint32_t b);
