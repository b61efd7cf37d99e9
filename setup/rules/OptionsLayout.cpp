// OptionsLayout: the options page's visible controls by version and mode.

#include "setup/rules/OptionsLayout.h"

#include "setup/rules/WindowsVersions.h"

namespace {

constexpr int32_t kFirstLanguageVersion = kWindowsVista;
constexpr int32_t kForcedShortcutsVersion = kWindows8;

}  // namespace

OptionsLayout LayOutOptions(int32_t versionCode, int32_t updateOnly, int32_t defaultLanguageFlag,
                            int32_t finalStepOption, int32_t placementOption) {
  OptionsLayout layout = {};
  const int32_t full = updateOnly ? 0 : 1;
  layout.languageShown = versionCode >= kFirstLanguageVersion && full ? 1 : 0;
  layout.defaultLanguageTicked = layout.languageShown && defaultLanguageFlag ? 1 : 0;
  layout.finalStepShown = full;
  layout.finalStepTicked = full && finalStepOption ? 1 : 0;
  const int32_t forced = versionCode >= kForcedShortcutsVersion ? 1 : 0;
  layout.placementOption = forced ? 1 : placementOption;
  layout.placementShown = full && !forced ? 1 : 0;
  layout.placementTicked = full && layout.placementOption ? 1 : 0;
  return layout;
}
