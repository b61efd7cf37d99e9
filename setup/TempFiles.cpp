// Temporary-file primitives: the user's temporary folder and a new, empty,
// uniquely named file in it (GetTempFileNameW creates it exclusively).

#include <windows.h>

#include "app/InstallerApp.h"

namespace {

constexpr DWORD kTempPathChars = 772;
constexpr int32_t kTempFileChars = 261;  // MAX_PATH and its terminator

}  // namespace

int InstallerApp::getTempFolder(WString& out) {
  out.AssignWide(WTEXT(""), 0);
  WChar buffer[kTempPathChars] = {};
  // One character held back so the text is terminated even at the limit.
  const DWORD length = GetTempPathW(kTempPathChars - 1, buffer);
  if (length == 0 || length >= kTempPathChars - 1) return 0;
  return out.AssignWide(buffer, static_cast<int32_t>(length));
}

int InstallerApp::makeTempFile(WString& out, uint32_t prefixId, const WChar* folder) {
  out.AssignWide(WTEXT(""), 0);
  if (prefixId == 0) return 0;
  WString prefix;
  if (!loadText(prefixId, prefix)) return 0;
  WString tempFolder;
  if (folder == nullptr) {
    if (!getTempFolder(tempFolder)) return 0;
    folder = tempFolder.WideAt(0);
  }
  WChar buffer[kTempFileChars] = {};
  if (GetTempFileNameW(folder, prefix.WideAt(0), 0, buffer) == 0) return 0;
  buffer[kTempFileChars - 1] = 0;
  return out.AssignWide(buffer, -1);
}
