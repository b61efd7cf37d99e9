// The record writer's and the removal's decisions.

#include "setup/rules/RecordPlan.h"

namespace {

int32_t OneFewer(int32_t count) { return count > 0 ? count - 1 : 0; }

}  // namespace

RecordWrites PlanRecordWrites(const RecordFacts& facts) {
  RecordWrites writes = {};
  writes.readMe = !facts.readMeRecorded;
  writes.readMeDesktopLink = facts.readMeDesktopMade;
  writes.webLinks = !facts.webLinksRecorded;
  writes.chart = facts.chartLevel < kRecordedLevel;
  writes.chartDesktopLink = writes.chart && facts.chartDesktopMade;
  writes.guideDesktopLink = facts.guideDesktopMade;
  return writes;
}

RemovalPlan PlanRemoval(int32_t installCount, int32_t documentUses) {
  RemovalPlan plan = {};
  plan.installCount = OneFewer(installCount);
  // The document group lives in the product record: with the last installation
  // nothing is left to share it, whatever its own counter says (a write of that
  // counter that failed leaves it higher).
  plan.documentUses = plan.installCount == 0 ? 0 : OneFewer(documentUses);
  plan.removeGuide = plan.documentUses == 0;
  plan.removeShared = plan.installCount == 0;
  plan.removeLayout = plan.installCount == 0;
  return plan;
}
