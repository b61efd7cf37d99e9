// Interface language, target language and decimal-key option from the
// user's settings.

#include "app/LocaleChoices.h"

#include "setup/rules/WindowsVersions.h"
#include "text/WString.h"

int32_t LanguageIndexFor(uint16_t userLanguageId) {
  return userLanguageId == kPolishLanguageId ? 1 : 0;
}

uint16_t TargetLanguageFor(int32_t versionCode, uint16_t userLanguageId,
                           uint16_t fallbackLanguageId) {
  return versionCode >= kWindowsVista ? userLanguageId : fallbackLanguageId;
}

int32_t DecimalOptionFor(WString& separator) {
  return separator.CompareWide(WTEXT(","), 1) == 0 ? 0 : 1;
}
