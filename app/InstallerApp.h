// InstallerApp: the one application object. Owns the payload tables, the facts
// about the system, the user's choices, the path texts, the key table and the
// wizard; the entry point drives it through initialise, run and finish.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "app/AppBase.h"
#include "app/KeyRow.h"
#include "payload/StringTable.h"
#include "text/WString.h"

class WizardController;

constexpr int32_t kPathCount = 36;

class InstallerApp : public AppBase {
 public:
  // Field start values as documented beside each field; keyTable is a copy of
  // the static key table with every assignedKey cleared; no wizard yet.
  InstallerApp();
  ~InstallerApp() override;

  // ---- Overridables --------------------------------------------------------
  // The frame window when the wizard has one, else null.
  HWND ownerWindow() const override;
  // Loads the key block and the four string tables, creates the wizard and
  // computes the first option values. 1 = ready to run; 0 = a step failed,
  // what was loaded so far is left to the destructor.
  int initialise(HINSTANCE instance) override;
  // The base release plus supplementaryTable.
  void releaseTables() override;
  // The base search, then supplementaryTable.
  const uint8_t* findText(uint32_t id) const override;

  // ---- Phases --------------------------------------------------------------
  // Checks the system and the user, reads the earlier installation and runs
  // the wizard. 1 = go on to finish (the wizard ran, or the user was told that
  // administrator rights are needed); 0 = stop without finish (no wizard,
  // unsupported system after its message, another copy running, or the
  // wizard could not start).
  int run();
  // Tears the wizard down, records a completed install or uninstall, releases
  // the tables and restarts the machine when the user asked for it.
  void finish();
  // Writes the completion value (text 51 on Windows 2000, text 50 later).
  void recordCompletion();

  // ---- Messages ------------------------------------------------------------
  // Message box with the text of string `id` and `flags`. Returns its result,
  // or 0 when there is no wizard to show it.
  int showMessage(uint32_t id, uint32_t flags);

  // ---- Options -------------------------------------------------------------
  // variantIndex when already known; otherwise the first of strings 112, 113,
  // 114 that contains string 88 (0, 1, 2), or 0 when none does. Stored.
  int32_t computeVariant();
  // decimalOption when already known; otherwise 0 when the user's decimal
  // separator is ",", else 1, stored. -1 (and nothing stored) when the
  // separator cannot be read.
  int32_t computeDecimalOption();
  // Stores v when it is 0 to 2; returns v in every case.
  int32_t setVariant(int32_t v);
  // Stores v when it is 0 or 1; returns v in every case.
  int32_t setDecimalOption(int32_t v);
  void clearRecordedOption() { recordedOption = 0; }
  // Stores v; a non-zero v also marks the licence as accepted. Returns v.
  int32_t setUpdateOnly(int32_t v);

  // ---- Key table -----------------------------------------------------------
  // The row of the static table (with the default codes) or of the live table
  // whose scan code equals the low 16 bits of `scanCode`; null when none does
  // before the first zero scan code.
  const KeyRow* findStaticKey(uint32_t scanCode) const;
  KeyRow* findKey(uint32_t scanCode);
  KeyRow* getKeyTable() { return keyTable; }
  int32_t getKeyCount() const { return keyCount; }

  // ---- Attributes ----------------------------------------------------------
  uint16_t getFallbackLanguageId() const { return fallbackLanguageId; }
  uint16_t getTargetLanguageId() const { return targetLanguageId; }
  void setTargetLanguageId(uint16_t id) { targetLanguageId = id; }
  int32_t getDefaultLanguageFlag() const { return defaultLanguageFlag; }
  void setDefaultLanguageFlag(int32_t flag) { defaultLanguageFlag = flag; }
  int32_t getFinalStepOption() const { return finalStepOption; }
  void setFinalStepOption(int32_t flag) { finalStepOption = flag; }
  int32_t getPlacementOption() const { return placementOption; }
  void setPlacementOption(int32_t flag) { placementOption = flag; }
  int32_t getAssociationMatch() const { return associationMatch; }
  int32_t getIsAdministrator() const { return isAdministrator; }
  int32_t getUninstallDone() const { return uninstallDone; }
  int32_t getInstallDone() const { return installDone; }
  int32_t getRestartRequested() const { return restartRequested; }
  void setRestartRequested(int32_t flag) { restartRequested = flag; }
  int32_t getPageFlag() const { return pageFlag; }
  void setPageFlag(int32_t flag) { pageFlag = flag; }
  int32_t getVariantIndex() const { return variantIndex; }
  int32_t getDecimalOption() const { return decimalOption; }
  int32_t getRecordedOption() const { return recordedOption; }
  int32_t getUpdateOnly() const { return updateOnly; }
  int32_t getInstalledVersion() const { return installedVersion; }
  int32_t getRecordedValueA() const { return recordedValueA; }
  // Path slot `i` (0 to 35), or null outside the range.
  WString* path(int32_t i);
  WizardController* getWizard() const { return wizard; }

  // ---- Operations of the environment checks --------------------------------
  // Reads the Windows version and the native architecture into versionCode,
  // processorArchitecture and is64BitSystem, using procedure `procId` of
  // library `libId` when it exists. 1, or 0 when no version could be read.
  int probeSystem(uint32_t procId, uint32_t libId);
  // 1 when versionCode and processorArchitecture form a supported system.
  int isSupportedSystem();
  // 1 when no other copy runs; 0 after bringing its window to the front.
  int activateRunningInstance();
  // 1 when the program associated with file type `typeId` has text
  // `needleId` in its path.
  int checkAssociation(uint32_t typeId, uint32_t needleId);
  // 1 when the process token is in the Administrators group.
  int checkAdministrator();
  // The result of the restart request, or 0.
  int restartSystem();

  // ---- Operations of the program paths and the earlier installation --------
  // Fills the path slots from the shell folders and the command line. 1 when
  // the command line had a first element; the run phase ignores the result.
  int buildPaths();
  // Fills mapTarget of the key table from the system's scan-code map.
  void readScancodeMap();
  // Fills the installation-state fields from the product record.
  void detectInstallation();

  // ---- System primitives ---------------------------------------------------
  // Sets text value `valueId` of HKLM key `keyId` to text `dataId`.
  // 1 = written; 0 = the key could not be opened or the write failed.
  int setMachineText(uint32_t keyId, uint32_t valueId, uint32_t dataId);

 protected:
  friend class InstallerAppProbe;  // tests: reads and sets every field

  // Deletes the wizard (if any) and clears the pointer.
  void destroyWizard();

  uint16_t fallbackLanguageId;  // string 86 read as hexadecimal
  uint16_t targetLanguageId;
  int32_t defaultLanguageFlag;
  int32_t associationMatch;
  int32_t isAdministrator;
  int32_t uninstallDone;
  int32_t installDone;
  int32_t restartRequested;
  int32_t pageFlag;  // the licence has been accepted
  int32_t finalStepOption;
  int32_t placementOption;  // desktop shortcuts wanted
  int32_t placementResultA;  // desktop shortcut of the text file created
  int32_t placementResultB;  // ... of the first document
  int32_t placementResultC;  // ... of the second document
  int32_t variantIndex;  // 0 to 2, -1 until computed
  int32_t decimalOption;  // 0 or 1, -1 until computed
  int32_t recordedOption;
  int32_t updateOnly;
  int32_t scancodeMapPresent;
  KeyRow* keyTable;  // owned (AllocateBlock)
  int32_t keyCount;
  StringTable supplementaryTable;
  WizardController* wizard;  // owned
  WString paths[kPathCount];
  int32_t recordedValueA;
  int32_t recordedVersion;
  int32_t recordedValueC;
  int32_t installedVersion;  // 0 none, 130 layout entry only, else recorded level
  int32_t installCount;
};
