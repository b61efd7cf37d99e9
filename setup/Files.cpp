// File and folder primitives: output files, writing bytes and UTF-8 text,
// shell folders, removal (scheduled for the next restart when a file is in use).

#include "setup/Files.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include "setup/MachineChanges.h"
#include "setup/ShellLibraries.h"
#include "setup/SystemErrors.h"
#include "setup/SystemGuards.h"
#include "text/Format.h"

namespace {

// SHGetSpecialFolderPathW writes at most MAX_PATH characters.
constexpr int32_t kShellPathChars = 261;
constexpr DWORD kTempPathChars = 772;

bool IsEmptyPath(const WChar* path) { return path == nullptr || path[0] == 0; }

// The product folders' access: owned by Administrators; the system and
// administrators full control, users read and execute; nothing inherited from
// the parent, so a folder someone made first keeps none of their rights.
const WChar kProductAccess[] =
    WTEXT("O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");

// The product access as a descriptor (LocalFree), or null.
PSECURITY_DESCRIPTOR ProductAccessDescriptor() {
  PSECURITY_DESCRIPTOR made = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kProductAccess, SDDL_REVISION_1,
                                                            &made, nullptr)) {
    ReportLastError("ConvertStringSecurityDescriptorToSecurityDescriptorW", kProductAccess);
    return nullptr;
  }
  return made;
}

// Gives the object behind `handle` (opened with WRITE_DAC and WRITE_OWNER) at
// `path` the product access, replacing its owner and every entry it had. 1 = set.
int SetProductAccess(HANDLE handle, const WChar* path) {
  LocalGuard descriptor(ProductAccessDescriptor());
  if (descriptor.get() == nullptr) return 0;
  PSID owner = nullptr;
  PACL dacl = nullptr;
  BOOL ownerDefaulted = FALSE, present = FALSE, daclDefaulted = FALSE;
  if (!GetSecurityDescriptorOwner(descriptor.get(), &owner, &ownerDefaulted) ||
      !GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &daclDefaulted)) {
    ReportLastError("GetSecurityDescriptorDacl", kProductAccess);
    return 0;
  }
  if (owner == nullptr || !present || dacl == nullptr) return 0;
  const DWORD result = SetFileOwnerAndAccess(handle, path, owner, dacl);
  if (result == ERROR_SUCCESS) return 1;
  ReportFailure("SetSecurityInfo", path, result);
  return 0;
}

// A new file at `path` for writing, made with `access` (null: inherited). What is
// at the name goes first by its name alone, so a link or a second name (a hard
// link to a system file) is removed rather than written through, and the
// exclusive creation never follows one placed meanwhile. Null on failure.
HANDLE OpenOutputFile(const WChar* path, PSECURITY_DESCRIPTOR access) {
  if (IsEmptyPath(path)) return nullptr;
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), access, FALSE};
  for (int attempt = 0; attempt < 2; ++attempt) {
    HANDLE file = CreateNewFile(path, GENERIC_WRITE, access != nullptr ? &attributes : nullptr,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (attempt != 0 || error != ERROR_FILE_EXISTS) {
      ReportFailure("CreateFileW", path, error);
      break;
    }
    if (!DeleteFileByName(path)) {
      ReportLastError("DeleteFileW", path);
      break;
    }
  }
  return nullptr;
}

}  // namespace

HANDLE CreateOutputFile(const WChar* path) { return OpenOutputFile(path, nullptr); }

HANDLE CreateProtectedFile(const WChar* path) {
  LocalGuard descriptor(ProductAccessDescriptor());
  if (descriptor.get() == nullptr) return nullptr;
  return OpenOutputFile(path, descriptor.get());
}

int IsPlainFileOrFree(const WChar* path) {
  if (IsEmptyPath(path)) return 0;
  HandleGuard file(CreateFileW(path, FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return 1;
    ReportLastError("CreateFileW", path);
    return 0;
  }
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!GetFileInformationByHandle(file.get(), &info)) {
    ReportLastError("GetFileInformationByHandle", path);
    return 0;
  }
  return (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0 &&
                 info.nNumberOfLinks <= 1
             ? 1
             : 0;
}

uint64_t FileSizeOf(const WChar* path) {
  if (IsEmptyPath(path)) return 0;
  HandleGuard file(CreateFileW(path, FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info = {};
  if (file.get() == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(file.get(), &info)) {
    return 0;
  }
  return static_cast<uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
}

int WriteBytes(HANDLE file, const uint8_t* bytes, uint32_t count) {
  if (file == nullptr || file == INVALID_HANDLE_VALUE || bytes == nullptr || count == 0) return 0;
  DWORD written = 0;
  if (!WriteFileBytes(file, bytes, count, &written, nullptr)) {
    ReportLastError("WriteFile", nullptr);
    return 0;
  }
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
  if (!GetShellSpecialFolderPath(owner, buffer, csidl, FALSE)) {
    const DWORD error = GetLastError();
    WString folder;
    /* result ignored: an empty argument still names the call */
    Format(&folder, WTEXT("csidl %d"), csidl);
    ReportFailure("SHGetSpecialFolderPathW", folder.WideAt(0), error);
    return 0;
  }
  buffer[kShellPathChars - 1] = 0;
  return out.AssignWide(buffer, -1);
}

int GetTempFolder(WString& out) {
  out.AssignWide(WTEXT(""), 0);
  WChar buffer[kTempPathChars] = {};
  // One character held back so the text is terminated even at the limit.
  const DWORD length = GetTempPathW(kTempPathChars - 1, buffer);
  if (length == 0 || length >= kTempPathChars - 1) {
    ReportFailure("GetTempPathW", nullptr, length == 0 ? GetLastError() : ERROR_BUFFER_OVERFLOW);
    return 0;
  }
  return out.AssignWide(buffer, static_cast<int32_t>(length));
}

int RemoveFile(const WChar* path) {
  if (IsEmptyPath(path)) return 0;
  if (DeleteFileByName(path) || IsAlreadyGone(GetLastError())) return 1;
  // In use: never fought over, deleted when Windows next starts.
  if (MoveFileWithFlags(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return 1;
  ReportLastError("MoveFileExW", path);
  return 0;
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
  if (RemoveFolder(wide.WideAt(0))) return 1;
  const DWORD error = GetLastError();
  if (IsAlreadyGone(error)) return 1;
  // A folder that still holds anything stays: what the caller expects.
  if (error != ERROR_DIR_NOT_EMPTY) ReportFailure("RemoveDirectoryW", wide.WideAt(0), error);
  return 0;
}

int EnsureFolder(const WChar* path) {
  if (IsEmptyPath(path)) return 0;
  {
    LocalGuard descriptor(ProductAccessDescriptor());
    if (descriptor.get() == nullptr) return 0;
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.get(), FALSE};
    if (CreateFolder(path, &attributes)) return 1;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      ReportLastError("CreateDirectoryW", path);
      return 0;
    }
  }
  // One that exists is taken only as a real folder, and only with our access:
  // whoever made it first keeps no right to place files in it.
  HandleGuard folder(CreateFileW(path, READ_CONTROL | WRITE_DAC | WRITE_OWNER,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                 nullptr));
  if (folder.get() == INVALID_HANDLE_VALUE) {
    ReportLastError("CreateFileW", path);
    return 0;
  }
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!GetFileInformationByHandle(folder.get(), &info)) {
    ReportLastError("GetFileInformationByHandle", path);
    return 0;
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return 0;
  }
  return SetProductAccess(folder.get(), path);
}

int DeleteFileNow(const WChar* path) {
  if (IsEmptyPath(path)) return 0;
  if (DeleteFileByName(path)) return 1;
  const DWORD error = GetLastError();
  if (IsAlreadyGone(error)) return 1;
  ReportFailure("DeleteFileW", path, error);
  return 0;
}

int ScheduleReplacementAtRestart(const WChar* staging, const WChar* target) {
  if (IsEmptyPath(staging) || IsEmptyPath(target)) return 0;
  if (MoveFileWithFlags(staging, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
    return 1;
  }
  ReportLastError("MoveFileExW", staging);
  return 0;
}

int ScheduleRemovalAtRestart(const WChar* path) {
  if (IsEmptyPath(path)) return 0;
  if (MoveFileWithFlags(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return 1;
  const DWORD error = GetLastError();
  if (IsAlreadyGone(error)) return 1;
  ReportFailure("MoveFileExW", path, error);
  return 0;
}
