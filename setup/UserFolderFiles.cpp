// Removal in folders a user controls (their profile's shell folders) and in the
// shared shell folders: never by a path followed blindly, never at the restart.

#include "setup/Files.h"

#include "setup/Libraries.h"
#include "setup/MachineChanges.h"
#include "setup/SystemErrors.h"
#include "setup/SystemGuards.h"
#include "text/TextPrimitives.h"

namespace {

// Full paths longer than this are refused (the shell folders are MAX_PATH at most).
constexpr DWORD kFullPathChars = 1024;
// Folders held open on the way from the root to the file.
constexpr int32_t kMaxDepth = 48;
typedef BOOL(WINAPI* ProfileDirectoryProc)(HANDLE, LPWSTR, LPDWORD);

// The full form of `path` (".", ".." and doubled separators resolved) into
// `buffer`; its length, or 0.
DWORD FullPath(const WChar* path, WChar* buffer) {
  WChar* name = nullptr;
  const DWORD length = GetFullPathNameW(path, kFullPathChars, buffer, &name);
  if (length == 0) ReportLastError("GetFullPathNameW", path);
  return length == 0 || length >= kFullPathChars ? 0 : length;
}

// The folder at `path`, opened without following a reparse point; read is the
// only sharing, so while it is held nobody renames, deletes or re-points it.
// Null for anything but a plain folder; `missing` tells whether nothing was
// at the name (nor at a folder on the way to it).
HANDLE OpenPlainFolder(const WChar* path, bool& missing) {
  missing = false;
  HandleGuard folder(CreateFileW(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                 nullptr));
  if (folder.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    missing = IsAlreadyGone(error) != 0;
    if (!missing) ReportFailure("CreateFileW", path, error);
    return nullptr;
  }
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!GetFileInformationByHandle(folder.get(), &info)) {
    ReportLastError("GetFileInformationByHandle", path);
    return nullptr;
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return nullptr;
  }
  return folder.release();
}

// Deletes the file behind `file` (opened with DELETE) at its close; 1 = marked.
int DeleteThroughHandle(HANDLE file, const WChar* path) {
  const LONG result = MarkForDeletionAtClose(file, path);
  if (result >= 0) return 1;
  ReportFailure("NtSetInformationFile", path, static_cast<DWORD>(result));
  return 0;
}

}  // namespace

int RemoveFileInside(const WChar* root, const WChar* path) {
  if (root == nullptr || root[0] == 0 || path == nullptr || path[0] == 0) return 0;
  WChar rootFull[kFullPathChars], full[kFullPathChars];
  DWORD rootLength = FullPath(root, rootFull);
  const DWORD length = FullPath(path, full);
  if (rootLength < 3 || length == 0) return 0;
  if (rootFull[rootLength - 1] == WTEXT('\\')) rootFull[--rootLength] = 0;
  // Inside means below the root's last component: C:\Users\bob2 is not in C:\Users\bob.
  if (length <= rootLength + 1 || full[rootLength] != WTEXT('\\')) return 0;
  for (DWORD i = 0; i < rootLength; ++i) {
    if (ToUpperChar(full[i]) != ToUpperChar(rootFull[i])) return 0;
  }
  // Every folder from the root down is opened and held, so the path the file
  // is opened by runs through exactly the folders checked.
  HandleGuard held[kMaxDepth];
  int32_t depth = 0;
  for (DWORD at = rootLength; at < length; ++at) {
    if (full[at] != WTEXT('\\')) continue;
    if (depth == kMaxDepth) return 0;
    full[at] = 0;
    bool missing = false;
    *held[depth].out() = OpenPlainFolder(full, missing);
    full[at] = WTEXT('\\');
    // A missing folder on the way holds no file: nothing is left to delete.
    if (held[depth].get() == nullptr) return missing ? 1 : 0;
    ++depth;
  }
  if (full[length - 1] == WTEXT('\\')) return 0;
  HandleGuard file(CreateFileW(full, DELETE | FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (IsAlreadyGone(error)) return 1;
    ReportFailure("CreateFileW", full, error);
    return 0;
  }
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!GetFileInformationByHandle(file.get(), &info)) {
    ReportLastError("GetFileInformationByHandle", full);
    return 0;
  }
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return 0;
  }
  return DeleteThroughHandle(file.get(), full);
}

int RemoveFileBeside(const WChar* planned, const WChar* path) {
  if (planned == nullptr || planned[0] == 0) return 0;
  WChar folder[kFullPathChars];
  WChar* name = nullptr;
  const DWORD length = GetFullPathNameW(planned, kFullPathChars, folder, &name);
  if (length == 0) ReportLastError("GetFullPathNameW", planned);
  if (length == 0 || length >= kFullPathChars || name == nullptr || name == folder) return 0;
  name[0] = 0;
  return RemoveFileInside(folder, path);
}

int GetUserProfileFolder(WString& out) {
  out.AssignWide(WTEXT(""), 0);
  HandleGuard token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.out())) {
    ReportLastError("OpenProcessToken", nullptr);
    return 0;
  }
  ModuleGuard userenv(LoadSystemLibrary(WTEXT("userenv.dll")));
  if (userenv.get() == nullptr) return 0;
  ProfileDirectoryProc profileDirectory = reinterpret_cast<ProfileDirectoryProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(userenv.get(), "GetUserProfileDirectoryW")));
  if (profileDirectory == nullptr) return 0;
  // The system's profile list names the folder; the environment would let the
  // user choose it.
  WChar buffer[kFullPathChars] = {};
  DWORD size = kFullPathChars - 1;
  if (!profileDirectory(token.get(), buffer, &size)) {
    ReportLastError("GetUserProfileDirectoryW", nullptr);
    return 0;
  }
  buffer[kFullPathChars - 1] = 0;
  return out.AssignWide(buffer, -1);
}
