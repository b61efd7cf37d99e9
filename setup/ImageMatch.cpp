// ImageMatch: the mapped image turned back into the file it was loaded from,
// compared with a file; and the copy of the writable sections taken at start.

#include "setup/ImageMatch.h"

#include <stddef.h>
#include <string.h>

#include "setup/SystemErrors.h"
#include "setup/SystemGuards.h"
#include "text/Memory.h"

namespace {

constexpr DWORD kReadChunkBytes = 64 * 1024;
constexpr DWORD kMostSections = 96;
// Authenticode's table holds a signature of a few kilobytes.
constexpr DWORD kLongestCertificateTable = 1024 * 1024;
// WIN_CERTIFICATE: dwLength, wRevision, wCertificateType, then the blob.
constexpr DWORD kCertificateHeaderBytes = 8;
constexpr WORD kCertificateRevision2 = 0x0200;   // WIN_CERT_REVISION_2_0
constexpr WORD kCertificatePkcsSigned = 0x0002;  // WIN_CERT_TYPE_PKCS_SIGNED_DATA

#ifdef _WIN64
typedef ULONGLONG Slot;
constexpr WORD kRelocationType = IMAGE_REL_BASED_DIR64;
#else
typedef DWORD Slot;
constexpr WORD kRelocationType = IMAGE_REL_BASED_HIGHLOW;
#endif

// The writable sections (.data, .idata, .CRT, .tls) cannot be compared with
// memory later: the program writes them from its first instruction. This TLS callback runs after the loader (which writes only the
// relocations, the import address slots and the TLS index, all taken back
// below) and before the entry point, so its copy is the file's bytes but for
// those writes. Without the copy the own image is never matched.
struct StartCopy {
  const uint8_t* module;  // the image copied; null when no copy was taken
  uint8_t* bytes;         // each writable section's raw data, in table order
};
StartCopy startCopy = {nullptr, nullptr};

struct Layout {
  const uint8_t* base;
  const IMAGE_NT_HEADERS* nt;
  const IMAGE_SECTION_HEADER* sections;
  DWORD sectionCount;
  DWORD headerBytes;
  DWORD fileEnd;  // the end of the last section's raw data (or of the headers)
};

bool IsWritable(const IMAGE_SECTION_HEADER& section) {
  return (section.Characteristics & IMAGE_SCN_MEM_WRITE) != 0;
}

// The raw bytes that are part of the section in memory. Loaders differ on
// the file alignment's padding after VirtualSize (mapped or zero-filled), so
// the file must hold zeros there, which reads the same either way.
DWORD LoadedRawBytes(const IMAGE_SECTION_HEADER& section) {
  const DWORD virtualSize = section.Misc.VirtualSize;
  return virtualSize != 0 && virtualSize < section.SizeOfRawData ? virtualSize : section.SizeOfRawData;
}

// The mapped image's headers, checked far enough to be walked: every raw
// range lies inside the mapping, after the headers, and overlaps no other.
int ReadLayout(const uint8_t* base, Layout& out) {
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 || dos->e_lfanew > 4096) return 0;
  const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_OPTIONAL_HEADER& optional = nt->OptionalHeader;
  if (nt->Signature != IMAGE_NT_SIGNATURE || optional.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC ||
      optional.NumberOfRvaAndSizes < IMAGE_NUMBEROF_DIRECTORY_ENTRIES ||
      nt->FileHeader.SizeOfOptionalHeader < sizeof(IMAGE_OPTIONAL_HEADER)) {
    return 0;
  }
  const DWORD count = nt->FileHeader.NumberOfSections;
  const DWORD tableOffset = static_cast<DWORD>(dos->e_lfanew) +
                            offsetof(IMAGE_NT_HEADERS, OptionalHeader) +
                            nt->FileHeader.SizeOfOptionalHeader;
  const DWORD headerBytes = optional.SizeOfHeaders;
  const DWORD alignment = optional.SectionAlignment;
  if (count == 0 || count > kMostSections || headerBytes > 0x10000 ||
      tableOffset + count * sizeof(IMAGE_SECTION_HEADER) > headerBytes ||
      headerBytes > optional.SizeOfImage || alignment == 0 || (alignment & (alignment - 1)) != 0) {
    return 0;
  }
  const IMAGE_SECTION_HEADER* sections =
      reinterpret_cast<const IMAGE_SECTION_HEADER*>(base + tableOffset);
  uint64_t fileEnd = headerBytes;
  for (DWORD i = 0; i < count; ++i) {
    const IMAGE_SECTION_HEADER& s = sections[i];
    if (s.SizeOfRawData == 0) continue;
    const uint64_t rawEnd = uint64_t(s.PointerToRawData) + s.SizeOfRawData;
    const uint64_t mapped = (uint64_t(s.Misc.VirtualSize) + alignment - 1) & ~uint64_t(alignment - 1);
    // A raw range longer than the section's pages would reach into the next
    // section's memory; a linker never writes one.
    if (s.PointerToRawData < headerBytes || rawEnd > 0xFFFFFFFFu || s.SizeOfRawData > mapped ||
        uint64_t(s.VirtualAddress) + s.SizeOfRawData > optional.SizeOfImage) {
      return 0;
    }
    for (DWORD j = 0; j < i; ++j) {
      const IMAGE_SECTION_HEADER& t = sections[j];
      if (t.SizeOfRawData != 0 && s.PointerToRawData < t.PointerToRawData + t.SizeOfRawData &&
          t.PointerToRawData < rawEnd) {
        return 0;
      }
    }
    if (rawEnd > fileEnd) fileEnd = rawEnd;
  }
  out.base = base;
  out.nt = nt;
  out.sections = sections;
  out.sectionCount = count;
  out.headerBytes = headerBytes;
  out.fileEnd = static_cast<DWORD>(fileEnd);
  return 1;
}

void NTAPI CopyWritableSectionsAtStart(PVOID module, DWORD reason, PVOID) {
  if (reason != DLL_PROCESS_ATTACH || startCopy.module != nullptr) return;
  Layout image;
  if (!ReadLayout(static_cast<const uint8_t*>(module), image)) return;
  size_t total = 0;
  for (DWORD i = 0; i < image.sectionCount; ++i) {
    if (IsWritable(image.sections[i])) total += LoadedRawBytes(image.sections[i]);
  }
  // The process heap, which the allocator serves from, exists before any of
  // the program's code runs. Kept to the end.
  uint8_t* bytes = nullptr;
  if (total != 0) {
    bytes = static_cast<uint8_t*>(TryAllocateBlock(total));
    if (bytes == nullptr) return;
  }
  size_t at = 0;
  for (DWORD i = 0; i < image.sectionCount; ++i) {
    const IMAGE_SECTION_HEADER& s = image.sections[i];
    if (!IsWritable(s) || s.SizeOfRawData == 0) continue;
    memcpy(bytes + at, image.base + s.VirtualAddress, LoadedRawBytes(s));
    at += LoadedRawBytes(s);
  }
  startCopy.bytes = bytes;
  startCopy.module = image.base;
}

// The first TLS callback (the markers .CRT$XLA and .CRT$XLZ are in
// app/runtime/StartUp.cpp): nothing of the program has run yet. The linker
// keeps every .CRT$XL* entry and sorts them by name.
__attribute__((section(".CRT$XLB"), used))
PIMAGE_TLS_CALLBACK copyWritableSectionsAtStart = CopyWritableSectionsAtStart;

// The file offset of `width` bytes at `rva` in the expected file: 1 = found
// (`offset`); 0 = they lie in no raw data (memory the file does not hold);
// -1 = they cross the end of a section's raw data or lie in the headers.
int Locate(const Layout& image, uint64_t rva, DWORD width, DWORD& offset) {
  if (rva < image.headerBytes) return -1;
  for (DWORD i = 0; i < image.sectionCount; ++i) {
    const IMAGE_SECTION_HEADER& s = image.sections[i];
    if (s.SizeOfRawData == 0 || rva < s.VirtualAddress) continue;
    const uint64_t inside = rva - s.VirtualAddress;
    if (inside >= s.SizeOfRawData) continue;
    if (inside + width > s.SizeOfRawData) return -1;
    offset = s.PointerToRawData + static_cast<DWORD>(inside);
    return 1;
  }
  return 0;
}

template <typename Value>
Value Get(const uint8_t* file, DWORD offset) {
  Value value;
  memcpy(&value, file + offset, sizeof(value));
  return value;
}

template <typename Value>
void Put(uint8_t* file, DWORD offset, Value value) {
  memcpy(file + offset, &value, sizeof(value));
}

// Takes back the loader's relocations: each slot it moved by `delta`.
int UndoRelocations(const Layout& image, uint8_t* file, ULONG_PTR delta) {
  const IMAGE_DATA_DIRECTORY& table = image.nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
  if (delta == 0) return 1;
  DWORD at = 0;
  if (table.Size == 0 || Locate(image, table.VirtualAddress, table.Size, at) != 1) return 0;
  for (DWORD pos = 0; pos + sizeof(IMAGE_BASE_RELOCATION) <= table.Size;) {
    const DWORD page = Get<DWORD>(file, at + pos);
    const DWORD blockBytes = Get<DWORD>(file, at + pos + sizeof(DWORD));
    if (blockBytes < sizeof(IMAGE_BASE_RELOCATION) || blockBytes > table.Size - pos) return 0;
    for (DWORD e = sizeof(IMAGE_BASE_RELOCATION); e + sizeof(WORD) <= blockBytes; e += sizeof(WORD)) {
      const WORD entry = Get<WORD>(file, at + pos + e);
      const WORD type = static_cast<WORD>(entry >> 12);
      if (type == IMAGE_REL_BASED_ABSOLUTE) continue;
      if (type != kRelocationType) return 0;
      DWORD slot = 0;
      const int where = Locate(image, uint64_t(page) + (entry & 0xFFF), sizeof(Slot), slot);
      if (where < 0) return 0;
      if (where == 1) Put<Slot>(file, slot, static_cast<Slot>(Get<Slot>(file, slot) - delta));
    }
    pos += blockBytes;
  }
  return 1;
}

// The loader fills each import address slot; the file holds there what the
// lookup table holds, which is compared as it is. Bound imports (addresses in
// the file) cannot be told from the loader's and are refused.
int UndoImportSlots(const Layout& image, uint8_t* file) {
  const IMAGE_DATA_DIRECTORY& imports = image.nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return 1;
  for (uint64_t rva = imports.VirtualAddress;; rva += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    DWORD at = 0;
    if (Locate(image, rva, sizeof(IMAGE_IMPORT_DESCRIPTOR), at) != 1) return 0;
    IMAGE_IMPORT_DESCRIPTOR entry;
    memcpy(&entry, file + at, sizeof(entry));
    if (entry.Name == 0 && entry.FirstThunk == 0) return 1;
    if (entry.TimeDateStamp != 0 || entry.OriginalFirstThunk == 0) return 0;
    for (uint64_t i = 0;; ++i) {
      DWORD lookup = 0, slot = 0;
      if (Locate(image, entry.OriginalFirstThunk + i * sizeof(Slot), sizeof(Slot), lookup) != 1 ||
          Locate(image, entry.FirstThunk + i * sizeof(Slot), sizeof(Slot), slot) != 1) {
        return 0;
      }
      const Slot value = Get<Slot>(file, lookup);
      Put<Slot>(file, slot, value);
      if (value == 0) break;
    }
  }
}

// The loader stores the program's TLS index; the file holds 0 there.
int UndoTlsIndex(const Layout& image, uint8_t* file, ULONG_PTR fileBase) {
  const IMAGE_DATA_DIRECTORY& tls = image.nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
  if (tls.VirtualAddress == 0) return 1;
  DWORD at = 0;
  if (Locate(image, tls.VirtualAddress, sizeof(IMAGE_TLS_DIRECTORY), at) != 1) return 0;
  const ULONG_PTR index = Get<ULONG_PTR>(file, at + offsetof(IMAGE_TLS_DIRECTORY, AddressOfIndex));
  if (index < fileBase) return 0;
  DWORD slot = 0;
  const int where = Locate(image, index - fileBase, sizeof(DWORD), slot);
  if (where < 0) return 0;
  if (where == 1) Put<DWORD>(file, slot, 0);
  return 1;
}

// The file up to image.fileEnd as it must be, rebuilt from the mapped image
// and `writable` (the writable sections' start copy; null: the mapping's).
// The caller frees it (BlockGuard); null when the image cannot be rebuilt.
uint8_t* ExpectedFile(const Layout& image, const uint8_t* writable, ULONG_PTR fileBase) {
  uint8_t* file = static_cast<uint8_t*>(TryAllocateBlock(image.fileEnd));
  if (file == nullptr) return nullptr;
  memset(file, 0, image.fileEnd);  // gaps and the sections' padding hold zeros
  memcpy(file, image.base, image.headerBytes);
  const DWORD baseField = static_cast<DWORD>(reinterpret_cast<const uint8_t*>(image.nt) - image.base) +
                          offsetof(IMAGE_NT_HEADERS, OptionalHeader.ImageBase);
  Put<ULONG_PTR>(file, baseField, fileBase);
  for (DWORD i = 0; i < image.sectionCount; ++i) {
    const IMAGE_SECTION_HEADER& s = image.sections[i];
    if (s.SizeOfRawData == 0) continue;
    const uint8_t* from = image.base + s.VirtualAddress;
    if (IsWritable(s) && writable != nullptr) {
      from = writable;
      writable += LoadedRawBytes(s);
    }
    memcpy(file + s.PointerToRawData, from, LoadedRawBytes(s));
  }
  const ULONG_PTR delta = reinterpret_cast<ULONG_PTR>(image.base) - fileBase;
  // Relocations first: the TLS directory's pointer is read in the file's form.
  if (!UndoRelocations(image, file, delta) || !UndoImportSlots(image, file) ||
      !UndoTlsIndex(image, file, fileBase)) {
    FreeBlock(file);
    return nullptr;
  }
  return file;
}

int ReadExactly(HANDLE file, uint8_t* into, DWORD bytes) {
  while (bytes != 0) {
    DWORD read = 0;
    if (!ReadFile(file, into, bytes, &read, nullptr)) {
      ReportLastError("ReadFile", nullptr);
      return 0;
    }
    if (read == 0) return 0;  // the file is shorter: not the image
    into += read;
    bytes -= read;
  }
  return 1;
}

// The bytes after the last section (the file pointer is at `end`): nothing,
// or exactly the certificate table the security directory names.
int TailIsCertificateTable(HANDLE file, const IMAGE_DATA_DIRECTORY& security, DWORD end,
                           uint64_t fileBytes) {
  if (security.VirtualAddress == 0 && security.Size == 0) return fileBytes == end;
  const DWORD start = security.VirtualAddress;  // a file offset in this entry
  const DWORD size = security.Size;
  if (start < end || start - end >= 8 || start % 8 != 0 || size < kCertificateHeaderBytes ||
      size > kLongestCertificateTable || uint64_t(start) + size != fileBytes) {
    return 0;
  }
  const DWORD tailBytes = static_cast<DWORD>(fileBytes - end);
  BlockGuard tail(TryAllocateBlock(tailBytes));
  if (tail.get() == nullptr) return 0;
  uint8_t* bytes = static_cast<uint8_t*>(tail.get());
  if (!ReadExactly(file, bytes, tailBytes)) return 0;
  for (DWORD i = 0; i < start - end; ++i) {
    if (bytes[i] != 0) return 0;
  }
  const uint8_t* table = bytes + (start - end);
  // Records follow each other at 8-byte boundaries up to the table's end.
  for (DWORD pos = 0; pos < size;) {
    if (size - pos < kCertificateHeaderBytes) return 0;
    const DWORD length = Get<DWORD>(table, pos);
    if (length < kCertificateHeaderBytes || length > size - pos ||
        Get<WORD>(table, pos + 4) != kCertificateRevision2 ||
        Get<WORD>(table, pos + 6) != kCertificatePkcsSigned) {
      return 0;
    }
    const DWORD next = (pos + length + 7) & ~DWORD(7);
    for (DWORD i = pos + length; i < next && i < size; ++i) {
      if (table[i] != 0) return 0;
    }
    pos = next;
  }
  return 1;
}

}  // namespace

int MatchImageFile(HANDLE file, HMODULE module, uint64_t* fileBytes) {
  if (fileBytes != nullptr) *fileBytes = 0;
  if (file == nullptr || file == INVALID_HANDLE_VALUE || module == nullptr || fileBytes == nullptr) {
    return 0;
  }
  Layout image;
  if (!ReadLayout(reinterpret_cast<const uint8_t*>(module), image)) return 0;
  const IMAGE_DATA_DIRECTORY* directories = image.nt->OptionalHeader.DataDirectory;
  // Windows 8 and later write a fresh security cookie into the image that
  // names one here; none of our programs has the directory.
  const IMAGE_DATA_DIRECTORY& config = directories[IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG];
  if (config.VirtualAddress != 0 || config.Size != 0) return 0;
  // The running program's writable sections as they were at its start; an
  // image mapped without being run (LoadLibraryEx without its references)
  // has them as the loader left them (null: read from the mapping).
  const uint8_t* writable = nullptr;
  if (image.base == startCopy.module) {
    writable = startCopy.bytes;
  } else if (module == GetModuleHandleW(nullptr)) {
    return 0;
  }

  // The file's preferred base, which the loader's relocations started from.
  const DWORD baseField = static_cast<DWORD>(reinterpret_cast<const uint8_t*>(image.nt) - image.base) +
                          offsetof(IMAGE_NT_HEADERS, OptionalHeader.ImageBase);
  ULONG_PTR fileBase = 0;
  if (SetFilePointer(file, static_cast<LONG>(baseField), nullptr, FILE_BEGIN) ==
      INVALID_SET_FILE_POINTER) {
    ReportLastError("SetFilePointer", nullptr);
    return 0;
  }
  if (!ReadExactly(file, reinterpret_cast<uint8_t*>(&fileBase), sizeof(fileBase))) return 0;

  BlockGuard expected(ExpectedFile(image, writable, fileBase));
  if (expected.get() == nullptr) return 0;

  BlockGuard chunk(TryAllocateBlock(kReadChunkBytes));
  if (chunk.get() == nullptr) return 0;
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
    ReportLastError("SetFilePointer", nullptr);
    return 0;
  }
  const uint8_t* want = static_cast<const uint8_t*>(expected.get());
  for (DWORD pos = 0; pos < image.fileEnd;) {
    const DWORD bytes = image.fileEnd - pos < kReadChunkBytes ? image.fileEnd - pos : kReadChunkBytes;
    if (!ReadExactly(file, static_cast<uint8_t*>(chunk.get()), bytes) ||
        memcmp(chunk.get(), want + pos, bytes) != 0) {
      return 0;
    }
    pos += bytes;
  }
  BY_HANDLE_FILE_INFORMATION facts;
  if (!GetFileInformationByHandle(file, &facts)) {
    ReportLastError("GetFileInformationByHandle", nullptr);
    return 0;
  }
  const uint64_t size = (uint64_t(facts.nFileSizeHigh) << 32) | facts.nFileSizeLow;
  if (!TailIsCertificateTable(file, directories[IMAGE_DIRECTORY_ENTRY_SECURITY], image.fileEnd, size)) {
    return 0;
  }
  *fileBytes = size;
  return 1;
}
