// The overall Peto & Peto statistic and the pair statistics over the weeks of the X range.
#include "stats/group_tests.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/recording.h"
#include "stats/chi_square.h"
#include "survival/analysis.h"
#include "survival/case_builder.h"

namespace orv {
namespace {

using test::Cases;
using test::Join;

// Tables as a load leaves them, then the tests.
void Analyse(Workspace& ws, Surfaces& surfaces) {
  BuildGroupTables(ws);
  BuildPooledTable(ws);
  ComputePetoStatistic(ws, surfaces);
}

// A: deaths in weeks 1 and 3 of 2 cases; B: one case censored in week 5.
std::vector<test::TestCase> TwoGroupExample() { return Join({Cases(1, {1, 3}), Cases(2, {}, {5})}); }

TEST(ComputePetoStatistic, OverallStatisticAndTexts) {
  struct Case {
    const char* name;
    std::vector<test::TestCase> cases;
    int groups;
    double statistic, p;
    const char* pText;
    const char* statText;
  };
  const Case cases[] = {
      // E_A = 2/3 + 1/2, E_B = 1/3 + 1/2: X = (5/6)^2 / (7/6) + (5/6)^2 / (5/6) = 10/7.
      {"two-group example", TwoGroupExample(), 2, 10.0 / 7.0, 0.2319977, "p=0.2319 ", "1.4285 "},
      // From survdiff's observed and expected deaths (stats/reference/pairwise_logrank.out).
      {"three groups", test::ThreeGroups(), 3, 12.2567606697741, 0.0021801, "p=0.0021 ", "12.2567"},
      {"no deaths, two groups", Join({Cases(1, {}, {3, 4}), Cases(2, {}, {6})}), 2, 2, 0.1572992, "p=0.1572 ", "2  "},
      {"no deaths, three groups", Join({Cases(1, {}, {3}), Cases(2, {}, {6}), Cases(3, {}, {9, 9})}), 3, 3, 0.2231301,
       "p=0.2231 ", "3  "},
  };
  for (const Case& c : cases) {
    Workspace ws;
    Surfaces surfaces;
    test::FillCases(ws, c.groups, c.cases, 52);
    Analyse(ws, surfaces);
    EXPECT_EQ(ws.tests.ShownGroupCount, c.groups) << c.name;
    EXPECT_NEAR(ws.tests.petoStatistic, c.statistic, c.statistic * 1e-12) << c.name;
    EXPECT_EQ(ws.tests.petoP, c.p) << c.name;
    EXPECT_EQ(ws.tests.PetoPText, c.pText) << c.name;
    EXPECT_EQ(ws.tests.PetoStatText, c.statText) << c.name;
  }
}

TEST(ComputePetoStatistic, OneShownGroupKeepsThePreviousResults) {
  Workspace ws;
  RecordingResultText logRank;
  Surfaces surfaces{.logRank = &logRank};
  test::FillCases(ws, 2, TwoGroupExample(), 52);
  Analyse(ws, surfaces);
  const GroupTestResults before = ws.tests;
  const std::string window = logRank.Text();
  ws.styles[2].shown = 0;
  BuildPooledTable(ws);
  ComputePetoStatistic(ws, surfaces);
  EXPECT_EQ(ws.tests.ShownGroupCount, 1);
  EXPECT_EQ(ws.tests.PetoPText, before.PetoPText);
  EXPECT_EQ(ws.tests.PetoStatText, before.PetoStatText);
  EXPECT_EQ(ws.tests.pairs.LogRankChi2, before.pairs.LogRankChi2);
  EXPECT_EQ(logRank.Text(), window);
}

TEST(ComputePairStats, TwoGroupExample) {
  Workspace ws;
  Surfaces surfaces;
  test::FillCases(ws, 2, TwoGroupExample(), 52);
  Analyse(ws, surfaces);
  const PairStats& s = ws.tests.pairs;
  EXPECT_NEAR(s.LogRankChi2[1][2], 25.0 / 17.0, 1e-12);
  EXPECT_EQ(s.LogRankP[1][2], 0.2252529);
  EXPECT_EQ(PValueText(s.LogRankP[1][2]), "p=0.2252 ");
  EXPECT_EQ(StatisticText(s.LogRankChi2[1][2]), "  1.47058");
  EXPECT_NEAR(s.WilcoxonChi2[1][2], 4.0 / 3.0, 1e-12);
  EXPECT_EQ(s.WilcoxonP[1][2], 0.2482131);
}

TEST(ComputePairStats, SymmetricWithAZeroDiagonalAndHiddenGroupsCompared) {
  Workspace ws;
  Surfaces surfaces;
  test::FillCases(ws, 3, test::ThreeGroups(), 52);
  ws.styles[2].shown = 0;
  Analyse(ws, surfaces);
  const PairStats& s = ws.tests.pairs;
  for (const PairTable* t : {&s.LogRankChi2, &s.LogRankP, &s.WilcoxonChi2, &s.WilcoxonP}) {
    for (std::size_t i = 1; i <= 3; ++i) {
      EXPECT_EQ((*t)[i][i], 0);
      for (std::size_t j = i + 1; j <= 3; ++j) {
        EXPECT_EQ((*t)[i][j], (*t)[j][i]) << i << "-" << j;
        EXPECT_GT((*t)[i][j], 0) << i << "-" << j;
      }
    }
  }
}

TEST(ComputePairStats, PairWithoutInformativeWeekHasNoStatistic) {
  struct Case {
    const char* name;
    std::vector<test::TestCase> cases;
  };
  const Case cases[] = {
      {"no deaths at all", Join({Cases(1, {}, {3, 4}), Cases(2, {}, {6})})},
      {"deaths only after the range", Join({Cases(1, {60}, {3}), Cases(2, {70}, {6})})},
      {"a death after the other group has left", Join({Cases(1, {2}), Cases(2, {}, {1})})},
  };
  for (const Case& c : cases) {
    Workspace ws;
    test::FillCases(ws, 2, c.cases, 52);
    BuildGroupTables(ws);
    ComputePairStats(ws);
    const PairStats& s = ws.tests.pairs;
    EXPECT_TRUE(std::isnan(s.LogRankChi2[1][2]) && std::isnan(s.WilcoxonChi2[2][1])) << c.name;
    EXPECT_EQ(s.LogRankP[1][2], 1) << c.name;
    EXPECT_EQ(s.WilcoxonP[2][1], 1) << c.name;
    EXPECT_EQ(StatisticText(s.LogRankChi2[1][2]), "  n/a") << c.name;
  }
}

TEST(PetoStatisticText, FirstSevenCharactersWithTwoBlanks) {
  struct Case {
    const char* name;
    double x;
    const char* text;
  };
  const Case cases[] = {
      {"cut to seven", 12.3456789, "12.3456"},
      {"short value padded", 3.5, "3.5  "},
      {"one blank left", 0.123456, "0.1234 "},
      {"cut, not rounded", 1.99999, "1.9999 "},
      {"beyond the 32-bit cut", 300000.56789, "300000."},
      {"seven integer digits", 1234567.8, "1234567"},
      {"more than seven integer digits shown whole", 123456789.5, "123456789"},
  };
  for (const Case& c : cases) EXPECT_EQ(PetoStatisticText(c.x), c.text) << c.name;
}

}  // namespace
}  // namespace orv
