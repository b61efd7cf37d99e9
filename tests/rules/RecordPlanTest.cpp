// What a full record write touches after an earlier installation, and what a
// removal takes away for given use counters.
#include <gtest/gtest.h>

#include "setup/rules/RecordPlan.h"

namespace {

TEST(RecordPlan, RecordedGroupsAreNotWrittenAgain) {
  struct Case {
    RecordFacts facts;
    RecordWrites writes;
  } const cases[] = {
      // A first installation, no desktop shortcuts.
      {{false, false, 0, false, false, false}, {true, false, true, true, false, false}},
      // The same with every desktop shortcut made.
      {{false, false, 0, true, true, true}, {true, true, true, true, true, true}},
      // Over a recorded one: read-me and links kept, the chart at this level kept
      // (its desktop shortcut too), the guide's desktop shortcut recorded again.
      {{true, true, 180, true, true, true}, {false, true, false, false, false, true}},
      // A chart of an older level is placed and recorded again.
      {{true, true, 170, false, false, true}, {false, false, false, true, true, false}},
  };
  for (const Case& c : cases) {
    const RecordWrites w = PlanRecordWrites(c.facts);
    SCOPED_TRACE(testing::Message() << c.facts.chartLevel << "/" << c.facts.readMeRecorded);
    EXPECT_EQ(c.writes.readMe, w.readMe);
    EXPECT_EQ(c.writes.readMeDesktopLink, w.readMeDesktopLink);
    EXPECT_EQ(c.writes.webLinks, w.webLinks);
    EXPECT_EQ(c.writes.chart, w.chart);
    EXPECT_EQ(c.writes.chartDesktopLink, w.chartDesktopLink);
    EXPECT_EQ(c.writes.guideDesktopLink, w.guideDesktopLink);
  }
}

// The library and the layout entry are shared like the read-me: another
// installation still counted keeps them.
TEST(RecordPlan, SharedPartsGoOnlyWithTheLastInstallation) {
  struct Case {
    int32_t installs, documentUses;
    RemovalPlan plan;
  } const cases[] = {
      {1, 1, {0, 0, true, true, true}},
      {2, 1, {1, 0, true, false, false}},
      {2, 2, {1, 1, false, false, false}},
      {1, 3, {0, 0, true, true, true}},   // a counter left higher: the guide goes too
      {0, 0, {0, 0, true, true, true}},   // a damaged record: nothing left to share
      {-4, 1, {0, 0, true, true, true}},
  };
  for (const Case& c : cases) {
    const RemovalPlan p = PlanRemoval(c.installs, c.documentUses);
    SCOPED_TRACE(testing::Message() << c.installs << "/" << c.documentUses);
    EXPECT_EQ(c.plan.installCount, p.installCount);
    EXPECT_EQ(c.plan.documentUses, p.documentUses);
    EXPECT_EQ(c.plan.removeGuide, p.removeGuide);
    EXPECT_EQ(c.plan.removeShared, p.removeShared);
    EXPECT_EQ(c.plan.removeLayout, p.removeLayout);
  }
}

}  // namespace
