// input_script_dump (host): composes every input-language script the program
// can write, with the payload's own texts and the engine's composition rules,
// for the checks of check_input_scripts.sh. Reads language ids (hexadecimal,
// one per line, "#" lines skipped) on standard input and writes one JSON object
// per line: the layout's texts first, then each script.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "payload/KeyBlock.h"
#include "payload/PayloadStore.h"
#include "payload/StringIds.h"
#include "payload/StringTable.h"
#include "setup/rules/InputLanguageScripts.h"
#include "setup/rules/LayoutLanguages.h"
#include "text/WString.h"

namespace {

const int32_t kVersions[] = {50, 51, 52, 60, 61, 62};

StringTable gTables[kStoredTableCount];

// The program's lookup order without a language table in front: the scripts
// and the layout's names live in the common and the supplementary tables.
bool Load(uint32_t id, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  for (StoredTable table : {kCommonTableEntry, kSupplementaryTableEntry}) {
    const uint8_t* record = gTables[table].find(id);
    if (record != nullptr) return out.AssignRecord(record) && out.ToWide(-1) != nullptr;
  }
  return false;
}

std::string Json(WString& text) {
  std::string out = "\"";
  const char* bytes = text.ToNarrow(-1);
  for (int32_t i = 0; bytes != nullptr && i < text.Length(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      snprintf(escaped, sizeof(escaped), "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  text.ToWide(-1);
  return out + "\"";
}

}  // namespace

int main() {
  KeyBlock keyBlock(PayloadKeyParameters());
  if (!keyBlock.loadFromImage(kPayloadStore.keyBlock.bytes,
                              static_cast<int32_t>(kPayloadStore.keyBlock.length))) {
    fprintf(stderr, "input_script_dump: the key block does not load\n");
    return 1;
  }
  for (int32_t i = 0; i < kStoredTableCount; ++i) {
    const StoredEntry& entry = kPayloadStore.stringTables[i];
    if (!ExtractStringTable(keyBlock, entry.bytes, entry.length, gTables[i])) {
      fprintf(stderr, "input_script_dump: string table %d does not extract\n", i);
      return 1;
    }
  }
  WString addScript, userListScript, userList, defaultPart, removeScript, removeLegacy, removeLine,
      removeLineLegacy, layout, layoutId, ownLanguage;
  Load(kAddScriptId, addScript);
  Load(kAddScriptWindows8Id, userListScript);
  Load(kWindows8UserListId, userList);
  Load(kDefaultFragmentId, defaultPart);
  Load(kRemoveScriptId, removeScript);
  Load(kRemoveScriptLegacyId, removeLegacy);
  Load(kRemoveLineId, removeLine);
  Load(kRemoveLineLegacyId, removeLineLegacy);
  Load(kLayoutKeyNameId, layout);
  Load(kLayoutIdId, layoutId);
  Load(kFallbackLanguageId, ownLanguage);
  const InputScriptTexts texts = {&addScript,   &userListScript, &userList,
                                  &defaultPart, &removeScript,   &removeLegacy,
                                  &removeLine,  &removeLineLegacy, &layout};
  const uint16_t id = static_cast<uint16_t>(strtoul(layoutId.ToNarrow(-1), nullptr, 16));
  const uint16_t own = static_cast<uint16_t>(strtoul(ownLanguage.ToNarrow(-1), nullptr, 16));
  printf("{\"kind\": \"layout\", \"name\": %s, \"id\": \"%04x\", \"own\": \"%04x\"}\n",
         Json(layout).c_str(), id, own);

  char line[256];
  while (fgets(line, sizeof(line), stdin) != nullptr) {
    if (line[0] == '#' || line[0] == '\n') continue;
    const uint16_t language = static_cast<uint16_t>(strtoul(line, nullptr, 16));
    for (int32_t version : kVersions) {
      for (int32_t asDefault = 0; asDefault <= 1; ++asDefault) {
        WString script;
        int usesUserList = 0;
        const int made = ComposeAddLanguageScript(texts, version, language, asDefault, script,
                                                  &usesUserList);
        printf("{\"kind\": \"add\", \"version\": %d, \"language\": \"%04x\", \"default\": %d, "
               "\"userList\": %d, \"made\": %d, \"script\": %s}\n",
               version, language, asDefault, usesUserList, made, Json(script).c_str());
      }
      // A user who has the layout under this language (and, as loaded layouts
      // go, the US one beside it): the removal names it and the own language.
      const uint32_t ours = static_cast<uint32_t>(kLayoutIdHandleBits | id) << 16;
      const uint32_t loaded[] = {0x04090409u, ours | language};
      uint16_t languages[4] = {};
      const int32_t count = LanguagesWithLayout(loaded, 2, id, own, languages, 4);
      WString script;
      const int made = ComposeRemoveLanguageScript(texts, version, languages, count, script);
      printf("{\"kind\": \"remove\", \"version\": %d, \"language\": \"%04x\", \"made\": %d, "
             "\"script\": %s}\n",
             version, language, made, Json(script).c_str());
    }
  }
  return 0;
}
