// Composition of the input-language scripts from their texts: which form the
// system reads, the default part, and one remove line per language.

#include "setup/rules/InputLanguageScripts.h"

#include "text/Format.h"

namespace {

// A wide copy of `text`; 0 when it is missing, empty or malformed.
int WideText(const WString* text, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  if (text == nullptr || text->IsEmpty()) return 0;
  return out.AssignAsWide(text);
}

// A language id as the formats take it: zero-extended from 16 bits.
int32_t LanguageArgument(uint16_t language) { return static_cast<int32_t>(language); }

}  // namespace

int ComposeAddLanguageScript(const InputScriptTexts& texts, int32_t versionCode, uint16_t language,
                             int32_t asDefault, WString& script, int* usesUserList) {
  script.AssignWide(WTEXT(""), 0);
  if (usesUserList != nullptr) *usesUserList = 0;
  if (versionCode < kFirstVersionWithAddScript) return 0;
  WString layout, defaultPart, userList, format;
  if (!WideText(texts.layoutName, layout)) return 0;
  // No default part is an empty text, not a failure.
  if (asDefault != 0 && !WideText(texts.defaultPart, defaultPart)) return 0;
  const bool withUserList =
      versionCode >= kFirstVersionWithUserList && WideText(texts.userList, userList);
  int made = 0;
  if (withUserList) {
    if (!WideText(texts.addScriptUserList, format)) return 0;
    made = Format(&script, format.WideAt(0), userList.WideAt(0), LanguageArgument(language),
                  layout.WideAt(0), defaultPart.WideAt(0), LanguageArgument(language),
                  LanguageArgument(language));
  } else {
    if (!WideText(texts.addScript, format)) return 0;
    made = Format(&script, format.WideAt(0), LanguageArgument(language), layout.WideAt(0),
                  defaultPart.WideAt(0));
  }
  if (!made) {
    script.AssignWide(WTEXT(""), 0);
    return 0;
  }
  if (usesUserList != nullptr) *usesUserList = withUserList ? 1 : 0;
  return 1;
}

int ComposeRemoveLanguageScript(const InputScriptTexts& texts, int32_t versionCode,
                                const uint16_t* languages, int32_t count, WString& script) {
  script.AssignWide(WTEXT(""), 0);
  if (languages == nullptr || count <= 0) return 0;
  const bool vistaForm = versionCode >= kFirstVersionWithAddScript;
  WString layout, lineFormat, format;
  if (!WideText(texts.layoutName, layout) ||
      !WideText(vistaForm ? texts.removeLine : texts.removeLineLegacy, lineFormat) ||
      !WideText(vistaForm ? texts.removeScript : texts.removeScriptLegacy, format)) {
    return 0;
  }
  WString lines, line;
  lines.AssignWide(WTEXT(""), 0);
  for (int32_t i = 0; i < count; ++i) {
    if (!Format(&line, lineFormat.WideAt(0), LanguageArgument(languages[i]), layout.WideAt(0)) ||
        !lines.Append(&line)) {
      return 0;
    }
  }
  const int made = vistaForm ? Format(&script, format.WideAt(0), lines.WideAt(0))
                             : Format(&script, format.WideAt(0), lines.WideAt(0), WTEXT(""));
  if (!made) script.AssignWide(WTEXT(""), 0);
  return made ? 1 : 0;
}
