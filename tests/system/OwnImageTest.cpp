// The program's own file: its path taken from the running image (never the
// command line), held so that nobody can rename, replace or change it, and
// copied from that hold.

#include <gtest/gtest.h>

#include <windows.h>

#include "setup/OwnImage.h"
#include "tests/system/SystemTestSupport.h"

namespace {

TEST(OwnImage, WhatIsCopiedIsTheRunningImageEvenIfSomeoneSwapsTheFile) {
  wchar_t module[MAX_PATH + 1] = {};
  ASSERT_NE(0u, GetModuleFileNameW(nullptr, module, MAX_PATH));
  WString path;
  ASSERT_EQ(1, GetOwnImagePath(path));
  EXPECT_EQ(std::wstring(module), Wide(path));
  const std::string original = ReadWholeFile(module);
  HANDLE image = OpenOwnImage(path.WideAt(0), GetModuleHandleW(nullptr));
  ASSERT_NE(nullptr, image);

  // The attack: rename the running file away and put another in its place.
  const std::wstring moved = std::wstring(module) + L".moved";
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

TEST(OwnImage, AnotherFileIsNotTakenForTheRunningImage) {
  const std::wstring other = TestProgramFolder() + KESTREL_SYSTEM_TEST_CHILD;
  EXPECT_EQ(nullptr, OpenOwnImage(other.c_str(), GetModuleHandleW(nullptr)));
  EXPECT_EQ(nullptr, OpenOwnImage(L"", GetModuleHandleW(nullptr)));
  EXPECT_EQ(0, CopyOwnImage(nullptr, other.c_str()));
}

}  // namespace
