// Pair labels, adjusted p-value texts, the Holm ranking and the exact pairwise table texts.
#include "stats/pairwise.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "platform/recording.h"
#include "stats/group_tests.h"
#include "survival/case_builder.h"
#include "survival/analysis.h"

namespace orv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr const char* kBlank = "         ";

TEST(PairLabel, TwoDigitGroupNumbers) {
  struct Case {
    double code;
    const char* text;
  };
  const Case cases[] = {{102, " 1 -  2"}, {1012, "10 - 12"}, {1920, "19 - 20"}, {304, " 3 -  4"}};
  for (const Case& c : cases) EXPECT_EQ(PairLabel(c.code), c.text) << c.code;
}

TEST(PairPText, CutToFourDecimalsBeforeTheBounds) {
  struct Case {
    const char* name;
    double p;
    const char* text;
  };
  const Case cases[] = {
      {"plain value", 0.0123456, "0.0123  "},
      {"below 0.001 after the cut", 0.0009999, "<0.001  "},
      {"exactly 0.001", 0.001, "0.001  "},
      {"exactly 0.5", 0.5, "0.5  "},
      {"above 0.5 after the cut", 0.5001, " >0.5    "},
      {"0.5 after the cut", 0.50009, "0.5  "},
      {"Bonferroni product above 1", 3.7, " >0.5    "},
      {"not a number", kNaN, " n/a     "},
  };
  for (const Case& c : cases) EXPECT_EQ(PairPText(c.p), c.text) << c.name;
}

// Four groups with given statistics and p-values per pair, all shown unless hidden.
struct Pair {
  int a, b;
  double statistic, p;
};

std::vector<PairRow> Rows(std::vector<Pair> pairs, double alpha, std::vector<int> hidden = {}) {
  Workspace ws;
  ws.cases.NumGroups = 4;
  for (int g = 1; g <= 4; ++g) ws.styles[g].shown = 1;
  for (int g : hidden) ws.styles[g].shown = 0;
  PairTable s{}, p{};
  for (const Pair& x : pairs) {
    s[static_cast<std::size_t>(x.a)][static_cast<std::size_t>(x.b)] = x.statistic;
    p[static_cast<std::size_t>(x.a)][static_cast<std::size_t>(x.b)] = x.p;
  }
  return BuildPairRows(ws, s, p, alpha);
}

std::vector<std::string> Column(const std::vector<PairRow>& rows, std::string PairRow::*field) {
  std::vector<std::string> texts;
  for (const PairRow& r : rows) texts.push_back(r.*field);
  return texts;
}

TEST(BuildPairRows, RowsFollowTheShownGroups) {
  const auto rows = Rows({{1, 3, 2, 0.2}, {1, 4, 3, 0.1}, {3, 4, 1, 0.3}}, 0.05, {2});
  EXPECT_EQ(Column(rows, &PairRow::label), (std::vector<std::string>{" 1 -  3", " 1 -  4", " 3 -  4"}));
}

TEST(BuildPairRows, AdjustedTexts) {
  using Texts = std::vector<std::string>;
  struct Case {
    const char* name;
    std::vector<Pair> pairs;
    double alpha;
    std::vector<int> hidden;
    Texts bonferroni, holm, sidak;
  };
  const double alphaLogRank = 0.05f;
  const Case cases[] = {
      {"one pair: every method gives the plain p",
       {{1, 2, 5, 0.0123456}}, alphaLogRank, {3, 4}, {"0.0123  "}, {"0.0123  "}, {"0.0123  "}},
      {"one pair above the threshold keeps Holm blank",
       {{1, 2, 1, 0.2252529}}, alphaLogRank, {3, 4}, {"0.2252  "}, {kBlank}, {"0.2252  "}},
      {"Holm of exactly 0.05 passes the single-precision threshold",
       {{1, 2, 3.8, 0.05}}, alphaLogRank, {3, 4}, {"0.05  "}, {"0.05  "}, {"0.05  "}},
      // Rank 2: 2 x 0.05 is exactly 0.1, so it and rank 3 (1 x 0.06) stay blank.
      {"Wilcoxon Holm of exactly 0.1 fails, and so does every later rank",
       {{1, 2, 9, 0.001}, {1, 3, 8, 0.05}, {2, 3, 7, 0.06}}, 0.1, {4},
       {"0.003  ", "0.15  ", "0.18  "}, {"0.003  ", kBlank, kBlank}, {"0.0029  ", "0.1426  ", "0.1694  "}},
      {"Wilcoxon Holm just under 0.1",
       {{1, 2, 9, 0.001}, {1, 3, 8, 0.0499}, {2, 3, 7, 0.06}}, 0.1, {4},
       {"0.003  ", "0.1497  ", "0.18  "}, {"0.003  ", "0.0998  ", "0.0998  "}, {"0.0029  ", "0.1423  ", "0.1694  "}},
      // Ranks: (1,2) 0.02 -> 0.06 fails, so (1,3) stays blank although 2 x 0.024 < 0.05.
      {"step-down: a failed rank blanks every later one",
       {{1, 2, 9, 0.02}, {1, 3, 8, 0.024}, {2, 3, 1, 0.3}}, alphaLogRank, {4},
       {"0.06  ", "0.072  ", " >0.5    "}, {kBlank, kBlank, kBlank}, {"0.0588  ", "0.0702  ", " >0.5    "}},
      // Ranks: 3 x 0.01 = 0.03, then 2 x 0.011 = 0.022 is raised to the 0.03 above it.
      {"Holm values are the running maximum",
       {{1, 2, 9, 0.01}, {1, 3, 8, 0.011}, {2, 3, 7, 0.04}}, alphaLogRank, {4},
       {"0.03  ", "0.033  ", "0.12  "}, {"0.03  ", "0.03  ", "0.04  "}, {"0.0297  ", "0.0326  ", "0.1152  "}},
      // Statistics 1, 1, 2: the exchanges give Z, Y, X, so Y is adjusted by 2 and X by 1.
      {"exchange order, not a stable sort",
       {{1, 2, 1, 0.01}, {1, 3, 1, 0.001}, {2, 3, 2, 0.0001}}, alphaLogRank, {4},
       {"0.03  ", "0.003  ", "<0.001  "}, {"0.01  ", "0.002  ", "<0.001  "}, {"0.0297  ", "0.0029  ", "<0.001  "}},
      {"a pair without a statistic ranks last and counts as p = 1",
       {{1, 2, kNaN, 0}, {1, 3, 12, 0.001}, {2, 3, 11, 0.002}}, alphaLogRank, {4},
       {" >0.5    ", "0.003  ", "0.006  "}, {kBlank, "0.003  ", "0.004  "}, {" >0.5    ", "0.0029  ", "0.0059  "}},
  };
  for (const Case& c : cases) {
    const auto rows = Rows(c.pairs, c.alpha, c.hidden);
    EXPECT_EQ(Column(rows, &PairRow::bonferroni), c.bonferroni) << c.name;
    EXPECT_EQ(Column(rows, &PairRow::holm), c.holm) << c.name;
    EXPECT_EQ(Column(rows, &PairRow::sidak), c.sidak) << c.name;
  }
}

TEST(WritePairwiseTables, ThreeGroupTexts) {
  // Statistics as checked against the independent computations; Holm steps down in the
  // log-rank table (rank 2 fails, so rank 3 stays blank) and takes the running maximum in
  // the Wilcoxon table (rank 3 shows rank 2's value).
  const std::string logRank =
      "\t\t\tlog-rank\t\r\n"
      "\t- - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\r\n"
      "\t組み合せ\tBonFerroni\tHolm    \tSaidak     \r\n"
      "\t 1 -  2\t0.1231  \t         \t0.1181  \r\n"
      "\t 1 -  3\t0.0022  \t0.0022  \t0.0022  \r\n"
      "\t 2 -  3\t0.1077  \t         \t0.1039  \r\n"
      "\t- - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\r\n"
      "\t\t 1 :  A ( n = 11 )\r\n"
      "\t\t 2 :  B ( n = 12 )\r\n"
      "\t\t 3 :  C ( n = 11 )\r\n"
      "\t- - - - - - - - - - - - - - - - - -\r\n";
  const std::string wilcoxon =
      "\t\t\tGeneral Wilcoxon\t\r\n"
      "\t- - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\r\n"
      "\t組み合せ\tBonFerroni\tHolm    \tSaidak     \t\t 統計量\r\n"
      "\t 1 -  2\t0.0868  \t0.0579  \t0.0843  \t\t  4.77008\r\n"
      "\t 1 -  3\t0.0035  \t0.0035  \t0.0035  \t\t 10.5\r\n"
      "\t 2 -  3\t0.0988  \t0.0579  \t0.0956  \t\t  4.54807\r\n"
      "\t- - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\r\n"
      "\t\t 1 :  A ( n = 11 )\r\n"
      "\t\t 2 :  B ( n = 12 )\r\n"
      "\t\t 3 :  C ( n = 11 )\r\n"
      "\t- - - - - - - - - - - - - - - - - -\r\n";

  struct Case {
    const char* name;
    bool withWindows;
  };
  const Case cases[] = {{"windows exist", true}, {"no windows yet", false}};
  for (const Case& c : cases) {
    Workspace ws;
    RecordingResultText logRankWindow("log-rank\r\n"), wilcoxonWindow("General Wilcoxon\r\n");
    Surfaces surfaces;
    if (c.withWindows) {
      surfaces.logRank = &logRankWindow;
      surfaces.wilcoxon = &wilcoxonWindow;
    }
    test::FillCases(ws, 3, test::ThreeGroups(), 52);
    BuildGroupTables(ws);
    BuildPooledTable(ws);
    ComputePetoStatistic(ws, surfaces);
    EXPECT_EQ(ws.tests.logRankTable, logRank) << c.name;
    EXPECT_EQ(ws.tests.wilcoxonTable, wilcoxon) << c.name;
    if (c.withWindows) {
      EXPECT_EQ(logRankWindow.Text(), logRank) << c.name;
      EXPECT_EQ(wilcoxonWindow.Text(), wilcoxon) << c.name;
      EXPECT_EQ(logRankWindow.SelectionStart(), 0u) << c.name;
      EXPECT_EQ(wilcoxonWindow.SelectionEnd(), 0u) << c.name;
    }
  }
}

}  // namespace
}  // namespace orv
