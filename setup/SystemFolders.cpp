// The system folder and the Windows folder, and whether a path lies in the
// system folder: what the elevated program may run or load from.

#include "setup/SystemFolders.h"

#include <windows.h>

namespace {

typedef UINT(WINAPI* FolderQuery)(LPWSTR, UINT);

int QueryFolder(FolderQuery query, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  WChar buffer[MAX_PATH + 1] = {};
  const UINT length = query(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return 0;
  if (!out.AssignWide(buffer, static_cast<int32_t>(length))) return 0;
  // "C:\" keeps its backslash; any other folder ends without one.
  if (length > 3 && buffer[length - 1] == L'\\') out.SetLength(static_cast<int32_t>(length) - 1);
  out.Terminate();
  return 1;
}

}  // namespace

int GetSystemFolder(WString& out) { return QueryFolder(GetSystemDirectoryW, out); }

int GetWindowsFolder(WString& out) { return QueryFolder(GetSystemWindowsDirectoryW, out); }

int IsInSystemFolder(const WChar* path) {
  if (path == nullptr) return 0;
  WString folder;
  if (!GetSystemFolder(folder)) return 0;
  WString candidate;
  if (!candidate.AssignWide(path, -1) || candidate.IsEmpty()) return 0;
  if (candidate.FindWide(WTEXT("\\."), 0, 2) >= 0 || candidate.FindWide(WTEXT("/"), 0, 1) >= 0) {
    return 0;
  }
  const int32_t last = candidate.FindLastChar(WTEXT('\\'), 0);
  if (last <= 0 || last + 1 >= candidate.Length()) return 0;
  // Compared upper-cased: the system and the shell spell the folder as they like.
  WString parent;
  if (!parent.AssignWide(candidate.WideAt(0), last)) return 0;
  if (!parent.ToUpper() || !folder.ToUpper()) return 0;
  return parent.CompareWide(folder.WideAt(0), folder.Length()) == 0 ? 1 : 0;
}
