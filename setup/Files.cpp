// File and folder primitives: output files, writing bytes and UTF-8 text,
// shell folders, removal (scheduled for the next restart when a file is in use).

#include "setup/Files.h"

#include <shlobj.h>

#include "setup/ShellLibraries.h"

namespace {

// SHGetSpecialFolderPathW writes at most MAX_PATH characters.
constexpr int32_t kShellPathChars = 261;
constexpr DWORD kTempPathChars = 772;

bool IsEmptyPath(const WChar* path) { return path == nullptr || path[0] == 0; }

}  // namespace

HANDLE CreateOutputFile(const WChar* path) {
  if (IsEmptyPath(path)) return nullptr;
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

int WriteBytes(HANDLE file, const uint8_t* bytes, uint32_t count) {
  if (file == nullptr || file == INVALID_HANDLE_VALUE || bytes == nullptr || count == 0) return 0;
  DWORD written = 0;
  if (!WriteFile(file, bytes, count, &written, nullptr)) return 0;
  return written == count ? 1 : 0;
}

int WriteNarrowText(HANDLE file, WString& text) {
  if (file == nullptr || file == INVALID_HANDLE_VALUE || text.IsEmpty()) return 0;
  // UTF-8 in place; a text that is not valid UTF-16 cannot be written.
  const char* narrow = text.ToNarrow(-1);
  if (narrow == nullptr) return 0;
  return WriteBytes(file, reinterpret_cast<const uint8_t*>(narrow),
                    static_cast<uint32_t>(text.Length()));
}

int GetSpecialFolder(HWND owner, int csidl, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  WChar buffer[kShellPathChars] = {};
  if (!GetShellSpecialFolderPath(owner, buffer, csidl, FALSE)) return 0;
  buffer[kShellPathChars - 1] = 0;
  return out.AssignWide(buffer, -1);
}

int GetTempFolder(WString& out) {
  out.AssignWide(WTEXT(""), 0);
  WChar buffer[kTempPathChars] = {};
  // One character held back so the text is terminated even at the limit.
  const DWORD length = GetTempPathW(kTempPathChars - 1, buffer);
  if (length == 0 || length >= kTempPathChars - 1) return 0;
  return out.AssignWide(buffer, static_cast<int32_t>(length));
}

int RemoveFile(const WChar* path) {
  if (IsEmptyPath(path)) return 0;
  if (DeleteFileW(path)) return 1;
  // Already gone is what the caller wanted.
  if (GetLastError() == ERROR_FILE_NOT_FOUND) return 1;
  // In use: never fought over, deleted when Windows next starts.
  return MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? 1 : 0;
}

int RemoveFileText(const WString& path) {
  // A narrow (UTF-8) path names the same file as its wide form.
  WString wide;
  if (path.IsEmpty() || !wide.AssignAsWide(&path)) return 0;
  return RemoveFile(wide.WideAt(0));
}

int RemoveFolderText(const WString& path) {
  WString wide;
  if (path.IsEmpty() || !wide.AssignAsWide(&path)) return 0;
  // Fails on a folder that still holds anything, which then stays.
  return RemoveDirectoryW(wide.WideAt(0)) ? 1 : 0;
}

int EnsureFolder(const WChar* path) {
  if (IsEmptyPath(path)) return 0;
  if (CreateDirectoryW(path, nullptr)) return 1;
  return GetLastError() == ERROR_ALREADY_EXISTS ? 1 : 0;
}

int DeleteFileNow(const WChar* path) {
  if (IsEmptyPath(path)) return 0;
  return DeleteFileW(path) ? 1 : 0;
}

int ScheduleReplacementAtRestart(const WChar* staging, const WChar* target) {
  if (IsEmptyPath(staging) || IsEmptyPath(target)) return 0;
  return MoveFileExW(staging, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT) ? 1
                                                                                              : 0;
}

int ScheduleRemovalAtRestart(const WChar* path) {
  if (IsEmptyPath(path)) return 0;
  return MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? 1 : 0;
}
