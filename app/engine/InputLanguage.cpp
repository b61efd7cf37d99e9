// The user's input languages: the scripts that add the layout to one and remove
// it from every one that has it, run by the system's input-language command.

#include <windows.h>

#include "app/HexNumber.h"
#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/KeyboardLayouts.h"
#include "setup/Pause.h"
#include "setup/PrivateScript.h"
#include "setup/SystemFolders.h"
#include "setup/SystemGuards.h"
#include "setup/rules/InputLanguageScripts.h"
#include "setup/rules/LayoutLanguages.h"

namespace {

// The command returns before the system has applied the script; the
// program gives it this long before it goes on.
constexpr uint32_t kScriptSettleMs = 500;
// The longest the wizard (its controls disabled) waits for the command itself.
constexpr uint32_t kScriptCommandWaitMs = 15000;
// The debugger output shows at most this much of a script.
constexpr int32_t kScriptDumpChars = 0xFFFF;

// Every text of the scripts, looked up for one composition.
struct ScriptTexts {
  WString addScript, addScriptUserList, userList, defaultPart, removeScript, removeScriptLegacy,
      removeLine, removeLineLegacy, layoutName;
  InputScriptTexts view() const {
    return InputScriptTexts{&addScript,    &addScriptUserList,  &userList,
                            &defaultPart,  &removeScript,       &removeScriptLegacy,
                            &removeLine,   &removeLineLegacy,   &layoutName};
  }
};

}  // namespace

int InstallerApp::makeAddLanguageScript(uint16_t languageId, int32_t asDefault, WString& script) {
  ScriptTexts texts;
  // A missing text stays empty; the composition refuses what it needs.
  loadText(kAddScriptId, texts.addScript);
  loadText(kAddScriptWindows8Id, texts.addScriptUserList);
  loadText(kWindows8UserListId, texts.userList);
  loadText(kDefaultFragmentId, texts.defaultPart);
  loadText(kLayoutKeyNameId, texts.layoutName);
  int usesUserList = 0;
  if (!ComposeAddLanguageScript(texts.view(), versionCode, languageId, asDefault, script,
                                &usesUserList)) {
    return 0;
  }
  // The form of Windows 8 and later is shown on the debugger output.
  if (usesUserList) script.DebugDump(kScriptDumpChars);
  return 1;
}

int InstallerApp::makeRemoveLanguageScript(WString& script) {
  ScriptTexts texts;
  loadText(kRemoveScriptId, texts.removeScript);
  loadText(kRemoveScriptLegacyId, texts.removeScriptLegacy);
  loadText(kRemoveLineId, texts.removeLine);
  loadText(kRemoveLineLegacyId, texts.removeLineLegacy);
  loadText(kLayoutKeyNameId, texts.layoutName);
  // The layout's handle carries its Layout Id: the languages whose loaded
  // layouts carry it have this layout, wherever the user added it.
  uint32_t layoutId = 0;
  if (!loadText(kLayoutIdId, lookupBuffer) || !ReadHexNumber(lookupBuffer.WideAt(0), &layoutId)) {
    layoutId = 0;
  }
  int32_t loadedCount = 0;
  BlockGuard loaded(LoadedKeyboardLayouts(loadedCount));
  const int32_t capacity = loadedCount + 1;
  BlockGuard languageBlock(AllocateBlock(static_cast<size_t>(capacity) * sizeof(uint16_t)));
  uint16_t* languages = static_cast<uint16_t*>(languageBlock.get());
  const int32_t languageCount =
      LanguagesWithLayout(static_cast<const uint32_t*>(loaded.get()), loadedCount,
                          static_cast<uint16_t>(layoutId), fallbackLanguageId, languages, capacity);
  return ComposeRemoveLanguageScript(texts.view(), versionCode, languages, languageCount, script);
}

namespace {

// Writes `script` to a private script file and runs the input-language command
// on it, waiting for the command's process to end. The control panel may hand
// the file to another process or read it late: the script stays, with its
// folder, until the restart the sequence asks for, which deletes them (asked for
// before the command runs). 1 = the command was started.
int RunLanguageScript(InstallerApp& app, WString& script, uint32_t settleMs) {
  PrivateScript file;
  if (!app.createScriptFile(kScriptPrefixId, script, file)) return 0;
  KeepPrivateScriptUntilRestart(file);
  WString systemFolder;
  int started = 0;
  if (GetSystemFolder(systemFolder)) {
    started = app.runCommandWaiting(kScriptCommandWaitMs, kScriptCommandId,
                                    systemFolder.WideAt(0), file.path.WideAt(0));
    if (started && settleMs != 0) PauseMilliseconds(settleMs);
  }
  if (started) {
    ReleasePrivateScript(file);
  } else {
    RemovePrivateScript(file);  // the restart then finds nothing left to delete
  }
  return started;
}

}  // namespace

int InstallerApp::addInputLanguage(uint16_t languageId, int32_t asDefault) {
  if (versionCode < kFirstVersionWithAddScript) return 1;
  WString script;
  if (!makeAddLanguageScript(languageId, asDefault, script)) return 0;
  return RunLanguageScript(*this, script, kScriptSettleMs);
}

int InstallerApp::removeInputLanguage() {
  WString script;
  if (!makeRemoveLanguageScript(script)) return 0;
  return RunLanguageScript(*this, script, 0);
}
