// Tests of the image check: a pattern must occur once, exactly at its table, or
// setup would patch the wrong bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/layout/ImageCheck.h"

namespace {

class ImageCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LayoutDefinition d;
    std::string error;
    ASSERT_TRUE(ReadLayoutDefinition(std::string(KESTREL_LAYOUT_DIR) + "/standard.layout", &d, &error)) << error;
    ASSERT_TRUE(BuildLayoutTables(d, &tables_, &error)) << error;
    std::vector<LayoutTables> three = {tables_, tables_, tables_};
    three[1].variant = 1;
    three[2].variant = 2;
    ASSERT_TRUE(DerivePatterns(three, &patterns_, &error)) << error;
    const CharRow* decimal = FindCharRow(tables_, 0x6E);
    // A fake image: filler, then each table once, as the library lays them out.
    image_ = std::string(64, '\x55') + ScanTableBytes(tables_) + std::string(8, '\x77') + VscListBytes(tables_.e0) +
             VscListBytes(tables_.e1) + std::string(1, char(decimal->vk)) + char(decimal->attributes) +
             DecimalCellsAndFollowingBytes(tables_) + std::string(16, '\x55');
  }

  std::vector<std::string> Check(const std::string& image) {
    std::vector<std::string> faults;
    CheckImagePatterns("img", image, tables_, patterns_, &faults);
    return faults;
  }

  LayoutTables tables_;
  LayoutPatterns patterns_;
  std::string image_;
};

TEST_F(ImageCheckTest, WellPlacedPatternsPass) { EXPECT_TRUE(Check(image_).empty()); }

TEST_F(ImageCheckTest, ASecondOccurrenceFails) {
  std::vector<std::string> faults = Check(image_ + patterns_.e0);
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_EQ(faults[0], "img: pattern 148 found 2 times (must be once)");
}

TEST_F(ImageCheckTest, APatternAwayFromItsTableFails) {
  // A pattern one code too late still occurs once, but not where the table starts.
  patterns_.scanTable[0] = ScanTableBytes(tables_).substr(2, 16);
  std::vector<std::string> faults = Check(image_);
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_EQ(faults[0].rfind("img: pattern 145 found at 66, table at 64", 0), 0u);
}

TEST_F(ImageCheckTest, AnImageWithoutTheTableFails) {
  std::vector<std::string> faults = Check(std::string(256, '\0'));
  EXPECT_EQ(faults.size(), 4u);
}

TEST_F(ImageCheckTest, FindAllCountsOverlappingMatches) {
  EXPECT_EQ(FindAll("aaaa", "aa"), (std::vector<size_t>{0, 1, 2}));
  EXPECT_TRUE(FindAll("abc", "").empty());
}

}  // namespace
