// What writing the product record touches and what a removal takes away, from
// what the earlier installation recorded, what this run placed and the use
// counters: the decisions of the record and removal steps, apart from the registry.
#pragma once

#include <stdint.h>

// The level this program records (product record, document group, layout
// sub-record, chart).
constexpr int32_t kRecordedLevel = 180;
// The level detection gives an installation that left only the system's
// layout entry (no record).
constexpr int32_t kLayoutEntryOnlyLevel = 130;

// What the record writer knows when it writes the full record.
struct RecordFacts {
  bool readMeRecorded;     // the earlier record names the read-me's menu shortcut
  bool webLinksRecorded;   // the earlier record names the menu web link
  int32_t chartLevel;      // the chart's recorded level (recordedValueA)
  bool readMeDesktopMade;  // this run made the read-me's desktop shortcut
  bool guideDesktopMade;   // ... the guide's
  bool chartDesktopMade;   // ... the chart's
};

// Which optional groups of values the full record write touches. The install
// count, the document group's values and the layout sub-record are always written.
struct RecordWrites {
  bool readMe;             // menu shortcut and file (73, 72)
  bool readMeDesktopLink;  // 74
  bool webLinks;           // menu and desktop web links and their icon (75, 76, 79)
  bool chart;              // file and menu shortcut (31, 32), then the level (34)
  bool chartDesktopLink;   // 33
  bool guideDesktopLink;   // 27
};

// What an earlier record already holds is not written again: the read-me and
// the web links once recorded, the chart once at this level. A desktop
// shortcut is recorded when this run made it (the chart's only with the chart).
RecordWrites PlanRecordWrites(const RecordFacts& facts);

// What removing one installation does, from the counters read before it.
struct RemovalPlan {
  int32_t installCount;   // installations still sharing the product record
  int32_t documentUses;   // installations still sharing the document group
  bool removeGuide;       // the guide and its shortcuts (the group's last user)
  bool removeShared;      // read-me, web links, chart, icon and the input language
  // The layout library in the system folders and the system's layout entry:
  // only with the last installation, since every installation uses the same ones.
  bool removeLayout;
};

// Each counter falls by one unless it is 0 already (a negative one counts as 0).
RemovalPlan PlanRemoval(int32_t installCount, int32_t documentUses);
