// PayloadTexts: the payload's string tables and licences, looked up the way the
// application looks them up.
#include "tests/gui/PayloadTexts.h"

#include "payload/PayloadStore.h"
#include "text/Format.h"
#include "text/WString.h"

namespace {

std::wstring Wide(WString& text) {
  const WChar* wide = text.ToWide(text.CodePage());
  return wide == nullptr ? std::wstring() : std::wstring(wide, static_cast<size_t>(text.Length()));
}

}  // namespace

PayloadTexts::PayloadTexts() : keyBlock(PayloadKeyParameters()) {}

int PayloadTexts::load() {
  const PayloadStore& store = kPayloadStore;
  if (!keyBlock.loadFromImage(store.keyBlock.bytes, static_cast<int32_t>(store.keyBlock.length))) {
    return 0;
  }
  for (int32_t i = 0; i < kStoredTableCount; ++i) {
    const StoredEntry& entry = store.stringTables[i];
    if (!ExtractStringTable(keyBlock, entry.bytes, entry.length, tables[i])) return 0;
  }
  return 1;
}

std::wstring PayloadTexts::text(int32_t language, uint32_t id) const {
  const StringTable* order[] = {&tables[kLanguage0TableEntry + (language == 1 ? 1 : 0)],
                                &tables[kCommonTableEntry], &tables[kSupplementaryTableEntry]};
  for (const StringTable* table : order) {
    const uint8_t* record = table->find(id);
    if (record == nullptr) continue;
    WString found;
    if (!found.AssignRecord(record)) return std::wstring();
    return Wide(found);
  }
  return std::wstring();
}

std::wstring PayloadTexts::formatted(int32_t language, uint32_t patternId,
                                     uint32_t argumentId) const {
  const std::wstring pattern = text(language, patternId);
  const std::wstring argument = text(language, argumentId);
  WString result;
  if (!Format(&result, pattern.c_str(), argument.c_str())) return std::wstring();
  return Wide(result);
}

std::wstring PayloadTexts::licence(int32_t language) const {
  const StoredEntry& entry = kPayloadStore.licences[language == 1 ? 1 : 0];
  WString plain;
  if (!keyBlock.extractText(entry.bytes, entry.length, &plain)) return std::wstring();
  return Wide(plain);
}

std::wstring WithoutReturns(const std::wstring& text) {
  std::wstring kept;
  for (wchar_t c : text) {
    if (c != L'\r') kept += c;
  }
  return kept;
}
