// runInstall: the whole installation in its fixed order, files first, then the
// records that name them, then the system's and the user's settings.

#include "app/InstallerApp.h"
#include "setup/rules/RecordPlan.h"
#include "ui/WizardController.h"

int InstallerApp::runInstall() {
  if (wizard != nullptr) wizard->disablePage();
  if (updateOnly) return writeProductRecord() && placeLayoutFiles() ? 1 : 0;

  if (installedVersion == kLayoutEntryOnlyLevel) {
    removeOldShortcuts();  // always 1: what cannot go stays
  }
  if (!placeDocuments() || !placeLayoutFiles()) return 0;
  // A recorded installation of this level is not counted twice.
  if (static_cast<uint32_t>(installedVersion) <= static_cast<uint32_t>(kLayoutEntryOnlyLevel)) {
    ++installCount;
  }
  if (!writeProductRecord()) return 0;
  /* result ignored: the Start-menu shortcut still changes or removes the product */
  writeUninstallEntry();
  if (!registerLayoutEntry()) return 0;
  /* result ignored: the layout works without the remapping; the next run writes it again */
  writeScancodeMap();
  /* result ignored: the user can still add the layout in the system's settings */
  addInputLanguage(targetLanguageId, defaultLanguageFlag);
  if (finalStepOption && !writeUserKeyValues()) return 0;
  installDone = 1;
  return 1;
}
