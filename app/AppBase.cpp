// AppBase: the string lookup over the language and common tables, and the
// release of the tables and the key block.

#include "app/AppBase.h"

AppBase::AppBase(const KeyBlockParameters& keyParameters)
    : instance(nullptr),
      keyBlock(keyParameters),
      wizardStep(0),
      versionCode(0),
      languageIndex(0),
      is64BitSystem(0),
      processorArchitecture(0xFFFF) {}

AppBase::~AppBase() {
  // Harmless after the derived destructor released them: they are empty.
  AppBase::releaseTables();
}

HWND AppBase::ownerWindow() const { return nullptr; }

int AppBase::initialise(HINSTANCE newInstance) {
  instance = newInstance;
  return 1;
}

void AppBase::releaseTables() {
  commonTable.release();
  languageTables[0].release();
  languageTables[1].release();
  keyBlock.release();
}

const uint8_t* AppBase::findText(uint32_t id) const {
  const uint8_t* record = nullptr;
  // languageIndex is only ever 0 or 1; the check keeps a stray value from
  // indexing past the pair.
  if (static_cast<uint32_t>(languageIndex) <= 1) {
    record = languageTables[languageIndex].find(id);
  }
  if (record == nullptr) record = commonTable.find(id);
  return record;
}

int AppBase::loadText(uint32_t id, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  const uint8_t* record = findText(id);
  if (record == nullptr) return 0;
  if (!out.AssignRecord(record)) return 0;
  // A narrow record that is not valid UTF-8 stays narrow; reporting it as
  // found would hand callers a text their wide reads see as empty.
  if (out.ToWide(out.CodePage()) == nullptr) {
    out.AssignWide(WTEXT(""), 0);
    return 0;
  }
  return 1;
}

int AppBase::setLanguageIndex(int32_t index) {
  if (static_cast<uint32_t>(index) > 1) return 0;
  languageIndex = index;
  return 1;
}
