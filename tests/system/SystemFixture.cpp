// The application object of the system tests: the real payload, with the
// first language table replaced by the tests' own texts.

#include "tests/system/SystemFixture.h"

#include <stdio.h>

#include <vector>

#include "tests/app/support/InstallerAppProbe.h"
#include "tests/app/support/TableImage.h"

namespace {

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

TableImage TestTexts() {
  const std::wstring childPath = TestProgramFolder() + KESTREL_SYSTEM_TEST_CHILD;
  std::vector<TableText> texts = {
      Wide(kTestKeyId, U16(L"Software\\KestrelTests\\" + Unique(L"System"))),
      Wide(kTestSubKeyId, u"Child"),
      Wide(kTestMachineKeyId, U16(L"Software\\KestrelTests\\" + Unique(L"Machine"))),
      Wide(kBinaryValueId, u"Bytes"),
      Wide(kDwordValueId, u"Number"),
      Wide(kTextValueId, u"Text"),
      Narrow(kRawValueId, "Raw"),
      Wide(kTextDataId, u"Za\u017C\u00F3\u0142\u0107 g\u0119\u015Bl\u0105"),
      Wide(kHexUpperId, u"00FF10AB"),
      Wide(kHexLowerId, u"00ff"),
      Narrow(kHexOddId, "ABz"),
      Wide(kHexBadDigitId, u"0G12"),
      Wide(kHexSingleId, u"A"),
      Wide(kIniAssociationId, u".ini"),
      Wide(kNoAssociationId, u".kestrelnothing"),
      Wide(kTestAssociationId, U16(L"." + Unique(L"kst"))),
      Wide(kPlantedLibraryId, U16(Unique(L"kestrel-planted") + L".dll")),
      Wide(kPathLibraryId, U16(SystemFolder() + L"\\kernel32.dll")),
      Wide(kParentPathLibraryId, u"..\\system32\\kernel32.dll"),
      Wide(kVersionLibraryId, u"version.dll"),
      Narrow(kProcessIdProcId, "GetCurrentProcessId"),
      Narrow(kMissingProcId, "KestrelNoSuchProcedure"),
      Wide(kChildCommandId, U16(L"\"" + childPath + L"\" \"%s\" %d")),
      Wide(kCmdCommandId, u"\"%s\\cmd.exe\" /c exit 0"),
      Wide(kMissingProgramCommandId, u"\"%s\\kestrel-missing-program.exe\""),
      Wide(kAssociatedCommandId, u"\"%s\" \"%s\" 0"),
      Wide(kReplaceCommandId, U16(L"\"" + childPath + L"\" \"%s\" %d \"%s\"")),
  };
  return BuildTable(texts);
}

}  // namespace

std::wstring Wide(const WString& text) {
  if (!text.IsWide()) return L"<narrow>";
  return std::wstring(text.WideAt(0), static_cast<size_t>(text.Length()));
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  UINT length = GetSystemDirectoryW(folder, MAX_PATH + 1);
  return std::wstring(folder, length);
}

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path);
  return text.substr(0, text.find_last_of(L'\\') + 1);
}

std::wstring Unique(const wchar_t* base) {
  wchar_t text[96];
  swprintf(text, 96, L"%ls-%lu", base, static_cast<unsigned long>(GetCurrentProcessId()));
  return text;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadWholeFile(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void SystemTest::SetUp() {
  ASSERT_EQ(1, app.initialise(GetModuleHandleW(nullptr)));
  ASSERT_EQ(1, AttachImage(TestTexts(), InstallerAppProbe::languageTable(app, 0)));
  ASSERT_EQ(1, app.setLanguageIndex(0));
  ready = true;
}
