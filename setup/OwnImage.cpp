// The program's own image: its path, an open handle that pins the file, and a
// copy made from that handle rather than from a path someone else may change.

#include "setup/OwnImage.h"

#include "setup/Files.h"
#include "setup/ImageMatch.h"
#include "setup/MachineChanges.h"
#include "setup/SystemErrors.h"
#include "setup/SystemGuards.h"
#include "text/Memory.h"

namespace {

// Long paths may exceed MAX_PATH; nothing longer than this is a path.
constexpr DWORD kLongestPathChars = 32768;
constexpr DWORD kCopyChunkBytes = 64 * 1024;

}  // namespace

int GetOwnImagePath(WString& out) {
  out.AssignWide(WTEXT(""), 0);
  for (DWORD room = MAX_PATH + 1; room <= kLongestPathChars; room *= 4) {
    WChar* buffer = out.ReserveWide(static_cast<int32_t>(room));
    if (buffer == nullptr) return 0;
    const DWORD length = GetModuleFileNameW(nullptr, buffer, room);
    if (length == 0) {
      ReportLastError("GetModuleFileNameW", nullptr);
      break;
    }
    // A full buffer means a cut path (Windows XP does not even terminate it).
    if (length < room) {
      out.SetLength(static_cast<int32_t>(length));
      out.Terminate();
      return 1;
    }
  }
  out.AssignWide(WTEXT(""), 0);
  return 0;
}

HANDLE OpenOwnImage(const WChar* path, HMODULE module) {
  if (path == nullptr || path[0] == 0 || module == nullptr) return nullptr;
  HandleGuard file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    ReportLastError("CreateFileW", path);
    return nullptr;
  }
  // The file may have been renamed and replaced by a look-alike before it was
  // opened: every byte of it must be the mapped image's.
  uint64_t bytes = 0;
  if (!MatchImageFile(file.get(), module, &bytes)) return nullptr;
  return file.release();
}

int CopyOwnImage(HANDLE image, const WChar* target) {
  if (image == nullptr || image == INVALID_HANDLE_VALUE || target == nullptr || target[0] == 0) {
    return 0;
  }
  // Checked again through the handle the bytes are copied from, which keeps
  // every writer out; exactly the bytes checked are copied.
  uint64_t bytes = 0;
  if (!MatchImageFile(image, GetModuleHandleW(nullptr), &bytes)) return 0;
  if (SetFilePointer(image, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
    ReportLastError("SetFilePointer", target);
    return 0;
  }
  // The copy runs elevated later: it takes the product folders' access.
  HandleGuard copy(CreateProtectedFile(target));
  if (copy.get() == nullptr) return 0;
  BlockGuard chunk(TryAllocateBlock(kCopyChunkBytes));
  if (chunk.get() == nullptr) return 0;
  while (bytes != 0) {
    const DWORD want = bytes < kCopyChunkBytes ? static_cast<DWORD>(bytes) : kCopyChunkBytes;
    DWORD read = 0;
    if (!ReadFile(image, chunk.get(), want, &read, nullptr)) {
      ReportLastError("ReadFile", target);
      return 0;
    }
    if (read == 0) return 0;  // shorter than checked: it cannot be the image
    DWORD written = 0;
    if (!WriteFileBytes(copy.get(), chunk.get(), read, &written, target)) {
      ReportLastError("WriteFile", target);
      return 0;
    }
    if (written != read) return 0;
    bytes -= read;
  }
  return 1;
}

int IsSameFileAsImage(HANDLE image, const WChar* path) {
  if (image == nullptr || image == INVALID_HANDLE_VALUE || path == nullptr || path[0] == 0) {
    return 0;
  }
  // Attributes only: no sharing conflict with the image's own openers.
  HandleGuard other(CreateFileW(path, FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (other.get() == INVALID_HANDLE_VALUE) {
    // Nothing at the path is simply not the image.
    if (!IsAlreadyGone(GetLastError())) ReportLastError("CreateFileW", path);
    return 0;
  }
  BY_HANDLE_FILE_INFORMATION ours = {};
  BY_HANDLE_FILE_INFORMATION theirs = {};
  if (!GetFileInformationByHandle(image, &ours) ||
      !GetFileInformationByHandle(other.get(), &theirs)) {
    ReportLastError("GetFileInformationByHandle", path);
    return 0;
  }
  return (ours.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
          ours.nFileIndexHigh == theirs.nFileIndexHigh &&
          ours.nFileIndexLow == theirs.nFileIndexLow)
             ? 1
             : 0;
}
