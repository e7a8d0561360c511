// The X range across a run in which no group is shown: nothing to fit, so the range stays.
#include "survival/analysis.h"

#include <gtest/gtest.h>

#include "survival/case_builder.h"

namespace orv {
namespace {

void ShowAll(Workspace& ws, int shown) {
  for (int g = 1; g <= ws.cases.NumGroups; ++g) ws.styles[g].shown = shown;
}

TEST(RunAnalysis, NoShownGroupLeavesTheRange) {
  // Each group's last event, and the range before the groups are all hidden and shown again.
  const struct { const char* name; test::DataSet groups; int xMax, fitted; } cases[] = {
      {"ten years over a follow-up of forty", test::kLongFollowUp, 520, 520},
      {"five years", test::kLongFollowUp, 260, 260},
      {"lowered to the data first, at 156", {{{100}}, {{}, {150}}}, 260, 156},
      {"one year, the least the axis shows", test::kLongFollowUp, 52, 52},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace ws;
    Surfaces surfaces;
    test::FillCases(ws, c.groups, c.xMax);
    ComputeGroupSurvival(ws, surfaces);
    ASSERT_EQ(ws.geometry.xMax, c.fitted);
    const std::string pText = ws.tests.PetoPText;

    ShowAll(ws, 0);
    ComputeAllCases(ws, surfaces);
    EXPECT_EQ(ws.geometry.xMax, c.fitted) << "nothing shown";
    ShowAll(ws, 1);
    ComputeAllCases(ws, surfaces);
    EXPECT_EQ(ws.geometry.xMax, c.fitted) << "all shown again";
    EXPECT_EQ(ws.tests.PetoPText, pText) << "the tests run over the same weeks as before";
  }
}

}  // namespace
}  // namespace orv
