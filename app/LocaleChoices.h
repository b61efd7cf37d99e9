// The choices the application makes from the user's language and locale
// settings, as pure functions so that every case can be tested.
#pragma once

#include <stdint.h>

class WString;

// Polish (Poland), the language whose user default selects interface language 1.
constexpr uint16_t kPolishLanguageId = 0x0415;

// 1 exactly when the user default language id is 0x0415; 0 for any other id,
// other sublanguages of the same primary language included.
int32_t LanguageIndexFor(uint16_t userLanguageId);

// The language the layout is installed for: the user default language from
// version code 60 on, the product's fallback language before.
uint16_t TargetLanguageFor(int32_t versionCode, uint16_t userLanguageId,
                           uint16_t fallbackLanguageId);

// The decimal-key option for the user's decimal separator: 0 when it is
// exactly ",", 1 for anything else (".", a longer text, an empty text).
int32_t DecimalOptionFor(WString& separator);
