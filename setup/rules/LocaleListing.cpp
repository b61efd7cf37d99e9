// LocaleListing: locale strings as numbers and the locales the page lists.

#include "setup/rules/LocaleListing.h"

namespace {

int HexDigit(WChar c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int ParseLocaleId(const WChar* text, uint32_t& id) {
  id = 0;
  if (text == nullptr) return 0;
  while (*text == ' ' || *text == '\t') ++text;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && HexDigit(text[2]) >= 0) text += 2;
  uint64_t value = 0;
  int digits = 0;
  for (; HexDigit(*text) >= 0; ++text, ++digits) {
    value = value * 16 + static_cast<uint64_t>(HexDigit(*text));
    // A longer number is no locale id: refused rather than cut to 32 bits.
    if (value > 0xFFFFFFFFu) return 0;
  }
  if (digits == 0 || value == 0) return 0;
  id = static_cast<uint32_t>(value);
  return 1;
}

int IsLocaleListed(uint32_t localeId, uint16_t selected, const uintptr_t* layouts, int32_t count) {
  // Without the loaded layouts nothing is listed: the list would only mislead.
  if (layouts == nullptr || count <= 0) return 0;
  if (localeId == selected) return 1;
  const uint16_t language = static_cast<uint16_t>(localeId & 0xFFFF);
  for (int32_t i = 0; i < count; ++i) {
    if (static_cast<uint16_t>(layouts[i] & 0xFFFF) == language) return 1;
  }
  return 0;
}
