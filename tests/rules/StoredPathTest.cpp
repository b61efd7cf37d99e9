// Which recorded paths the sequences may delete: only a file the program could
// have made there, whatever else a damaged record names.
#include <gtest/gtest.h>

#include "setup/rules/StoredPath.h"
#include "text/WString.h"

namespace {

int Usable(const char16_t* stored, const char16_t* planned) {
  WString s, p;
  s.AssignWide(reinterpret_cast<const WChar*>(stored), -1);
  p.AssignWide(reinterpret_cast<const WChar*>(planned), -1);
  return IsStoredPathUsable(s, p);
}

TEST(StoredPath, OnlyAFileOfTheSameKindInThePlannedFolder) {
  const char16_t* planned = u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\Kestrel Chart.pdf";
  struct Case {
    const char16_t* stored;
    int usable;
  } const cases[] = {
      {u"", 0},  // the program never records an empty path
      {u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\Kestrel Chart.pdf", 1},
      {u"c:\\program files\\KESTREL KEYBOARDS\\kestrel\\Wykres.PDF", 1},  // another language
      {u"Kestrel Chart.pdf", 0},
      {u"kestrel-bait\\Kestrel Chart.pdf", 0},
      {u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\..\\..\\..\\windows\\win.pdf", 0},
      {u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\..", 0},
      {u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\sub\\Kestrel Chart.pdf", 0},
      {u"C:\\Program Files\\Kestrel Keyboards\\Kestrel/Kestrel Chart.pdf", 0},
      {u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\Kestrel Chart.pdf:x.pdf", 0},
      {u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\letter.doc", 0},
      {u"C:\\Program Files\\Kestrel Keyboards\\Kestrel\\Kestrel Chart", 0},
      {u"C:\\windows\\system32\\user32.dll", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.usable, Usable(c.stored, planned))
        << "case " << (&c - cases);
  }
  // A record read as UTF-8 is compared as well; an empty plan allows nothing.
  WString narrow, wide, none;
  narrow.AssignNarrow("C:\\Program Files\\Kestrel Keyboards\\Kestrel\\x.pdf", -1, 0);
  wide.AssignWide(reinterpret_cast<const WChar*>(planned), -1);
  EXPECT_EQ(1, IsStoredPathUsable(narrow, wide));
  EXPECT_EQ(0, IsStoredPathUsable(narrow, none));
}

}  // namespace
