// File and folder primitives in a folder of this process under the temporary
// folder: output files, folders, shell folders, the temporary folder, and removal,
// scheduled for the next restart when the file is in use.

#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <vector>

#include "setup/Files.h"
#include "tests/setup/SystemTestSupport.h"

namespace {

// The owner and access of the file or folder at `path`, in the descriptor
// language; empty when they cannot be read.
std::wstring AccessText(const std::wstring& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, parts, nullptr, nullptr, nullptr,
                            nullptr, &descriptor) != ERROR_SUCCESS) {
    return L"";
  }
  LPWSTR text = nullptr;
  std::wstring out;
  if (ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, parts,
                                                           &text, nullptr)) {
    out = text;
    LocalFree(text);
  }
  LocalFree(descriptor);
  return out;
}

// A folder or file made with access that lets everyone do anything.
SECURITY_ATTRIBUTES* EveryoneFullControl() {
  static SECURITY_ATTRIBUTES attributes = {sizeof(attributes), nullptr, FALSE};
  if (attributes.lpSecurityDescriptor == nullptr) {
    ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &attributes.lpSecurityDescriptor, nullptr);
  }
  return &attributes;
}

// The product folders' access leaves nothing to everyone. Wine keeps a file's
// access as its unix mode, so this is the part of it that shows here; the owner,
// the protection and the entries themselves need a real Windows.
void ExpectNothingForEveryone(const std::wstring& path) {
  const std::wstring text = AccessText(path);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(std::wstring::npos, text.find(L";;;WD)")) << text;
}

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = TempFolder() + Unique(L"kestrel-files");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    folder += L"\\";
  }
  void TearDown() override {
    // Everything a test left, one level down at most.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveDirectoryW((folder + name).c_str());
        } else {
          DeleteFileW((folder + name).c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }

  std::wstring folder;  // ends with "\"
};

// ---- Output files -----------------------------------------------------------------

TEST_F(Files, OutputFileTakesBytesAndUtf8TextWithoutAMark) {
  const std::wstring path = folder + L"out.txt";
  HANDLE file = CreateOutputFile(path.c_str());
  ASSERT_NE(nullptr, file);
  const uint8_t bytes[2] = {'A', 0};
  EXPECT_EQ(1, WriteBytes(file, bytes, 2));
  WString text;
  text.AssignWide(L"z\u0105\u017C \u20AC", -1);
  EXPECT_EQ(1, WriteNarrowText(file, text));
  EXPECT_FALSE(text.IsWide());  // converted in place
  CloseHandle(file);
  EXPECT_EQ(std::string("A\0z\xC4\x85\xC5\xBC \xE2\x82\xAC", 11), ReadWholeFile(path));
}

TEST_F(Files, OutputFileReplacesAnEarlierFile) {
  const std::wstring path = folder + L"again.txt";
  for (const char* content : {"first and longer", "second"}) {
    HANDLE file = CreateOutputFile(path.c_str());
    ASSERT_NE(nullptr, file);
    WString text;
    text.AssignNarrow(content, -1, -1);
    EXPECT_EQ(1, WriteNarrowText(file, text));
    CloseHandle(file);
  }
  EXPECT_EQ("second", ReadWholeFile(path));
}

TEST_F(Files, WritesRefuseWhatTheyCannotWrite) {
  EXPECT_EQ(nullptr, CreateOutputFile((folder + L"no-such-folder\\x.txt").c_str()));
  EXPECT_EQ(nullptr, CreateOutputFile(L""));
  EXPECT_EQ(nullptr, CreateOutputFile(nullptr));
  const std::wstring path = folder + L"refused.txt";
  HANDLE file = CreateOutputFile(path.c_str());
  ASSERT_NE(nullptr, file);
  const uint8_t byte = 'x';
  WString empty;
  EXPECT_EQ(0, WriteBytes(nullptr, &byte, 1));
  EXPECT_EQ(0, WriteBytes(file, nullptr, 1));
  EXPECT_EQ(0, WriteBytes(file, &byte, 0));
  EXPECT_EQ(0, WriteNarrowText(file, empty));
  CloseHandle(file);
  EXPECT_EQ("", ReadWholeFile(path));
}

// ---- Folders -----------------------------------------------------------------------

TEST_F(Files, EnsureFolderSucceedsTwiceButMakesOneLevelOnly) {
  const std::wstring path = folder + L"made";
  EXPECT_EQ(1, EnsureFolder(path.c_str()));
  EXPECT_EQ(1, EnsureFolder(path.c_str()));
  EXPECT_NE(0u, GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(0, EnsureFolder((folder + L"two\\levels").c_str()));
  EXPECT_EQ(0, EnsureFolder(L""));
}

// A product folder someone made first, open to everyone, and a file left in it
// the same way: the folder is reset before anything is placed, the file written
// anew with the product access; a second name (hard link) is never written through.
TEST_F(Files, ProductFolderFoundOpenIsResetAndItsFilesWrittenAnew) {
  const std::wstring path = folder + L"found";
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), EveryoneFullControl()));
  ASSERT_NE(std::wstring::npos, AccessText(path).find(L";;;WD)"));
  // Reset in place (not shown by Wine, whose folder keeps its mode).
  EXPECT_EQ(1, EnsureFolder(path.c_str()));
  const std::wstring made = folder + L"made";
  EXPECT_EQ(1, EnsureFolder(made.c_str()));
  ExpectNothingForEveryone(made);
  const std::wstring notFolder = folder + L"not-a-folder";
  HANDLE plain = CreateOutputFile(notFolder.c_str());
  ASSERT_NE(nullptr, plain);
  CloseHandle(plain);
  EXPECT_EQ(0, EnsureFolder(notFolder.c_str()));

  const std::wstring staging = folder + L"staging.dll";
  HANDLE left = CreateFileW(staging.c_str(), GENERIC_WRITE, 0, EveryoneFullControl(), CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, left);
  CloseHandle(left);
  HANDLE file = CreateProtectedFile(staging.c_str());
  ASSERT_NE(nullptr, file);
  CloseHandle(file);
  ExpectNothingForEveryone(staging);

  const std::wstring system = folder + L"system.txt", link = folder + L"link.txt";
  HANDLE original = CreateOutputFile(system.c_str());
  ASSERT_NE(nullptr, original);
  const uint8_t bytes[] = {'k', 'e', 'p', 't'};
  EXPECT_EQ(1, WriteBytes(original, bytes, 4));
  CloseHandle(original);
  ASSERT_TRUE(CreateHardLinkW(link.c_str(), system.c_str(), nullptr));
  HANDLE replaced = CreateOutputFile(link.c_str());
  ASSERT_NE(nullptr, replaced);
  EXPECT_EQ(1, WriteBytes(replaced, bytes, 2));
  CloseHandle(replaced);
  EXPECT_EQ("kept", ReadWholeFile(system));
  EXPECT_EQ("ke", ReadWholeFile(link));
}

// Deletion in a folder the user controls: only what lies inside the root, folder
// by folder (a longer sibling name is not inside), "..", case and a missing file.
TEST_F(Files, RemoveInsideTakesOnlyWhatLiesInsideTheRoot) {
  const std::wstring root = folder + L"root", sibling = folder + L"root2";
  ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(sibling.c_str(), nullptr));
  const std::wstring inside = root + L"\\old.lnk", next = sibling + L"\\old.lnk",
                     above = folder + L"old.lnk";
  for (const std::wstring& path : {inside, next, above}) {
    HANDLE file = CreateOutputFile(path.c_str());
    ASSERT_NE(nullptr, file);
    CloseHandle(file);
  }
  EXPECT_EQ(0, RemoveFileInside(root.c_str(), next.c_str()));
  EXPECT_EQ(0, RemoveFileInside(root.c_str(), (root + L"\\..\\old.lnk").c_str()));
  EXPECT_EQ(0, RemoveFileInside(root.c_str(), root.c_str()));
  EXPECT_EQ(0, RemoveFileInside(root.c_str(), L""));
  EXPECT_TRUE(FileExists(next));
  EXPECT_TRUE(FileExists(above));
  std::wstring upper = root;
  CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
  EXPECT_EQ(1, RemoveFileInside((upper + L"\\").c_str(), inside.c_str()));
  EXPECT_FALSE(FileExists(inside));
  EXPECT_EQ(1, RemoveFileInside(root.c_str(), inside.c_str()));  // gone already
  ASSERT_TRUE(DeleteFileW(next.c_str()));
  RemoveDirectoryW(sibling.c_str());
  RemoveDirectoryW(root.c_str());
}

// Stored paths may be narrow (UTF-8) texts; they name the same folder.
TEST_F(Files, RemoveFolderLeavesAFolderThatStillHoldsAFile) {
  const std::wstring path = folder + L"pe\u0142ny";
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  HANDLE file = CreateOutputFile((path + L"\\kept.txt").c_str());
  ASSERT_NE(nullptr, file);
  CloseHandle(file);
  char utf8[MAX_PATH * 3] = {};
  ASSERT_LT(0, WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8, sizeof(utf8), nullptr, nullptr));
  WString text;
  text.AssignNarrow(utf8, -1, 0);
  EXPECT_EQ(0, RemoveFolderText(text));
  EXPECT_TRUE(FileExists(path + L"\\kept.txt"));
  ASSERT_TRUE(DeleteFileW((path + L"\\kept.txt").c_str()));
  EXPECT_EQ(1, RemoveFolderText(text));
  EXPECT_FALSE(FileExists(path));
  WString empty;
  EXPECT_EQ(0, RemoveFolderText(empty));
}

// ---- Shell and temporary folders ------------------------------------------------------

TEST_F(Files, SpecialFolderIsAnExistingFolder) {
  WString out;
  ASSERT_EQ(1, GetSpecialFolder(nullptr, CSIDL_PROGRAM_FILES, out));
  ASSERT_GT(out.Length(), 3);
  EXPECT_NE(L'\\', out.WideAt(0)[out.Length() - 1]);
  const DWORD attributes = GetFileAttributesW(out.WideAt(0));
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
  EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(0, GetSpecialFolder(nullptr, 0x7F, out));  // no such folder
  EXPECT_EQ(0, out.Length());
}

TEST_F(Files, TempFolderIsTheSystemsTemporaryFolder) {
  WString out;
  ASSERT_EQ(1, GetTempFolder(out));
  EXPECT_EQ(TempFolder(), Wide(out));
  EXPECT_EQ(L'\\', out.WideAt(0)[out.Length() - 1]);
}

// ---- Removal ------------------------------------------------------------------------------

const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";

// The pending operations as their strings, empty ones (the "delete" targets) included.
std::vector<std::wstring> PendingOperations() {
  std::vector<std::wstring> entries;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return entries;
  }
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, kPendingValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ && size >= 2) {
    std::vector<wchar_t> data(size / 2 + 1, 0);
    if (RegQueryValueExW(key, kPendingValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
      size_t units = size / 2;
      // Pairs of (source, target); the list ends with an extra terminator.
      for (size_t i = 0; i < units;) {
        std::wstring entry(data.data() + i);
        i += entry.size() + 1;
        if (entry.empty() && (i >= units || data[i] == 0) && entries.size() % 2 == 0) break;
        entries.push_back(entry);
      }
    }
  }
  RegCloseKey(key);
  return entries;
}

bool NamesFile(const std::wstring& entry, const std::wstring& path) {
  return entry.size() >= path.size() &&
         lstrcmpiW(entry.c_str() + entry.size() - path.size(), path.c_str()) == 0;
}

// Removes the pairs whose source is `path`; puts the rest back as they were.
void DropPendingOperation(const std::wstring& path) {
  std::vector<std::wstring> entries = PendingOperations();
  std::wstring kept;
  for (size_t i = 0; i + 1 < entries.size(); i += 2) {
    if (NamesFile(entries[i], path)) continue;
    kept += entries[i] + L'\0' + entries[i + 1] + L'\0';
  }
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
    return;
  }
  if (kept.empty()) {
    RegDeleteValueW(key, kPendingValue);
  } else {
    kept += L'\0';
    RegSetValueExW(key, kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                   static_cast<DWORD>(kept.size() * 2));
  }
  RegCloseKey(key);
}

int CountPending(const std::wstring& path) {
  int count = 0;
  std::vector<std::wstring> entries = PendingOperations();
  for (size_t i = 0; i < entries.size(); i += 2) count += NamesFile(entries[i], path) ? 1 : 0;
  return count;
}

// The pending operations are one value for the whole prefix: a named mutex
// keeps parallel test programs from rewriting it under each other.
class PendingRemoval : public Files {
 protected:
  void SetUp() override {
    Files::SetUp();
    lock = CreateMutexW(nullptr, FALSE, L"KestrelTestsPendingFileRenameOperations");
    ASSERT_NE(nullptr, lock);
    const DWORD waited = WaitForSingleObject(lock, 60000);
    ASSERT_TRUE(waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED);
  }
  void TearDown() override {
    if (lock != nullptr) {
      ReleaseMutex(lock);
      CloseHandle(lock);
    }
    Files::TearDown();
  }
  HANDLE lock = nullptr;
};

TEST_F(PendingRemoval, MissingFileIsAlreadyRemovedAndNothingIsScheduled) {
  const std::wstring path = folder + L"never-made.txt";
  EXPECT_EQ(1, RemoveFile(path.c_str()));
  EXPECT_EQ(0, CountPending(path));
  WString empty;
  EXPECT_EQ(0, RemoveFileText(empty));
  EXPECT_EQ(0, RemoveFile(nullptr));
}

TEST_F(PendingRemoval, FileInUseIsScheduledForDeletionAtRestart) {
  const std::wstring path = folder + L"in-use.txt";
  HANDLE held = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_EQ(1, RemoveFile(path.c_str()));
  EXPECT_TRUE(FileExists(path));
  const int scheduled = CountPending(path);
  CloseHandle(held);
  DropPendingOperation(path);
  EXPECT_EQ(1, scheduled);
  EXPECT_EQ(0, CountPending(path));  // the prefix is as it was
}

TEST_F(PendingRemoval, UnusedFileIsDeletedAtOnce) {
  const std::wstring path = folder + L"free.txt";
  HANDLE file = CreateOutputFile(path.c_str());
  ASSERT_NE(nullptr, file);
  CloseHandle(file);
  WString text;
  text.AssignWide(path.c_str(), -1);
  EXPECT_EQ(1, RemoveFileText(text));
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(0, CountPending(path));
}

}  // namespace
