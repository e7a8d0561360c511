// Hazard ratios of one group relative to another, checked against R survival's coxph with
// Efron ties (survival/reference/km_cox.R and its output km_cox.out); the CSV fields and the
// summary text of the publication figures.
#include <gtest/gtest.h>

#include <algorithm>

#include "stats/figure_tables.h"
#include "survival/figure_data_sets.h"

namespace orv::test {
namespace {

constexpr double kCoxTolerance = 1e-6;

const struct CoxRow { const char* set; int a, b, xMax; double hr, lower, upper, p; } kCoxRows[] = {
    {"half_stretches", 1, 2, 2080, 0.97141071695937975, 0.13482744995854568, 6.998862481739951, 0.97703312760275018},
    {"half_stretches", 1, 3, 2080, 0.71166800702144495, 0.063139006136660195, 8.0215287380617237, 0.78314354255438845},
    {"half_stretches", 2, 3, 2080, 0.54306509955568849, 0.044399732018851772, 6.6423757294347947, 0.63273572333813122},
    {"heavy_ties", 1, 2, 2080, 0.37318067833961593, 0.11990187295983029, 1.1614815953097934, 0.08883962640308056},
    {"deaths_first", 1, 2, 2080, 1.8467582461646297, 0.36613332604953897, 9.314956539398997, 0.45748564067824932},
    {"one_case", 1, 2, 2080, 0.51889906807411057, 0.053321295519655643, 5.0496943148901066, 0.57200195430400647},
    {"long_follow_up", 1, 2, 2080, 1.5146373215029183, 0.64043023874126148, 3.5821641092377878, 0.34449137927627904},
    {"long_follow_up", 1, 2, 260, 2.1879503370987883, 0.79357486930676602, 6.0323566972232063, 0.13024448315569345},
    {"twenty", 1, 20, 2080, 0.3913554266448101, 0.067061826852554254, 2.2838487579690478, 0.29724622336150591},
    {"twenty", 19, 20, 2080, 0.53078257869287193, 0.1332242397633529, 2.1147063503180346, 0.36913756328488201},
    {"twenty", 4, 9, 2080, 0.99298092101102331, 0.33092810059686972, 2.9795327375146066, 0.9899754986717606},
};

TEST(HazardRatio, MatchesRCoxWithEfronTies) {
  for (const CoxRow& row : kCoxRows) {
    Workspace ws;
    AnalyseDataSet(ws, row.set, row.xMax);
    const HazardRatio& h = ws.figures.hazardRatios[static_cast<std::size_t>(row.a)][static_cast<std::size_t>(row.b)];
    SCOPED_TRACE(std::string(row.set) + " " + std::to_string(row.a) + "-" + std::to_string(row.b) + " to week " +
                 std::to_string(row.xMax));
    ASSERT_TRUE(h.estimated);
    EXPECT_TRUE(Near(h.hr, row.hr, kCoxTolerance)) << h.hr;
    EXPECT_TRUE(Near(h.lower, row.lower, kCoxTolerance)) << h.lower;
    EXPECT_TRUE(Near(h.upper, row.upper, kCoxTolerance)) << h.upper;
    EXPECT_TRUE(Near(h.p, row.p, kCoxTolerance)) << h.p;
  }
}

// R stops these with "coefficient may be infinite" and a ratio of about 1e-9 or 2e-10 that
// only says where its iteration stopped.
TEST(HazardRatio, NoEstimateWithoutAFiniteMaximum) {
  const struct { const char* name; const char* set; int xMax; } cases[] = {
      {"one group without a death", "no_death", 2080},
      {"every death facing the other group is the same group's", "separated", 2080},
      {"no death inside the range", "long_follow_up", 9},
  };
  for (const auto& c : cases) {
    Workspace ws;
    AnalyseDataSet(ws, c.set, c.xMax);
    EXPECT_FALSE(ws.figures.hazardRatios[1][2].estimated) << c.name << ": " << ws.figures.hazardRatios[1][2].hr;
  }
}

TEST(FigureTables, CsvFieldQuotesOnlyWhatNeedsIt) {
  const struct { const char* name; std::string text, field; } cases[] = {
      {"plain name", "新規治療群", "新規治療群"}, {"a quote is doubled", "A \"x\"", "\"A \"\"x\"\"\""}, {"a comma", "A,B", "\"A,B\""},
      {"a line feed", "A\n", "\"A\n\""}, {"a carriage return", "A\r", "\"A\r\""}, {"empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.text), c.field) << c.name;
}

// Hidden groups leave the text and their pairs with it; the CSV keeps every pair, and every
// pair a < b of the twenty groups has its ratio, b relative to a.
TEST(FigureTables, OnlyShownGroupsInTheTextEveryPairInTheCsv) {
  Workspace ws;
  FillCases(ws, FigureDataSets().at("twenty"));
  for (int g = 3; g <= 20; ++g) ws.shown.Set(g, false);
  BuildGroupTables(ws);
  BuildPooledTable(ws);
  ComputePublicationFigures(ws.cases, ws.survival, ws.geometry.xMax, ws.figures);
  const std::string text = FiguresText(ws), pairs = PairsCsv(ws);
  EXPECT_NE(text.find("\n2 B vs 1 A: HR 0.358 (0.078 to 1.658), p=0.1891\n"), std::string::npos) << text;
  EXPECT_EQ(text.find(" vs 3 C"), std::string::npos);
  EXPECT_EQ(text.find("\nC ( n ="), std::string::npos);
  EXPECT_EQ(std::count(pairs.begin(), pairs.end(), '\n'), 1 + 190);
  int estimated = 0;
  for (const auto& row : ws.figures.hazardRatios) estimated += static_cast<int>(std::count_if(row.begin(), row.end(), [](const HazardRatio& h) { return h.estimated; }));
  EXPECT_EQ(estimated, 190);
  EXPECT_FALSE(ws.figures.hazardRatios[2][1].estimated);
}

}  // namespace
}  // namespace orv::test
