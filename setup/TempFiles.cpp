// Temporary-file primitives: the user's temporary folder, and script files
// for system commands, made where only administrators can write.

#include <windows.h>

#include "app/InstallerApp.h"
#include "setup/SystemFolders.h"

namespace {

constexpr DWORD kTempPathChars = 772;

}  // namespace

int InstallerApp::getTempFolder(WString& out) {
  out.AssignWide(WTEXT(""), 0);
  WChar buffer[kTempPathChars] = {};
  // One character held back so the text is terminated even at the limit.
  const DWORD length = GetTempPathW(kTempPathChars - 1, buffer);
  if (length == 0 || length >= kTempPathChars - 1) return 0;
  return out.AssignWide(buffer, static_cast<int32_t>(length));
}

int InstallerApp::createScriptFile(uint32_t prefixId, WString& text, PrivateScript& script) {
  RemovePrivateScript(script);
  WString prefix;
  if (prefixId == 0 || !loadText(prefixId, prefix) || prefix.IsEmpty()) return 0;
  // Not the user's temporary folder: the user owns it and may swap anything
  // in it. The system's one admits no one else into a folder of ours.
  WString parent;
  if (!GetWindowsFolder(parent) || !parent.AppendPathComponent(WTEXT("Temp"), 4)) return 0;
  const char* bytes = text.ToNarrow(-1);
  if (bytes == nullptr || text.IsEmpty()) return 0;
  return CreatePrivateScript(parent.WideAt(0), prefix.WideAt(0),
                             reinterpret_cast<const uint8_t*>(bytes),
                             static_cast<uint32_t>(text.Length()), script);
}
