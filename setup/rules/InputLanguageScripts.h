// The scripts the system's input-language command runs: adding the layout to
// the user's input languages and removing it again, composed from their texts.
#pragma once

#include <stdint.h>

#include "setup/rules/WindowsVersions.h"
#include "text/WString.h"

// From Windows Vista on the layout is added through a script; before, only
// the removal script runs.
constexpr int32_t kFirstVersionWithAddScript = kWindowsVista;
// From Windows 8 on the add script names its user list (when there is one).
constexpr int32_t kFirstVersionWithUserList = kWindows8;

// The texts of the scripts, each wide or narrow; a null or empty text counts as
// missing. The formats' arguments are given beside each.
struct InputScriptTexts {
  const WString* addScript;           // language id, layout, default part
  const WString* addScriptUserList;   // user list, language id, layout, default part,
                                      // language id twice
  const WString* userList;            // the user list of the second form
  const WString* defaultPart;         // marks the added layout as the language's default
  const WString* removeScript;        // the remove lines
  const WString* removeScriptLegacy;  // the remove lines, then one more text (empty)
  const WString* removeLine;          // language id, layout: one remove line
  const WString* removeLineLegacy;    // language id, layout: one line of the older form
  const WString* layoutName;          // the layout's key name in the system's list
};

// The add script for `language` on Windows `versionCode`: the user-list form
// from Windows 8 on when the user list is not empty, else the plain form; the
// default part only when `asDefault` is not 0. *usesUserList (may be null) says
// which form was made. 1 = `script` holds it (wide); 0 = `script` empty: before
// Windows Vista (nothing to add), or a text missing or malformed.
int ComposeAddLanguageScript(const InputScriptTexts& texts, int32_t versionCode, uint16_t language,
                             int32_t asDefault, WString& script, int* usesUserList);

// The removal script for Windows `versionCode`, with one remove line per entry
// of `languages` (`count` of them), in that order: the Windows Vista form from
// version 60 on, the older form before. 1 = `script` holds it (wide); 0 =
// `script` empty: a text missing or malformed, or no language given.
int ComposeRemoveLanguageScript(const InputScriptTexts& texts, int32_t versionCode,
                                const uint16_t* languages, int32_t count, WString& script);
