// Test access to every field of the application object (a friend of AppBase
// and InstallerApp), so tests can read start values and set up states.
#pragma once

#include "app/InstallerApp.h"

class InstallerAppProbe {
 public:
  // AppBase
  static HINSTANCE& instance(InstallerApp& a) { return a.instance; }
  static KeyBlock& keyBlock(InstallerApp& a) { return a.keyBlock; }
  static StringTable& commonTable(InstallerApp& a) { return a.commonTable; }
  static StringTable& languageTable(InstallerApp& a, int i) { return a.languageTables[i]; }
  static int32_t& wizardStep(InstallerApp& a) { return a.wizardStep; }
  static int32_t& versionCode(InstallerApp& a) { return a.versionCode; }
  static int32_t& languageIndex(InstallerApp& a) { return a.languageIndex; }
  static int32_t& is64BitSystem(InstallerApp& a) { return a.is64BitSystem; }
  static uint16_t& processorArchitecture(InstallerApp& a) { return a.processorArchitecture; }
  static WString& lookupBuffer(InstallerApp& a) { return a.lookupBuffer; }
  // InstallerApp
  static uint16_t& fallbackLanguageId(InstallerApp& a) { return a.fallbackLanguageId; }
  static uint16_t& targetLanguageId(InstallerApp& a) { return a.targetLanguageId; }
  static int32_t& defaultLanguageFlag(InstallerApp& a) { return a.defaultLanguageFlag; }
  static int32_t& associationMatch(InstallerApp& a) { return a.associationMatch; }
  static int32_t& isAdministrator(InstallerApp& a) { return a.isAdministrator; }
  static int32_t& uninstallDone(InstallerApp& a) { return a.uninstallDone; }
  static int32_t& installDone(InstallerApp& a) { return a.installDone; }
  static int32_t& restartRequested(InstallerApp& a) { return a.restartRequested; }
  static int32_t& pageFlag(InstallerApp& a) { return a.pageFlag; }
  static int32_t& finalStepOption(InstallerApp& a) { return a.finalStepOption; }
  static int32_t& placementOption(InstallerApp& a) { return a.placementOption; }
  static int32_t& placementResultA(InstallerApp& a) { return a.placementResultA; }
  static int32_t& placementResultB(InstallerApp& a) { return a.placementResultB; }
  static int32_t& placementResultC(InstallerApp& a) { return a.placementResultC; }
  static int32_t& variantIndex(InstallerApp& a) { return a.variantIndex; }
  static int32_t& decimalOption(InstallerApp& a) { return a.decimalOption; }
  static int32_t& recordedOption(InstallerApp& a) { return a.recordedOption; }
  static int32_t& updateOnly(InstallerApp& a) { return a.updateOnly; }
  static int32_t& scancodeMapPresent(InstallerApp& a) { return a.scancodeMapPresent; }
  static KeyRow*& keyTable(InstallerApp& a) { return a.keyTable; }
  static int32_t& keyCount(InstallerApp& a) { return a.keyCount; }
  static StringTable& supplementaryTable(InstallerApp& a) { return a.supplementaryTable; }
  static WizardController*& wizard(InstallerApp& a) { return a.wizard; }
  static WString& path(InstallerApp& a, int i) { return a.paths[i]; }
  static int32_t& recordedValueA(InstallerApp& a) { return a.recordedValueA; }
  static int32_t& recordedVersion(InstallerApp& a) { return a.recordedVersion; }
  static int32_t& recordedValueC(InstallerApp& a) { return a.recordedValueC; }
  static int32_t& installedVersion(InstallerApp& a) { return a.installedVersion; }
  static int32_t& installCount(InstallerApp& a) { return a.installCount; }
};
