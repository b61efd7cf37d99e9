// PayloadTexts: the texts the wizard shows, read from the payload this driver
// carries (the same generated payload as setup.exe's), in either interface language.
#pragma once

#include <stdint.h>

#include <string>

#include "payload/KeyBlock.h"
#include "payload/StringTable.h"

class PayloadTexts {
 public:
  PayloadTexts();
  // 1 = the key and the four string tables loaded; 0 = the payload is damaged.
  int load();
  // The text of `id` as the wizard looks it up in interface language `language`
  // (that language's table, then the common and supplementary tables); empty when
  // no table holds it.
  std::wstring text(int32_t language, uint32_t id) const;
  // Pattern `patternId` with the text of `argumentId` as its one argument, as the
  // pages format their headings and questions.
  std::wstring formatted(int32_t language, uint32_t patternId, uint32_t argumentId) const;
  // The licence of interface language `language`, as the licence box shows it.
  std::wstring licence(int32_t language) const;

 private:
  KeyBlock keyBlock;
  StringTable tables[4];  // common, supplementary, language 0, language 1
};

// A text without carriage returns: edit controls and statics differ in how they
// keep line breaks, and the driver compares words, not line-break conventions.
std::wstring WithoutReturns(const std::wstring& text);
