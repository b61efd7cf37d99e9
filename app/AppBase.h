// AppBase: the base layer of the application object. Holds what the text
// lookup needs: the key block, the common and the two language string tables,
// the system facts the lookup's callers share, and the lookup buffer.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "payload/KeyBlock.h"
#include "payload/StringTable.h"
#include "text/WString.h"

class AppBase {
 public:
  // Empty tables and key block (rebuilt later with `keyParameters`), instance
  // null, numbers 0, processorArchitecture 0xFFFF.
  explicit AppBase(const KeyBlockParameters& keyParameters);
  AppBase(const AppBase&) = delete;
  AppBase& operator=(const AppBase&) = delete;

  // ---- Overridables (in this slot order) -----------------------------------
  // Owner window for shell queries. Base: null.
  virtual HWND ownerWindow() const;
  // Base: stores `instance` and returns 1.
  virtual int initialise(HINSTANCE instance);
  // Base: releases commonTable, both languageTables and the key block (wiped).
  virtual void releaseTables();
  // The CountedText record of `id`. Base: the language table chosen by
  // languageIndex, then commonTable. Null when neither holds the id.
  virtual const uint8_t* findText(uint32_t id) const;
  virtual ~AppBase();

  // ---- Text lookup ---------------------------------------------------------
  // Loads string `id` into `out` as a wide text. 1 = found; 0 = no table holds
  // the id (or its record is not valid UTF-8) and `out` is left empty.
  int loadText(uint32_t id, WString& out);
  // 1 = `index` (0 or 1) stored in languageIndex; 0 = any other value, nothing
  // changed.
  int setLanguageIndex(int32_t index);

  // ---- Attributes ----------------------------------------------------------
  HINSTANCE getInstance() const { return instance; }
  int32_t getWizardStep() const { return wizardStep; }
  void setWizardStep(int32_t step) { wizardStep = step; }
  int32_t getVersionCode() const { return versionCode; }
  int32_t getLanguageIndex() const { return languageIndex; }
  int32_t getIs64BitSystem() const { return is64BitSystem; }
  uint16_t getProcessorArchitecture() const { return processorArchitecture; }

 protected:
  friend class InstallerAppProbe;  // tests: reads and sets every field

  HINSTANCE instance;
  KeyBlock keyBlock;
  StringTable commonTable;
  StringTable languageTables[2];
  int32_t wizardStep;
  int32_t versionCode;  // major * 10 + minor
  int32_t languageIndex;
  int32_t is64BitSystem;
  uint16_t processorArchitecture;  // native wProcessorArchitecture, 0xFFFF unknown
  WString lookupBuffer;  // short-lived lookups; replaced by the next one
};
