// The application object of the engine tests: the real payload, with the
// first language table replaced by the tests' own texts.

#include "tests/engine/EngineFixture.h"

#include <vector>

#include "tests/app/support/InstallerAppProbe.h"
#include "tests/app/support/TableImage.h"

namespace {

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

TableImage TestTexts() {
  const std::wstring childPath = TestProgramFolder() + KESTREL_SYSTEM_TEST_CHILD;
  std::vector<TableText> texts = {
      Wide(kTestKeyId, U16(TestKeyPath())),
      Wide(kTestSubKeyId, u"Child"),
      Wide(kTestMachineKeyId, U16(TestMachineKeyPath())),
      Wide(kBinaryValueId, u"Bytes"),
      Wide(kDwordValueId, u"Number"),
      Wide(kTextValueId, u"Text"),
      Narrow(kNarrowValueId, "Raw"),
      Wide(kTextDataId, u"Za\u017C\u00F3\u0142\u0107 g\u0119\u015Bl\u0105"),
      Wide(kHexUpperId, u"00FF10AB"),
      Narrow(kHexNarrowId, "ABz"),
      Wide(kHexLowerId, u"00ff"),
      Wide(kIniAssociationId, u".ini"),
      Wide(kNoAssociationId, u".kestrelnothing"),
      Wide(kTestAssociationId, U16(L"." + Unique(L"kst"))),
      Wide(kPathLibraryId, U16(SystemFolder() + L"\\kernel32.dll")),
      Narrow(kProcessIdProcId, "GetCurrentProcessId"),
      Narrow(kMissingProcId, "KestrelNoSuchProcedure"),
      Wide(kChildCommandId, U16(L"\"" + childPath + L"\" \"%s\" %d")),
      Wide(kMissingProgramCommandId, u"\"%s\\kestrel-missing-program.exe\""),
      Wide(kSystemCommandId, U16(L"\"%s\\" + SystemChildName() + L"\" \"%s\" 0")),
  };
  return BuildTable(texts);
}

}  // namespace

std::wstring SystemChildName() { return Unique(L"kestrel-engine-child") + L".exe"; }

std::wstring TestKeyPath() { return L"Software\\KestrelTests\\" + Unique(L"Engine"); }

std::wstring TestMachineKeyPath() { return L"Software\\KestrelTests\\" + Unique(L"Machine"); }

void EngineTest::SetUp() {
  ASSERT_EQ(1, app.initialise(GetModuleHandleW(nullptr)));
  ASSERT_EQ(1, AttachImage(TestTexts(), InstallerAppProbe::languageTable(app, 0)));
  ASSERT_EQ(1, app.setLanguageIndex(0));
  ready = true;
}
