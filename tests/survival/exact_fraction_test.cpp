// The survival the views show is the whole Kaplan-Meier product, cut to three decimals only
// as text: on data with many deaths a fraction cut at every week drifts well below R's
// survfit (reference/exact_fraction.R and .out hold the figures below).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/analysis.h"
#include "survival/case_builder.h"
#include "text/period_text.h"

namespace orv {
namespace {

test::DataSet ManyDeaths() {
  test::DataSet arms(3);
  for (int a = 0; a < 3; ++a) {
    for (int i = 0; i < (a == 2 ? 309 : 310); ++i) {
      const int week = (i * 97 + a * 31) % 600;
      ((i * 13 + a * 5) % 20 < 11 - 2 * a ? arms[a].deaths : arms[a].censored).push_back(week);
    }
  }
  return arms;
}

TEST(ExactFraction, ShownSurvivalAndMedianFollowR) {
  // Per group (0 the pool) of three arms with many deaths: R's survival at weeks 260 and 520
  // and its first week with survival 0.5 or less.
  const struct { double at5y, at10y; std::uint32_t median; } expected[] = {
      {0.773520068404091, 0.401864744521712, 470}, {0.731859107890623, 0.325659952971758, 434},
      {0.773043596486964, 0.403216453579686, 469}, {0.818035538898753, 0.494626211249128, 517}};
  Workspace ws;
  test::FillCases(ws, ManyDeaths());
  BuildGroupTables(ws);
  BuildPooledTable(ws);
  for (std::size_t g = 0; g < std::size(expected); ++g) {
    SCOPED_TRACE("group " + std::to_string(g));
    const auto& e = expected[g];
    const auto& table = ws.survival.SurvivalTable;
    EXPECT_NEAR(table[260][kSurvival][g], e.at5y, 1e-12);
    EXPECT_NEAR(table[520][kSurvival][g], e.at10y, 1e-12);
    const auto& texts = ws.survival.GroupSummaryTexts[g];
    EXPECT_EQ(texts[kFiveYears], PercentText(e.at5y) + " %");
    EXPECT_EQ(texts[kTenYears], PercentText(e.at10y) + " %");
    EXPECT_EQ(texts[kMedian], WeeksToYearsMonths(e.median));
  }
}

}  // namespace
}  // namespace orv
