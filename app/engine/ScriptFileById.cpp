// createScriptFile: the script file of a system command, named after a text.
// In a file of its own: the linker takes a whole object file into setup.exe
// once any function in it is used, and only the install sequences make scripts.

#include <windows.h>

#include "app/InstallerApp.h"
#include "setup/PrivateScript.h"
#include "setup/SystemFolders.h"

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
