// WizardController: the pages' road to the application object. Each forwarder
// reads or writes one field or calls one operation; the controller adds no logic.

#include "app/InstallerApp.h"
#include "ui/WizardController.h"

namespace {

// Path slot of the target language's display name.
constexpr int32_t kTargetLanguageNameSlot = 0;

}  // namespace

int32_t WizardController::wizardStep() const { return app != nullptr ? app->getWizardStep() : -1; }

void WizardController::setWizardStep(int32_t step) {
  if (app != nullptr) app->setWizardStep(step);
}

int32_t WizardController::versionCode() const { return app != nullptr ? app->getVersionCode() : 0; }

int32_t WizardController::installedVersion() const {
  return app != nullptr ? app->getInstalledVersion() : 0;
}

int32_t WizardController::isAdministrator() const {
  return app != nullptr ? app->getIsAdministrator() : 0;
}

int32_t WizardController::associationMatch() const {
  return app != nullptr ? app->getAssociationMatch() : 0;
}

int32_t WizardController::uninstallDone() const {
  return app != nullptr ? app->getUninstallDone() : 0;
}

int32_t WizardController::languageIndex() const {
  return app != nullptr ? app->getLanguageIndex() : 0;
}

int WizardController::setLanguageIndex(int32_t index) {
  return app != nullptr ? app->setLanguageIndex(index) : 0;
}

uint16_t WizardController::targetLanguageId() const {
  return app != nullptr ? app->getTargetLanguageId() : 0;
}

void WizardController::setTargetLanguageId(uint16_t id) {
  if (app != nullptr) app->setTargetLanguageId(id);
}

const WString* WizardController::targetLanguageName() const {
  return app != nullptr ? app->path(kTargetLanguageNameSlot) : nullptr;
}

int WizardController::setTargetLanguageName(const WChar* name) {
  WString* slot = app != nullptr ? app->path(kTargetLanguageNameSlot) : nullptr;
  if (slot == nullptr || name == nullptr) return 0;
  return slot->AssignWide(name, -1);
}

int32_t WizardController::defaultLanguageFlag() const {
  return app != nullptr ? app->getDefaultLanguageFlag() : 0;
}

void WizardController::setDefaultLanguageFlag(int32_t flag) {
  if (app != nullptr) app->setDefaultLanguageFlag(flag);
}

int32_t WizardController::finalStepOption() const {
  return app != nullptr ? app->getFinalStepOption() : 0;
}

void WizardController::setFinalStepOption(int32_t flag) {
  if (app != nullptr) app->setFinalStepOption(flag);
}

int32_t WizardController::placementOption() const {
  return app != nullptr ? app->getPlacementOption() : 0;
}

void WizardController::setPlacementOption(int32_t flag) {
  if (app != nullptr) app->setPlacementOption(flag);
}

int32_t WizardController::updateOnly() const { return app != nullptr ? app->getUpdateOnly() : 0; }

int32_t WizardController::setUpdateOnly(int32_t value) {
  return app != nullptr ? app->setUpdateOnly(value) : value;
}

int32_t WizardController::computeVariant() { return app != nullptr ? app->computeVariant() : 0; }

int32_t WizardController::setVariant(int32_t value) {
  return app != nullptr ? app->setVariant(value) : value;
}

int32_t WizardController::computeDecimalOption() {
  return app != nullptr ? app->computeDecimalOption() : -1;
}

int32_t WizardController::setDecimalOption(int32_t value) {
  return app != nullptr ? app->setDecimalOption(value) : value;
}

int32_t WizardController::clearRecordedOption() {
  if (app != nullptr) app->clearRecordedOption();
  return 0;
}

int32_t WizardController::pageFlag() const { return app != nullptr ? app->getPageFlag() : 0; }

void WizardController::setPageFlag(int32_t flag) {
  if (app != nullptr) app->setPageFlag(flag);
}

void WizardController::setRestartRequested(int32_t flag) {
  if (app != nullptr) app->setRestartRequested(flag);
}

KeyRow* WizardController::findKey(uint32_t scanCode) {
  return app != nullptr ? app->findKey(scanCode) : nullptr;
}

const KeyRow* WizardController::findStaticKey(uint32_t scanCode) const {
  return app != nullptr ? app->findStaticKey(scanCode) : nullptr;
}

int WizardController::normaliseKeyTable() { return app != nullptr ? app->normaliseKeyTable() : 0; }

int WizardController::runInstall() { return app != nullptr ? app->runInstall() : 0; }

int WizardController::runUninstall() { return app != nullptr ? app->runUninstall() : 0; }

int WizardController::runSystemCommand(uint32_t formatId, const WChar* argument) {
  return app != nullptr ? app->runSystemCommand(formatId, argument) : 0;
}

int WizardController::licenceText(WString& out) {
  out.AssignWide(WTEXT(""), 0);
  return app != nullptr ? app->licenceText(out) : 0;
}
