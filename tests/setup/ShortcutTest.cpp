// CreateShortcut: the link file it saves, loaded back through the shell's own
// link object, points at the target with the description and icon given.

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "setup/Shortcut.h"
#include "tests/setup/SystemTestSupport.h"
#include "tests/support/LinkFileFlags.h"

namespace {

struct LoadedLink {
  bool loaded = false;
  std::wstring target, description, iconPath;
  int iconIndex = -1;
};

LoadedLink LoadLink(const std::wstring& path) {
  LoadedLink link;
  IShellLinkW* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shellLink)))) {
    return link;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      wchar_t text[MAX_PATH + 1] = {};
      link.loaded = true;
      if (SUCCEEDED(shellLink->GetPath(text, MAX_PATH, nullptr, 0))) link.target = text;
      text[0] = 0;
      if (SUCCEEDED(shellLink->GetDescription(text, MAX_PATH))) link.description = text;
      text[0] = 0;
      if (SUCCEEDED(shellLink->GetIconLocation(text, MAX_PATH, &link.iconIndex))) {
        link.iconPath = text;
      }
    }
    file->Release();
  }
  shellLink->Release();
  return link;
}

class Shortcut : public ::testing::Test {
 protected:
  void SetUp() override {
    // The entry point initialises COM for its thread in the same way.
    comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    ASSERT_TRUE(comReady);
    folder = TempFolder() + Unique(L"kestrel-links");
    CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"\\";
    target = SystemFolder() + L"\\notepad.exe";
  }
  void TearDown() override {
    DeleteFileW((folder + L"plain.lnk").c_str());
    DeleteFileW((folder + L"icon.lnk").c_str());
    RemoveDirectoryW(folder.c_str());
    if (comReady) CoUninitialize();
  }

  bool comReady = false;
  std::wstring folder, target;
};

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

TEST_F(Shortcut, LinkResolvesToItsTargetDescriptionAndIcon) {
  const std::wstring link = folder + L"icon.lnk";
  const std::wstring icon = SystemFolder() + L"\\shell32.dll";
  ASSERT_EQ(1, CreateShortcut(target.c_str(), link.c_str(), L"Read me first", icon.c_str(), 3));
  LoadedLink loaded = LoadLink(link);
  ASSERT_TRUE(loaded.loaded);
  EXPECT_TRUE(SamePath(target, loaded.target)) << loaded.target;
  EXPECT_EQ(L"Read me first", loaded.description);
  EXPECT_TRUE(SamePath(icon, loaded.iconPath)) << loaded.iconPath;
  EXPECT_EQ(3, loaded.iconIndex);
}

TEST_F(Shortcut, LinkWithoutIconHasNoIconLocation) {
  const std::wstring link = folder + L"plain.lnk";
  ASSERT_EQ(1, CreateShortcut(target.c_str(), link.c_str(), L"Guide", nullptr, 0));
  LoadedLink loaded = LoadLink(link);
  ASSERT_TRUE(loaded.loaded);
  EXPECT_TRUE(SamePath(target, loaded.target)) << loaded.target;
  EXPECT_EQ(L"Guide", loaded.description);
  EXPECT_EQ(L"", loaded.iconPath);
}

TEST_F(Shortcut, OnlyALinkMarkedSoRunsAsAdministrator) {
  const std::wstring marked = folder + L"icon.lnk", plain = folder + L"plain.lnk";
  if (!ShellKeepsRunAsFlag(folder + L"probe.lnk", target.c_str())) {
    GTEST_SKIP() << "this shell does not keep the flags IShellLinkDataList::SetFlags sets";
  }
  ASSERT_EQ(1, CreateShortcut(target.c_str(), marked.c_str(), L"Setup", nullptr, 0, true));
  ASSERT_EQ(1, CreateShortcut(target.c_str(), plain.c_str(), L"Guide", nullptr, 0));
  EXPECT_EQ(static_cast<DWORD>(SLDF_RUNAS_USER), SavedLinkFlags(marked) & SLDF_RUNAS_USER);
  EXPECT_EQ(0u, SavedLinkFlags(plain) & SLDF_RUNAS_USER);
  EXPECT_TRUE(SamePath(target, LoadLink(marked).target));
}

// The callers record a placed link: one that could not be saved must say so.
TEST_F(Shortcut, LinkThatCannotBeSavedFails) {
  const std::wstring link = folder + L"missing-folder\\never.lnk";
  EXPECT_EQ(0, CreateShortcut(target.c_str(), link.c_str(), L"Guide", nullptr, 0));
  EXPECT_FALSE(FileExists(link));
  EXPECT_EQ(0, CreateShortcut(nullptr, (folder + L"plain.lnk").c_str(), L"x", nullptr, 0));
  EXPECT_EQ(0, CreateShortcut(target.c_str(), L"", L"x", nullptr, 0));
}

}  // namespace
