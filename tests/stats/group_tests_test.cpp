// The overall Peto & Peto statistic and the pair statistics over the weeks of the X range.
#include "stats/group_tests.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/recording.h"
#include "stats/chi_square.h"
#include "stats/pair_data.h"
#include "survival/analysis.h"

namespace orv {
namespace {

using test::Cases;
using test::FillCases;
using test::Join;
using test::kCensoredCase;
using test::kDeath;
using test::TestCase;

// Tables built as a load leaves them, then the tests run.
void Analyse(Workspace& ws, Surfaces& surfaces) {
  BuildGroupTables(ws);
  BuildPooledTable(ws);
  ComputePetoStatistic(ws, surfaces);
}

// A: deaths in weeks 1 and 3 of 2 cases; B: one case censored in week 5.
std::vector<TestCase> TwoGroupExample() { return Join({Cases(1, {1, 3}, {}), Cases(2, {}, {5})}); }

TEST(ComputePetoStatistic, OverallStatisticAndTexts) {
  struct Case {
    const char* name;
    std::vector<TestCase> cases;
    int numGroups;
    int shownGroups;
    double statistic;
    double p;
    const char* pText;
    const char* statText;
  };
  const Case cases[] = {
      // E_A = 2/3 + 1/2, E_B = 1/3 + 1/2: X = (5/6)^2 / (7/6) + (5/6)^2 / (5/6) = 10/7.
      {"two-group example", TwoGroupExample(), 2, 2, 10.0 / 7.0, 0.2319977, "p=0.2319 ", "1.4285 "},
      {"no deaths, two groups", Join({Cases(1, {}, {3, 4}), Cases(2, {}, {6})}), 2, 2, 2, 0.1572992, "p=0.1572 ", "2  "},
      {"no deaths, three groups", Join({Cases(1, {}, {3}), Cases(2, {}, {6}), Cases(3, {}, {9, 9})}), 3, 3, 3,
       0.2231301, "p=0.2231 ", "3  "},
  };
  for (const Case& c : cases) {
    Workspace ws;
    Surfaces surfaces;
    FillCases(ws, c.numGroups, c.cases, 52);
    Analyse(ws, surfaces);
    EXPECT_EQ(ws.tests.ShownGroupCount, c.shownGroups) << c.name;
    EXPECT_NEAR(ws.tests.petoStatistic, c.statistic, 1e-12) << c.name;
    EXPECT_EQ(ws.tests.petoP, c.p) << c.name;
    EXPECT_EQ(ws.tests.PetoPText, c.pText) << c.name;
    EXPECT_EQ(ws.tests.PetoStatText, c.statText) << c.name;
  }
}

TEST(ComputePetoStatistic, OneShownGroupKeepsThePreviousResults) {
  Workspace ws;
  RecordingResultText logRank, wilcoxon;
  Surfaces surfaces;
  surfaces.logRank = &logRank;
  surfaces.wilcoxon = &wilcoxon;
  FillCases(ws, 2, TwoGroupExample(), 52);
  Analyse(ws, surfaces);
  const GroupTestResults before = ws.tests;
  const std::string shownTable = logRank.Text();

  ws.styles[2].shown = 0;
  BuildPooledTable(ws);
  ComputePetoStatistic(ws, surfaces);
  EXPECT_EQ(ws.tests.ShownGroupCount, 1);
  EXPECT_EQ(ws.tests.PetoPText, before.PetoPText);
  EXPECT_EQ(ws.tests.PetoStatText, before.PetoStatText);
  EXPECT_EQ(ws.tests.pairs.LogRankChi2, before.pairs.LogRankChi2);
  EXPECT_EQ(ws.tests.logRankTable, before.logRankTable);
  EXPECT_EQ(logRank.Text(), shownTable);
}

TEST(ComputePairStats, TwoGroupExample) {
  Workspace ws;
  Surfaces surfaces;
  FillCases(ws, 2, TwoGroupExample(), 52);
  Analyse(ws, surfaces);
  const PairStats& s = ws.tests.pairs;
  struct Case {
    const char* name;
    double statistic, expectedStatistic, p, expectedP;
    const char* text;
  };
  const Case cases[] = {
      {"log-rank 25/17", s.LogRankChi2[1][2], 25.0 / 17.0, s.LogRankP[1][2], 0.2252529, "  1.47058"},
      {"Wilcoxon 4/3", s.WilcoxonChi2[1][2], 4.0 / 3.0, s.WilcoxonP[1][2], 0.2482131, "  1.33333"},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(c.statistic, c.expectedStatistic, 1e-12) << c.name;
    EXPECT_EQ(c.p, c.expectedP) << c.name;
    EXPECT_EQ(StatisticText(c.statistic), c.text) << c.name;
  }
  EXPECT_EQ(PValueText(s.LogRankP[1][2]), "p=0.2252 ");
}

TEST(ComputePairStats, TablesAreSymmetricWithAZeroDiagonalAndCoverHiddenGroups) {
  Workspace ws;
  Surfaces surfaces;
  FillCases(ws, 3, test::ThreeGroups(), 52);
  ws.styles[2].shown = 0;
  Analyse(ws, surfaces);
  const PairStats& s = ws.tests.pairs;
  struct Case {
    const char* name;
    const PairTable* table;
  };
  const Case cases[] = {{"log-rank statistic", &s.LogRankChi2},
                        {"log-rank p", &s.LogRankP},
                        {"Wilcoxon statistic", &s.WilcoxonChi2},
                        {"Wilcoxon p", &s.WilcoxonP}};
  for (const Case& c : cases) {
    const PairTable& t = *c.table;
    for (std::size_t i = 1; i <= 3; ++i) {
      EXPECT_EQ(t[i][i], 0) << c.name;
      for (std::size_t j = i + 1; j <= 3; ++j) {
        EXPECT_EQ(t[i][j], t[j][i]) << c.name << " " << i << "-" << j;
        EXPECT_GT(t[i][j], 0) << c.name << " hidden group 2 still compared, " << i << "-" << j;
      }
    }
  }
}

TEST(ComputePairStats, PairWithoutInformativeWeekHasNoStatistic) {
  struct Case {
    const char* name;
    std::vector<TestCase> cases;
    int xMax;
  };
  const Case cases[] = {
      {"no deaths at all", Join({Cases(1, {}, {3, 4}), Cases(2, {}, {6})}), 52},
      {"deaths only after the range", Join({Cases(1, {60}, {3}), Cases(2, {70}, {6})}), 52},
      {"deaths only where the other group has left", Join({Cases(1, {2}, {}), Cases(2, {}, {1})}), 52},
  };
  for (const Case& c : cases) {
    Workspace ws;
    Surfaces surfaces;
    FillCases(ws, 2, c.cases, c.xMax);
    BuildGroupTables(ws);
    ComputePairStats(ws);
    const PairStats& s = ws.tests.pairs;
    EXPECT_TRUE(std::isnan(s.LogRankChi2[1][2])) << c.name;
    EXPECT_TRUE(std::isnan(s.WilcoxonChi2[2][1])) << c.name;
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
      {"zero", 0, "0  "},
      {"cut, not rounded", 1.99999, "1.9999 "},
      {"beyond the 32-bit cut", 300000.56789, "300000."},
      {"seven integer digits", 1234567.8, "1234567"},
      {"more than seven integer digits shown whole", 123456789.5, "123456789"},
  };
  for (const Case& c : cases) EXPECT_EQ(PetoStatisticText(c.x), c.text) << c.name;
}

}  // namespace
}  // namespace orv
