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

// Deaths in every one of the 2,081 weeks: a case per death, a censored case every
// `censoredEvery` weeks, the rest censored at the last week.
test::Group Weekly(int cases, int deathsPerWeek, int censoredEvery) {
  test::Group g;
  for (int w = 0; w <= kMaxWeek; ++w) {
    g.deaths.insert(g.deaths.end(), static_cast<std::size_t>(deathsPerWeek), w);
    if (w % censoredEvery == 0) g.censored.push_back(w);
  }
  g.censored.resize(static_cast<std::size_t>(cases) - g.deaths.size(), kMaxWeek);
  return g;
}

TEST(ExactFraction, ShownSurvivalAndMedianFollowR) {
  // Per group (0 the pool): R's survival at weeks 260 and 520 and its first week with
  // survival 0.5 or less (0: never).
  struct Expected { double at5y, at10y; std::uint32_t median; };
  const struct { const char* name; test::DataSet groups; std::vector<Expected> expected; } cases[] = {
      {"three arms, many deaths", ManyDeaths(),
       {{0.773520068404091, 0.401864744521712, 470}, {0.731859107890623, 0.325659952971758, 434},
        {0.773043596486964, 0.403216453579686, 469}, {0.818035538898753, 0.494626211249128, 517}}},
      {"deaths in every week", {Weekly(8000, 2, 1), Weekly(5000, 1, 2)},
       {{0.938826230148063, 0.875835962257661, 1867}, {0.933640699988697, 0.865100856869950, 1723},
        {0.947093951597900, 0.892877826741679, 0}}},
  };
  for (const auto& c : cases) {
    Workspace ws;
    test::Analyse(ws, c.groups);
    for (std::size_t g = 0; g < c.expected.size(); ++g) {
      SCOPED_TRACE(std::string(c.name) + ", group " + std::to_string(g));
      const Expected& e = c.expected[g];
      const auto& table = ws.survival.SurvivalTable;
      EXPECT_NEAR(table[260][kSurvival][g], e.at5y, 1e-12);
      EXPECT_NEAR(table[520][kSurvival][g], e.at10y, 1e-12);
      const auto& texts = ws.survival.GroupSummaryTexts[g];
      EXPECT_EQ(texts[kFiveYears], PercentText(e.at5y) + " %");
      EXPECT_EQ(texts[kTenYears], PercentText(e.at10y) + " %");
      EXPECT_EQ(texts[kMedian], e.median != 0 ? WeeksToYearsMonths(e.median) : "");
    }
  }
}

}  // namespace
}  // namespace orv
