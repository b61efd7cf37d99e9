// Composition of the program's path set from its facts: every slot with the
// product's texts, and the edge cases of folders, names and the own path.
#include <gtest/gtest.h>

#include <string>

#include "setup/rules/ProgramPathSet.h"
#include "text/WString.h"

namespace {

// Test texts are written as u"" literals; WChar is wchar_t on Windows.
const WChar* W(const char16_t* text) { return reinterpret_cast<const WChar*>(text); }

std::u16string Text(const WString& text) {
  EXPECT_TRUE(text.IsEmpty() || text.IsWide());
  return std::u16string(reinterpret_cast<const char16_t*>(text.WideAt(0)),
                        static_cast<size_t>(text.Length()));
}

// The facts of an English installation, every text in its stored form; a test
// changes one fact and composes.
class PathFacts {
 public:
  PathFacts() {
    programFiles.AssignWide(W(u"C:\\Program Files"), -1);
    commonPrograms.AssignWide(W(u"C:\\ProgramData\\Start Menu\\Programs"), -1);
    commonDesktop.AssignWide(W(u"C:\\Users\\Public\\Desktop"), -1);
    vendorFolder.AssignWide(W(u"Kestrel Keyboards"), -1);
    productFolder.AssignNarrow("Kestrel", -1, 0);  // stored as UTF-8 in the tables
    guideName.AssignWide(W(u"Kestrel User Guide"), -1);
    guideQualifier.AssignWide(W(u"1.8"), -1);
    chartName.AssignWide(W(u"Kestrel Keyboard Chart"), -1);
    documentExtension.AssignWide(W(u".pdf"), -1);
    shortcutExtension.AssignWide(W(u".lnk"), -1);
    textFileExtension.AssignWide(W(u".txt"), -1);
    webLinkExtension.AssignWide(W(u".url"), -1);
    setupLinkFormat.AssignWide(W(u"Change or Remove %s"), -1);
    webLinkName.AssignWide(W(u"Kestrel on the Web"), -1);
    readMeName.AssignWide(W(u"Kestrel Read Me"), -1);
    webLinkIcon.AssignWide(W(u"kestrel.ico"), -1);
    layoutDisplayName.AssignWide(W(u"Polish (Kestrel)"), -1);
    ownPath = u"C:\\Temp\\setup.exe";
  }

  int Compose() {
    ProgramPathFacts facts = {&programFiles, &commonPrograms, &commonDesktop, &vendorFolder,
                              &productFolder, &guideName, &guideQualifier, &chartName,
                              &documentExtension, &shortcutExtension, &textFileExtension,
                              &webLinkExtension, &setupLinkFormat, &webLinkName, &readMeName,
                              &webLinkIcon, &layoutDisplayName, W(ownPath)};
    return ComposeProgramPaths(facts, paths);
  }
  std::u16string Slot(int i) const { return Text(paths[i]); }

  WString programFiles, commonPrograms, commonDesktop, vendorFolder, productFolder;
  WString guideName, guideQualifier, chartName, documentExtension, shortcutExtension;
  WString textFileExtension, webLinkExtension, setupLinkFormat, webLinkName, readMeName;
  WString webLinkIcon, layoutDisplayName;
  const char16_t* ownPath;
  WString paths[kProgramPathSlots];
};

TEST(ProgramPathSet, EveryComputedSlotFromTheProductTexts) {
  PathFacts f;
  ASSERT_EQ(1, f.Compose());
  const std::u16string program = u"C:\\Program Files\\Kestrel Keyboards\\Kestrel";
  const std::u16string menu = u"C:\\ProgramData\\Start Menu\\Programs\\Kestrel Keyboards\\Kestrel";
  const std::u16string desktop = u"C:\\Users\\Public\\Desktop";
  const struct {
    int slot;
    std::u16string path;
  } expected[] = {
      {2, u"C:\\Program Files\\Kestrel Keyboards"},
      {3, program},
      {4, u"C:\\ProgramData\\Start Menu\\Programs\\Kestrel Keyboards"},
      {5, menu},
      {7, program + u"\\Kestrel User Guide (1.8).pdf"},
      {9, menu + u"\\Kestrel User Guide (1.8).lnk"},
      {11, desktop + u"\\Kestrel User Guide (1.8).lnk"},
      {13, program + u"\\Kestrel Keyboard Chart.pdf"},
      {15, menu + u"\\Kestrel Keyboard Chart.lnk"},
      {17, desktop + u"\\Kestrel Keyboard Chart.lnk"},
      {19, program + u"\\Kestrel Read Me.txt"},
      {21, menu + u"\\Kestrel Read Me.lnk"},
      {23, desktop + u"\\Kestrel Read Me.lnk"},
      {25, menu + u"\\Kestrel on the Web.url"},
      {27, desktop + u"\\Kestrel on the Web.url"},
      {29, program + u"\\kestrel.ico"},
      {30, u"C:\\Temp\\setup.exe"},
      {31, u"Change or Remove Polish (Kestrel)"},
      {33, program + u"\\setup.exe"},
      {35, menu + u"\\Change or Remove Polish (Kestrel).lnk"},
  };
  for (const auto& e : expected) EXPECT_EQ(e.path, f.Slot(e.slot)) << "slot " << e.slot;
}

TEST(ProgramPathSet, SlotsOfTheRecordAndTheOptionsPageAreLeftAlone) {
  PathFacts f;
  for (int i : {0, 1, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 34}) {
    f.paths[i].AssignWide(W(u"recorded"), -1);
  }
  ASSERT_EQ(1, f.Compose());
  for (int i : {0, 1, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 34}) {
    EXPECT_EQ(u"recorded", f.Slot(i)) << "slot " << i;
  }
}

TEST(ProgramPathSet, ComposingAgainReplacesEarlierPaths) {
  PathFacts f;
  ASSERT_EQ(1, f.Compose());
  f.programFiles.AssignWide(W(u"D:\\Apps"), -1);
  ASSERT_EQ(1, f.Compose());
  EXPECT_EQ(u"D:\\Apps\\Kestrel Keyboards\\Kestrel", f.Slot(3));
  EXPECT_EQ(u"D:\\Apps\\Kestrel Keyboards\\Kestrel\\setup.exe", f.Slot(33));
}

// ---- The program's own name --------------------------------------------------

TEST(OwnFileName, IsThePartAfterTheLastSeparatorAndStaysInItsFolder) {
  const struct {
    const char16_t* path;
    const char16_t* name;  // null: refused
  } cases[] = {
      {u"C:\\Temp\\setup.exe", u"setup.exe"},
      {u"C:\\Temp\\Kestrel 1.8 Setup.exe", u"Kestrel 1.8 Setup.exe"},
      {u"setup.exe", u"setup.exe"},
      {u"C:/x/setup.exe", u"setup.exe"},  // both separators split
      {u"C:/x\\y/setup.exe", u"setup.exe"},
      {u"\\\\server\\share\\setup.exe", u"setup.exe"},
      {u"C:\\Temp\\", nullptr},                    // no name
      {u"", nullptr},
      {u"C:\\Temp\\notes.txt:setup.exe", nullptr},  // a stream of another file
      {u"C:setup.exe", nullptr},                      // relative to a drive
      {u"C:\\Temp\\..", nullptr},
      {u"..\\..\\x.exe", u"x.exe"},                // only the last part is kept
  };
  for (const auto& c : cases) {
    WString name;
    name.AssignWide(W(u"old"), -1);
    EXPECT_EQ(c.name != nullptr ? 1 : 0, OwnFileName(W(c.path), name));
    EXPECT_EQ(std::u16string(c.name != nullptr ? c.name : u""), Text(name));
  }
  WString name;
  EXPECT_EQ(0, OwnFileName(nullptr, name));
}

TEST(ProgramPathSet, RefusedOwnNameLeavesTheSetupSlotsEmpty) {
  PathFacts f;
  f.ownPath = u"C:\\Temp\\..";
  EXPECT_EQ(0, f.Compose());
  for (int i : {30, 31, 33, 35}) EXPECT_EQ(u"", f.Slot(i)) << "slot " << i;
}

TEST(ProgramPathSet, WithoutAnOwnPathTheSetupSlotsStayEmpty) {
  PathFacts f;
  f.ownPath = nullptr;
  EXPECT_EQ(0, f.Compose());
  for (int i : {30, 31, 33, 35}) EXPECT_EQ(u"", f.Slot(i)) << "slot " << i;
  // Everything before the command line is still composed.
  EXPECT_EQ(u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\kestrel.ico", f.Slot(29));
}

// ---- Missing texts and folders -------------------------------------------------

TEST(ProgramPathSet, EmptyProductFolderEndsTheProgramFolderWithOneBackslash) {
  PathFacts f;
  f.productFolder.AssignWide(W(u""), 0);
  ASSERT_EQ(1, f.Compose());
  EXPECT_EQ(u"C:\\Program Files\\Kestrel Keyboards\\", f.Slot(3));
  EXPECT_EQ(u"C:\\Program Files\\Kestrel Keyboards\\setup.exe", f.Slot(33));
  EXPECT_EQ(u"C:\\ProgramData\\Start Menu\\Programs\\Kestrel Keyboards\\", f.Slot(5));
}

// Paths composed from an empty folder would begin at the current drive's root.
TEST(ProgramPathSet, AnyFailedFolderQueryComposesNothing) {
  for (int which = 0; which < 3; ++which) {
    PathFacts f;
    WString* folders[] = {&f.programFiles, &f.commonPrograms, &f.commonDesktop};
    folders[which]->AssignWide(W(u""), 0);
    EXPECT_EQ(0, f.Compose()) << "folder " << which;
    for (int i = 2; i < kProgramPathSlots; ++i) EXPECT_EQ(u"", f.Slot(i)) << "slot " << i;
  }
}

TEST(ProgramPathSet, FolderEndingInABackslashGetsNoSecondOne) {
  PathFacts f;
  f.programFiles.AssignWide(W(u"C:\\"), -1);
  f.vendorFolder.AssignWide(W(u"\\Kestrel Keyboards"), -1);
  ASSERT_EQ(1, f.Compose());
  EXPECT_EQ(u"C:\\Kestrel Keyboards", f.Slot(2));
}

TEST(ProgramPathSet, MissingNamesGiveEmptyParts) {
  PathFacts f;
  f.guideQualifier.AssignWide(W(u""), 0);
  f.setupLinkFormat.AssignWide(W(u""), 0);
  f.shortcutExtension.AssignWide(W(u""), 0);
  ASSERT_EQ(1, f.Compose());
  EXPECT_EQ(u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\Kestrel User Guide ().pdf",
            f.Slot(7));
  EXPECT_EQ(u"", f.Slot(31));
  EXPECT_EQ(u"C:\\ProgramData\\Start Menu\\Programs\\Kestrel Keyboards\\Kestrel\\", f.Slot(35));
}

TEST(ProgramPathSet, NarrowTextsJoinAsWide) {
  PathFacts f;
  f.guideName.AssignNarrow("Kestrel \xE2\x80\x93 podr\xC4\x99" "cznik", -1, 0);
  f.layoutDisplayName.AssignNarrow("Polski (Kestrel)", -1, 0);
  ASSERT_EQ(1, f.Compose());
  EXPECT_EQ(u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\Kestrel \u2013 podr\u0119cznik (1.8).pdf",
            f.Slot(7));
  EXPECT_EQ(u"Change or Remove Polski (Kestrel)", f.Slot(31));
}

TEST(ProgramPathSet, MalformedTextIsReported) {
  PathFacts f;
  f.chartName.AssignNarrow("Chart \xC3", -1, 0);  // a lead byte with no continuation
  EXPECT_EQ(0, f.Compose());
  EXPECT_EQ(u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\setup.exe", f.Slot(33));
}

}  // namespace
