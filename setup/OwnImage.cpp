// The program's own image: its path, an open handle that pins the file, and a
// copy made from that handle rather than from a path someone else may change.

#include "setup/OwnImage.h"

#include <stddef.h>

#include "setup/Files.h"
#include "setup/SystemGuards.h"
#include "text/Memory.h"

namespace {

// Long paths may exceed MAX_PATH; nothing longer than this is a path.
constexpr DWORD kLongestPathChars = 32768;
constexpr DWORD kCopyChunkBytes = 64 * 1024;

// The loader writes the base it chose into the mapped header; the file keeps
// the preferred one. Every other header byte must agree.
bool HeadersMatch(const uint8_t* file, const uint8_t* mapped, DWORD size) {
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(mapped);
  const DWORD ntOffset = static_cast<DWORD>(dos->e_lfanew);
  const DWORD baseOffset = ntOffset + offsetof(IMAGE_NT_HEADERS, OptionalHeader) +
                           offsetof(IMAGE_OPTIONAL_HEADER, ImageBase);
  for (DWORD i = 0; i < size; ++i) {
    const bool inBase = i >= baseOffset && i < baseOffset + sizeof(DWORD);
    if (!inBase && file[i] != mapped[i]) return false;
  }
  return true;
}

// SizeOfHeaders of the mapped image, or 0 when its headers look wrong.
DWORD MappedHeaderSize(HMODULE module) {
  const uint8_t* base = reinterpret_cast<const uint8_t*>(module);
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 || dos->e_lfanew > 4096) return 0;
  const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return 0;
  const DWORD size = nt->OptionalHeader.SizeOfHeaders;
  const DWORD needed = static_cast<DWORD>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS);
  return (size >= needed && size <= 0x10000) ? size : 0;
}

}  // namespace

int GetOwnImagePath(WString& out) {
  out.AssignWide(WTEXT(""), 0);
  for (DWORD room = MAX_PATH + 1; room <= kLongestPathChars; room *= 4) {
    WChar* buffer = out.ReserveWide(static_cast<int32_t>(room));
    if (buffer == nullptr) return 0;
    const DWORD length = GetModuleFileNameW(nullptr, buffer, room);
    if (length == 0) break;
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
  if (file.get() == INVALID_HANDLE_VALUE) return nullptr;
  // The file may have been renamed and replaced before it was opened.
  const DWORD headerSize = MappedHeaderSize(module);
  if (headerSize == 0) return nullptr;
  BlockGuard headers(TryAllocateBlock(headerSize));
  if (headers.get() == nullptr) return nullptr;
  DWORD read = 0;
  if (!ReadFile(file.get(), headers.get(), headerSize, &read, nullptr) || read != headerSize) {
    return nullptr;
  }
  if (!HeadersMatch(static_cast<const uint8_t*>(headers.get()),
                    reinterpret_cast<const uint8_t*>(module), headerSize)) {
    return nullptr;
  }
  return file.release();
}

int CopyOwnImage(HANDLE image, const WChar* target) {
  if (image == nullptr || image == INVALID_HANDLE_VALUE || target == nullptr || target[0] == 0) {
    return 0;
  }
  if (SetFilePointer(image, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return 0;
  // The copy runs elevated later: it takes the product folders' access.
  HandleGuard copy(CreateProtectedFile(target));
  if (copy.get() == nullptr) return 0;
  BlockGuard chunk(TryAllocateBlock(kCopyChunkBytes));
  if (chunk.get() == nullptr) return 0;
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(image, chunk.get(), kCopyChunkBytes, &read, nullptr)) return 0;
    if (read == 0) return 1;
    DWORD written = 0;
    if (!WriteFile(copy.get(), chunk.get(), read, &written, nullptr) || written != read) return 0;
  }
}

int IsSameFileAsImage(HANDLE image, const WChar* path) {
  if (image == nullptr || image == INVALID_HANDLE_VALUE || path == nullptr || path[0] == 0) {
    return 0;
  }
  // Attributes only: no sharing conflict with the image's own openers.
  HandleGuard other(CreateFileW(path, FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (other.get() == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION ours = {};
  BY_HANDLE_FILE_INFORMATION theirs = {};
  if (!GetFileInformationByHandle(image, &ours) ||
      !GetFileInformationByHandle(other.get(), &theirs)) {
    return 0;
  }
  return (ours.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
          ours.nFileIndexHigh == theirs.nFileIndexHigh &&
          ours.nFileIndexLow == theirs.nFileIndexLow)
             ? 1
             : 0;
}
