// InstallerApp: construction and destruction, the initialise, run and finish
// phases, the option computations and the accessors the pages use.

#include "app/InstallerApp.h"

#include <string.h>

#include <new>

#include "app/ByteCount.h"
#include "app/HexNumber.h"
#include "app/LocaleChoices.h"
#include "app/StaticKeyTable.h"
#include "payload/PayloadStore.h"
#include "payload/StringIds.h"
#include "setup/CommonControls.h"
#include "setup/rules/WindowsVersions.h"
#include "text/Memory.h"
#include "ui/WizardController.h"

namespace {

constexpr int32_t kVariantCount = 3;

}  // namespace

InstallerApp::InstallerApp()
    : AppBase(PayloadKeyParameters()),
      fallbackLanguageId(0),
      targetLanguageId(0),
      defaultLanguageFlag(1),
      associationMatch(0),
      isAdministrator(0),
      uninstallDone(0),
      installDone(0),
      restartRequested(0),
      pageFlag(0),
      finalStepOption(1),
      placementOption(1),
      placementResultA(0),
      placementResultB(0),
      placementResultC(0),
      variantIndex(-1),
      decimalOption(-1),
      recordedOption(0),
      updateOnly(0),
      scancodeMapPresent(0),
      keyTable(nullptr),
      keyCount(kStaticKeyRowCount),
      wizard(nullptr),
      recordedValueA(0),
      recordedVersion(0),
      recordedValueC(0),
      installedVersion(0),
      installCount(0),
      ownImage(nullptr) {
  const size_t bytes = GuardedByteCount(keyCount, sizeof(KeyRow));
  // An overflowing count asks for SIZE_MAX bytes, which ends the program.
  keyTable = static_cast<KeyRow*>(AllocateBlock(bytes));
  memcpy(keyTable, StaticKeyTable, bytes);
  // The live table holds the user's assignments only; the defaults stay in
  // the static table.
  for (int32_t i = 0; i < keyCount; ++i) keyTable[i].assignedKey = 0;
}

InstallerApp::~InstallerApp() {
  InstallerApp::releaseTables();
  destroyWizard();
  FreeBlock(keyTable);
  keyTable = nullptr;
  if (ownImage != nullptr) /* result ignored: the process is ending */ CloseHandle(ownImage);
  // The paths (last to first) and supplementaryTable go with the members.
}

// ---- Overridables ----------------------------------------------------------

HWND InstallerApp::ownerWindow() const {
  return wizard != nullptr ? wizard->frameWindow() : nullptr;
}

int InstallerApp::loadTexts() {
  const PayloadStore& store = kPayloadStore;
  if (!keyBlock.loadFromImage(store.keyBlock.bytes,
                              static_cast<int32_t>(store.keyBlock.length))) {
    return 0;
  }
  // Order matters only for the reader: common, supplementary, language 0, 1.
  StringTable* const tables[kStoredTableCount] = {
      &commonTable, &supplementaryTable, &languageTables[0], &languageTables[1]};
  for (int32_t i = 0; i < kStoredTableCount; ++i) {
    const StoredEntry& entry = store.stringTables[i];
    if (!ExtractStringTable(keyBlock, entry.bytes, entry.length, *tables[i])) return 0;
  }
  return 1;
}

int InstallerApp::initialise(HINSTANCE newInstance) {
  AppBase::initialise(newInstance);
  if (!loadTexts()) return 0;
  if (wizard == nullptr) {
    wizard = new (std::nothrow) WizardController(this);
    if (wizard == nullptr) return 0;
  }
  /* result ignored: without the library the wizard's pages cannot be made,
     and the wizard reports that when it starts */
  LoadCommonControls();
  if (!wizard->initialise(instance)) return 0;

  uint32_t language = 0;
  loadText(kFallbackLanguageId, lookupBuffer);
  if (ReadHexNumber(lookupBuffer.WideAt(0), &language)) {
    fallbackLanguageId = static_cast<uint16_t>(language & 0xFFFFu);
  }
  computeVariant();
  computeDecimalOption();
  return 1;
}

void InstallerApp::releaseTables() {
  AppBase::releaseTables();
  supplementaryTable.release();
}

const uint8_t* InstallerApp::findText(uint32_t id) const {
  const uint8_t* record = AppBase::findText(id);
  if (record == nullptr) record = supplementaryTable.find(id);
  return record;
}

// ---- Phases ----------------------------------------------------------------

int InstallerApp::run() {
  if (wizard == nullptr) return 0;
  languageIndex = LanguageIndexFor(GetUserDefaultLangID());
  /* result ignored: the checks below read the fields it fills */
  probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId);
  if (!isSupportedSystem()) {
    showMessage(kUnsupportedSystemMessageId, MB_ICONEXCLAMATION);
    return 0;
  }
  targetLanguageId =
      TargetLanguageFor(versionCode, GetUserDefaultLangID(), fallbackLanguageId);
  // Windows 2000 cannot make the new layout its language's default.
  if (versionCode < kWindowsXp) defaultLanguageFlag = 0;
  if (!checkDesktopUser()) {
    showMessage(kForeignDesktopMessageId, MB_ICONEXCLAMATION);
    return 0;
  }
  if (!activateRunningInstance()) return 0;
  /* result ignored: missing paths surface when files are placed */
  buildPaths();
  associationMatch = checkAssociation(kFileTypeId, kAssociationNeedleId) ? 1 : 0;
  isAdministrator = checkAdministrator() ? 1 : 0;
  if (!isAdministrator) {
    if (relaunchElevated()) return 0;  // the elevated copy goes on
    showMessage(kNotAdministratorMessageId, 0);
    return 1;  // finish still runs; it has nothing to record
  }
  readScancodeMap();
  detectInstallation();
  return wizard->runWizard() ? 1 : 0;
}

void InstallerApp::finish() {
  if (wizard != nullptr) {
    wizard->teardown();
    destroyWizard();
  }
  if (uninstallDone || installDone) recordCompletion();
  releaseTables();
  if (restartRequested) {
    /* result ignored: the program ends either way */
    restartSystem();
  }
}

void InstallerApp::recordCompletion() {
  const uint32_t textId =
      versionCode <= kWindows2000 ? kCompletionTextWindows2000Id : kCompletionTextId;
  /* result ignored: nothing is left to do about a failed write */
  setMachineText(kCompletionKeyId, kCompletionValueId, textId);
}

void InstallerApp::destroyWizard() {
  // Cleared before the delete, so nothing reached from the controller's
  // destructor can find a half-destroyed controller through ownerWindow.
  WizardController* dying = wizard;
  wizard = nullptr;
  delete dying;
}

// ---- Messages --------------------------------------------------------------

int InstallerApp::refuseStart(HINSTANCE newInstance, uint32_t id) {
  AppBase::initialise(newInstance);
  if (!loadTexts()) return 0;
  languageIndex = LanguageIndexFor(GetUserDefaultLangID());
  WString message;
  WString caption;
  loadText(id, message);
  loadText(kMessageBoxCaptionId, caption);
  // No wizard: its frame and fonts would need libraries this start refuses to load.
  /* result ignored: the only button is OK */
  MessageBoxW(nullptr, message.WideAt(0), caption.WideAt(0), MB_ICONSTOP | MB_OK);
  return 1;
}

int InstallerApp::showMessage(uint32_t id, uint32_t flags) {
  return wizard != nullptr ? wizard->showMessage(id, flags) : 0;
}

// ---- Options ---------------------------------------------------------------

int32_t InstallerApp::computeVariant() {
  if (variantIndex >= 0) return variantIndex;
  variantIndex = 0;
  WString needle;
  WString variantText;
  loadText(kVariantNeedleId, needle);
  for (int32_t i = 0; i < kVariantCount; ++i) {
    loadText(kFirstVariantTextId + static_cast<uint32_t>(i), variantText);
    if (variantText.FindWide(needle.WideAt(0), 0, needle.Length()) >= 0) {
      variantIndex = i;
      break;
    }
  }
  return variantIndex;
}

int32_t InstallerApp::computeDecimalOption() {
  if (decimalOption >= 0) return decimalOption;
  const int needed = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, nullptr, 0);
  if (needed <= 0) return -1;
  WString separator;
  WChar* buffer = separator.ReserveWide(needed);
  if (buffer == nullptr) return -1;
  const int written = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, needed);
  if (written <= 0) return -1;
  separator.SetLength(written - 1);  // the count includes the terminator
  separator.Terminate();
  decimalOption = DecimalOptionFor(separator);
  return decimalOption;
}

int32_t InstallerApp::setVariant(int32_t v) {
  if (static_cast<uint32_t>(v) < static_cast<uint32_t>(kVariantCount)) variantIndex = v;
  return v;
}

int32_t InstallerApp::setDecimalOption(int32_t v) {
  if (v == 0 || v == 1) decimalOption = v;
  return v;
}

int32_t InstallerApp::setUpdateOnly(int32_t v) {
  updateOnly = v;
  if (v != 0) pageFlag = 1;
  return v;
}

// ---- Key table -------------------------------------------------------------

const KeyRow* InstallerApp::findStaticKey(uint32_t scanCode) const {
  return FindKeyRow(StaticKeyTable, kStaticKeyRowCount, scanCode);
}

KeyRow* InstallerApp::findKey(uint32_t scanCode) {
  return FindKeyRow(keyTable, keyCount, scanCode);
}

WString* InstallerApp::path(int32_t i) {
  if (i < 0 || i >= kPathCount) return nullptr;
  return &paths[i];
}
