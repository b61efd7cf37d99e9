// The system folder and the Windows folder, and whether a path lies in the
// system folder: what the elevated program may run or load from.

#include "setup/SystemFolders.h"

#include <windows.h>

#include "setup/SystemErrors.h"

namespace {

typedef UINT(WINAPI* FolderQuery)(LPWSTR, UINT);

// Room the folder queries are given; the WOW64 one more, with one character
// beyond it held back.
constexpr UINT kFolderChars = MAX_PATH + 1;
constexpr UINT kWow64FolderChars = 2308;

// `buffer` holds `size` + 1 characters. A result of `size` or more is the room
// the folder would need: refused.
int QueryFolderInto(FolderQuery query, const char* call, WChar* buffer, UINT size,
                    WString& out) {
  out.AssignWide(WTEXT(""), 0);
  if (query == nullptr) return 0;
  const UINT length = query(buffer, size);
  if (length == 0 || length >= size) {
    ReportFailure(call, nullptr,
                  length == 0 ? GetLastError() : ERROR_BUFFER_OVERFLOW);
    return 0;
  }
  buffer[length] = 0;
  if (!out.AssignWide(buffer, static_cast<int32_t>(length))) return 0;
  // "C:\" keeps its backslash; any other folder ends without one.
  if (length > 3 && buffer[length - 1] == L'\\') out.SetLength(static_cast<int32_t>(length) - 1);
  out.Terminate();
  return 1;
}

int QueryFolder(FolderQuery query, const char* call, WString& out) {
  WChar buffer[kFolderChars + 1] = {};
  return QueryFolderInto(query, call, buffer, kFolderChars, out);
}

}  // namespace

int GetSystemFolder(WString& out) {
  return QueryFolder(GetSystemDirectoryW, "GetSystemDirectoryW", out);
}

int GetWindowsFolder(WString& out) {
  return QueryFolder(GetSystemWindowsDirectoryW, "GetSystemWindowsDirectoryW", out);
}

int GetWow64SystemFolder(FARPROC query, WString& out) {
  WChar buffer[kWow64FolderChars + 1] = {};
  return QueryFolderInto(reinterpret_cast<FolderQuery>(reinterpret_cast<void (*)()>(query)),
                         "GetSystemWow64DirectoryW", buffer, kWow64FolderChars, out);
}

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
