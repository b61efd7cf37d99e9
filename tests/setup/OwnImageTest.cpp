// The program's own file: its path taken from the running image (never the
// command line), held so that nobody can rename, replace or change it, copied
// from that hold, and taken only when every byte of it is the running image.

#include <gtest/gtest.h>

#include <windows.h>

#include <stddef.h>
#include <string.h>

#include "setup/OwnImage.h"
#include "tests/setup/SystemTestSupport.h"
#include "tests/support/ProcessBits.h"

namespace {

uint32_t Dword(const std::string& file, size_t at) {
  uint32_t value = 0;
  if (at + sizeof(value) <= file.size()) memcpy(&value, file.data() + at, sizeof(value));
  return value;
}

void PutDword(std::string& file, size_t at, uint32_t value) { memcpy(&file[at], &value, sizeof(value)); }

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

const IMAGE_NT_HEADERS* Headers(const std::string& file) {
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(file.data() + Dword(file, 0x3c));
}

// Where data directory `entry` of a PE file is stored in it.
size_t DirectoryAt(const std::string& file, int entry) {
  return Dword(file, 0x3c) + offsetof(IMAGE_NT_HEADERS, OptionalHeader.DataDirectory) +
         entry * sizeof(IMAGE_DATA_DIRECTORY);
}

// The file offset of the section named `name` (its raw data), and its size.
size_t RawData(const std::string& file, const char* name, size_t* size) {
  const IMAGE_NT_HEADERS* nt = Headers(file);
  const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
    if (strncmp(reinterpret_cast<const char*>(sections[i].Name), name, 8) == 0) {
      *size = sections[i].SizeOfRawData;
      return sections[i].PointerToRawData;
    }
  }
  *size = 0;
  return 0;
}

// The file offset of `rva`, or 0.
size_t FileOffset(const std::string& file, uint32_t rva) {
  const IMAGE_NT_HEADERS* nt = Headers(file);
  const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
    if (rva >= sections[i].VirtualAddress && rva - sections[i].VirtualAddress < sections[i].SizeOfRawData) {
      return sections[i].PointerToRawData + (rva - sections[i].VirtualAddress);
    }
  }
  return 0;
}

// The same headers, one byte of code changed.
std::string WithOtherCode(const std::string& image) {
  size_t size = 0;
  const size_t code = RawData(image, ".text", &size);
  std::string changed = image;
  if (size != 0) changed[code + size / 2] ^= 0x5A;
  return changed;
}

// Starts the copier `program` with `target`: its exit code, or 0xFFFF.
DWORD RunCopier(const std::wstring& program, const std::wstring& target) {
  std::wstring command = L"\"" + program + L"\" \"" + target + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 0xFFFF;
  }
  DWORD code = 0xFFFF;
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.hProcess, &code)) {
    code = 0xFFFF;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

TEST(OwnImage, WhatIsCopiedIsTheRunningImageEvenIfSomeoneSwapsTheFile) {
  wchar_t module[MAX_PATH + 1] = {};
  ASSERT_NE(0u, GetModuleFileNameW(nullptr, module, MAX_PATH));
  WString path;
  ASSERT_EQ(1, GetOwnImagePath(path));
  EXPECT_EQ(std::wstring(module), Wide(path));
  const std::string original = ReadWholeFile(module);

  // Before the file is opened: rename it away and put a look-alike (the same
  // headers, other code) in its place. It is not taken for the running image.
  const std::wstring moved = std::wstring(module) + L".moved";
  ASSERT_TRUE(MoveFileW(module, moved.c_str()));
  EXPECT_TRUE(WriteWholeFile(module, WithOtherCode(original)));
  HANDLE swapped = OpenOwnImage(path.WideAt(0), GetModuleHandleW(nullptr));
  EXPECT_EQ(nullptr, swapped);
  if (swapped != nullptr) CloseHandle(swapped);
  EXPECT_TRUE(DeleteFileW(module));
  ASSERT_TRUE(MoveFileW(moved.c_str(), module));

  // Once held, the file can be neither renamed nor written.
  HANDLE image = OpenOwnImage(path.WideAt(0), GetModuleHandleW(nullptr));
  ASSERT_NE(nullptr, image);
  const bool renamed = MoveFileW(module, moved.c_str()) != 0;
  EXPECT_FALSE(renamed);
  if (renamed) {
    HANDLE other = CreateFileW(module, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD written = 0;
    if (other != INVALID_HANDLE_VALUE) WriteFile(other, "MZ swapped", 10, &written, nullptr);
    if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  }
  HANDLE writer = CreateFileW(module, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(INVALID_HANDLE_VALUE, writer);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);

  // Each copy reads the held file from its start.
  const std::wstring copy = TempFolder() + Unique(L"kestrel-copy") + L".exe";
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(1, CopyOwnImage(image, copy.c_str())) << round;
    EXPECT_TRUE(ReadWholeFile(copy) == original) << round;
  }
  EXPECT_EQ(0, CopyOwnImage(image, L""));
  CloseHandle(image);
  DeleteFileW(copy.c_str());
  if (renamed) {
    DeleteFileW(module);
    MoveFileW(moved.c_str(), module);
  }
}

// Files that differ from the running image where its headers do not show it:
// in code, in a writable section, in an import slot the loader fills, or by
// bytes after the last section. Only the exact bytes are taken (and copied).
TEST(OwnImage, LookAlikesOfTheRunningImageAreRefused) {
  wchar_t module[MAX_PATH + 1] = {};
  ASSERT_NE(0u, GetModuleFileNameW(nullptr, module, MAX_PATH));
  const std::string original = ReadWholeFile(module);
  size_t dataSize = 0;
  const size_t data = RawData(original, ".data", &dataSize);
  ASSERT_NE(0u, dataSize);
  const size_t slot = FileOffset(original, Dword(original, DirectoryAt(original, IMAGE_DIRECTORY_ENTRY_IAT)));
  ASSERT_NE(0u, slot);

  std::string otherData = original;
  otherData[data] ^= 0x01;
  std::string otherSlot = original;  // another name for the first import
  PutDword(otherSlot, slot, Dword(original, slot) + 2);
  std::string unnamedSignature = original;  // a record the directory does not name
  unnamedSignature.append("\x10\0\0\0\0\x02\x02\0signatur", 16);
  struct LookAlike {
    const wchar_t* name;
    std::string bytes;
    bool taken;
  } const cases[] = {
      {L"same", original, true},
      {L"code", WithOtherCode(original), false},
      {L"data", otherData, false},
      {L"import-slot", otherSlot, false},
      {L"tail", original + std::string(8, '\0'), false},
      {L"unnamed-signature", unnamedSignature, false},
  };
  const std::wstring copy = TempFolder() + Unique(L"kestrel-lookalike-copy") + L".exe";
  for (const LookAlike& lookAlike : cases) {
    const std::wstring file = TempFolder() + Unique(L"kestrel-lookalike") + lookAlike.name + L".exe";
    ASSERT_TRUE(WriteWholeFile(file, lookAlike.bytes));
    HANDLE image = OpenOwnImage(file.c_str(), GetModuleHandleW(nullptr));
    EXPECT_EQ(lookAlike.taken, image != nullptr) << lookAlike.name;
    if (image != nullptr) {
      EXPECT_EQ(1, CopyOwnImage(image, copy.c_str())) << lookAlike.name;
      EXPECT_TRUE(ReadWholeFile(copy) == lookAlike.bytes) << lookAlike.name;
      CloseHandle(image);
    }
    DeleteFileW(file.c_str());
  }
  DeleteFileW(copy.c_str());
}

// Maps `file` at `base` as Windows' loader does when the preferred base is
// taken: headers and sections at their addresses, every relocation moved,
// and the new base in the mapped header.
void MapMoved(const std::string& file, uint8_t* base) {
  const IMAGE_NT_HEADERS* nt = Headers(file);
  memcpy(base, file.data(), nt->OptionalHeader.SizeOfHeaders);
  const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
    memcpy(base + sections[i].VirtualAddress, file.data() + sections[i].PointerToRawData,
           sections[i].SizeOfRawData);
  }
  const uint32_t delta = static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(base) - nt->OptionalHeader.ImageBase);
  const IMAGE_DATA_DIRECTORY& table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
  for (uint32_t pos = 0; pos + 8 <= table.Size;) {
    const uint8_t* block = base + table.VirtualAddress + pos;
    uint32_t page = 0, bytes = 0;
    memcpy(&page, block, 4);
    memcpy(&bytes, block + 4, 4);
    if (bytes < 8) break;
    for (uint32_t e = 8; e + 2 <= bytes; e += 2) {
      uint16_t entry = 0;
      memcpy(&entry, block + e, 2);
      if ((entry >> 12) != IMAGE_REL_BASED_HIGHLOW) continue;
      uint32_t value = 0;
      memcpy(&value, base + page + (entry & 0xFFF), 4);
      value += delta;
      memcpy(base + page + (entry & 0xFFF), &value, 4);
    }
    pos += bytes;
  }
  IMAGE_NT_HEADERS* mapped = reinterpret_cast<IMAGE_NT_HEADERS*>(base + Dword(file, 0x3c));
  mapped->OptionalHeader.ImageBase = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(base));
}

// An image mapped away from its preferred base (every pointer moved) still
// matches its file; a file with one pointer changed does not.
TEST(OwnImage, AnImageMappedElsewhereMatchesOnceItsRelocationsAreTakenBack) {
  SKIP_UNLESS_32_BIT_PROCESS();
  const std::string built = ReadWholeFile(TestProgramFolder() + KESTREL_OWN_IMAGE_COPIER);
  const IMAGE_NT_HEADERS* nt = Headers(built);
  ASSERT_NE(0u, nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size);
  uint8_t* base = static_cast<uint8_t*>(
      VirtualAlloc(nullptr, nt->OptionalHeader.SizeOfImage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(nullptr, base);
  MapMoved(built, base);
  const HMODULE mapped = reinterpret_cast<HMODULE>(base);

  // The first relocated pointer, pointing elsewhere.
  const size_t block = FileOffset(built, nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].VirtualAddress);
  const uint32_t entry = Dword(built, block + 8) & 0xFFFF;
  const size_t pointer = FileOffset(built, Dword(built, block) + (entry & 0xFFF));
  ASSERT_EQ(static_cast<uint32_t>(IMAGE_REL_BASED_HIGHLOW), entry >> 12);
  ASSERT_NE(0u, pointer);
  std::string moved = built;
  PutDword(moved, pointer, Dword(built, pointer) + 4);

  const std::string* files[] = {&built, &moved};
  for (const std::string* bytes : files) {
    const std::wstring file = TempFolder() + Unique(L"kestrel-moved") + L".exe";
    ASSERT_TRUE(WriteWholeFile(file, *bytes));
    HANDLE image = OpenOwnImage(file.c_str(), mapped);
    EXPECT_EQ(bytes == &built, image != nullptr);
    if (image != nullptr) CloseHandle(image);
    DeleteFileW(file.c_str());
  }
  VirtualFree(base, 0, MEM_RELEASE);
}

// The signed program copies itself, signature and all; bytes after its
// certificate table, or a table stretched over bytes that are no record,
// make it refuse (each look-alike is started itself, so it is what runs).
TEST(OwnImage, TheSignedProgramCopiesItselfAndNothingMayFollowItsSignature) {
  const std::wstring signedCopier = TestProgramFolder() + KESTREL_SIGNED_OWN_IMAGE_COPIER;
  const std::string signedBytes = ReadWholeFile(signedCopier);
  const size_t security = DirectoryAt(signedBytes, IMAGE_DIRECTORY_ENTRY_SECURITY);
  const uint32_t tableSize = Dword(signedBytes, security + 4);
  ASSERT_NE(0u, tableSize);
  ASSERT_EQ(signedBytes.size(), size_t(Dword(signedBytes, security)) + tableSize);

  const std::wstring copy = TempFolder() + Unique(L"kestrel-signed-copy") + L".exe";
  EXPECT_EQ(0u, RunCopier(signedCopier, copy));
  EXPECT_TRUE(ReadWholeFile(copy) == signedBytes);
  DeleteFileW(copy.c_str());

  std::string stretched = signedBytes + std::string(16, 'A');
  PutDword(stretched, security + 4, tableSize + 16);
  const std::string lookAlikes[] = {signedBytes + "MZ tail!", stretched};
  for (const std::string& bytes : lookAlikes) {
    const std::wstring program = TempFolder() + Unique(L"kestrel-signed-lookalike") + L".exe";
    ASSERT_TRUE(WriteWholeFile(program, bytes));
    EXPECT_EQ(1u, RunCopier(program, copy)) << bytes.size();
    EXPECT_FALSE(FileExists(copy));
    DeleteFileW(copy.c_str());
    DeleteFileW(program.c_str());
  }
}

TEST(OwnImage, AnotherFileIsNotTakenForTheRunningImage) {
  const std::wstring other = TestProgramFolder() + KESTREL_SYSTEM_TEST_CHILD;
  EXPECT_EQ(nullptr, OpenOwnImage(other.c_str(), GetModuleHandleW(nullptr)));
  EXPECT_EQ(nullptr, OpenOwnImage(L"", GetModuleHandleW(nullptr)));
  EXPECT_EQ(0, CopyOwnImage(nullptr, other.c_str()));
}

}  // namespace
