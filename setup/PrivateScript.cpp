// Script files for the system's input-language command: an administrators-only
// folder of their own, exclusive creation, and a handle that pins the file.

#include "setup/PrivateScript.h"

#include <sddl.h>

#include "setup/Files.h"
#include "setup/MachineChanges.h"
#include "setup/SystemErrors.h"
#include "setup/SystemGuards.h"
#include "text/Format.h"

namespace {

// Full control for the Administrators group and the system, nothing inherited
// from the parent (where users may create files).
const WChar kAdministratorsOnly[] = WTEXT("D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)");
// Enough tries to step over names someone placed in the way.
constexpr uint32_t kFolderAttempts = 64;

// A new folder of ours under `parent`; an existing one (a file, a folder or a
// link someone made) is never taken over. 1 = made, its path in `folder`.
int MakeOwnFolder(const WChar* parent, const WChar* prefix, WString& folder) {
  // Freed with LocalFree, as the conversion asks.
  PSECURITY_DESCRIPTOR made = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdministratorsOnly, SDDL_REVISION_1,
                                                            &made, nullptr)) {
    ReportLastError("ConvertStringSecurityDescriptorToSecurityDescriptorW",
                    kAdministratorsOnly);
    return 0;
  }
  LocalGuard descriptor(made);
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.get(), FALSE};
  for (uint32_t attempt = 0; attempt < kFolderAttempts; ++attempt) {
    WString name;
    if (!Format(&name, WTEXT("%s%x-%u"), prefix, static_cast<unsigned>(GetCurrentProcessId()),
                static_cast<unsigned>(attempt))) {
      return 0;
    }
    if (!folder.AssignWide(parent, -1) || !folder.AppendPathComponent(name.WideAt(0), name.Length())) {
      return 0;
    }
    if (CreateFolder(folder.WideAt(0), &attributes)) return 1;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      ReportLastError("CreateDirectoryW", folder.WideAt(0));
      break;
    }
  }
  folder.AssignWide(WTEXT(""), 0);
  return 0;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// Writes the new file and reopens it for reading. The handle, or null.
HANDLE WriteAndPin(const WChar* path, const uint8_t* bytes, uint32_t count) {
  BY_HANDLE_FILE_INFORMATION written = {};
  {
    // CREATE_NEW: a file or link already at the name is never written through.
    HandleGuard file(CreateNewFile(path, GENERIC_WRITE, nullptr, FILE_ATTRIBUTE_NORMAL));
    if (file.get() == INVALID_HANDLE_VALUE) {
      ReportLastError("CreateFileW", path);
      return nullptr;
    }
    DWORD done = 0;
    if (!WriteFileBytes(file.get(), bytes, count, &done, path)) {
      ReportLastError("WriteFile", path);
      return nullptr;
    }
    if (done != count) return nullptr;
    if (!GetFileInformationByHandle(file.get(), &written)) {
      ReportLastError("GetFileInformationByHandle", path);
      return nullptr;
    }
  }
  // A reader may refuse to share with a writer, so the command gets a file
  // held only for reading. The folder admits nobody else in between, and the
  // identity check shows it is still the file just written.
  HandleGuard pinned(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (pinned.get() == INVALID_HANDLE_VALUE) {
    ReportLastError("CreateFileW", path);
    return nullptr;
  }
  BY_HANDLE_FILE_INFORMATION reopened = {};
  if (!GetFileInformationByHandle(pinned.get(), &reopened)) {
    ReportLastError("GetFileInformationByHandle", path);
    return nullptr;
  }
  if (!SameFile(written, reopened)) return nullptr;
  return pinned.release();
}

// Deletes now, or at the next restart when something still holds it.
void DeleteOrSchedule(const WString& path, bool isFolder) {
  if (path.IsEmpty()) return;
  const BOOL gone = isFolder ? RemoveFolder(path.WideAt(0)) : DeleteFileByName(path.WideAt(0));
  if (gone || IsAlreadyGone(GetLastError())) return;
  // Nothing more can be done for a leftover in our own folder than to say so.
  if (!MoveFileWithFlags(path.WideAt(0), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    ReportLastError("MoveFileExW", path.WideAt(0));
  }
}

// Lets go of the handle that pins the file.
void ReleaseScriptHandle(PrivateScript& script) {
  if (script.file == nullptr) return;
  /* result ignored: the handle is gone either way */ CloseHandle(script.file);
  script.file = nullptr;
}

}  // namespace

int CreatePrivateScript(const WChar* parent, const WChar* prefix, const uint8_t* bytes,
                        uint32_t count, PrivateScript& script) {
  RemovePrivateScript(script);
  if (parent == nullptr || parent[0] == 0 || prefix == nullptr || bytes == nullptr || count == 0) {
    return 0;
  }
  if (!MakeOwnFolder(parent, prefix, script.folder)) return 0;
  WString name;
  if (!Format(&name, WTEXT("%s.tmp"), prefix) || !script.path.Assign(&script.folder) ||
      !script.path.AppendPathComponent(name.WideAt(0), name.Length())) {
    RemovePrivateScript(script);
    return 0;
  }
  script.file = WriteAndPin(script.path.WideAt(0), bytes, count);
  if (script.file == nullptr) {
    RemovePrivateScript(script);
    return 0;
  }
  return 1;
}

void KeepPrivateScriptUntilRestart(const PrivateScript& script) {
  // The file first: the system removes a folder only once it is empty. A
  // refusal is reported, and the leftover is in our own folder.
  if (!script.path.IsEmpty()) {
    /* result ignored: reported */ ScheduleRemovalAtRestart(script.path.WideAt(0));
  }
  if (!script.folder.IsEmpty()) {
    /* result ignored: reported */ ScheduleRemovalAtRestart(script.folder.WideAt(0));
  }
}

void ReleasePrivateScript(PrivateScript& script) {
  ReleaseScriptHandle(script);
  script.path.AssignWide(WTEXT(""), 0);
  script.folder.AssignWide(WTEXT(""), 0);
}

void RemovePrivateScript(PrivateScript& script) {
  ReleaseScriptHandle(script);
  // The file is removed only when this run made it (the path is set once made
  // or about to be made exclusively in our own folder).
  DeleteOrSchedule(script.path, false);
  DeleteOrSchedule(script.folder, true);
  script.path.AssignWide(WTEXT(""), 0);
  script.folder.AssignWide(WTEXT(""), 0);
}
