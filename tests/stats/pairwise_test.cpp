// The rows of shown pairs, their adjusted p-values, the Holm ranking and the exact pairwise table texts.
#include "stats/pairwise.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/recording.h"
#include "stats/group_tests.h"
#include "survival/case_builder.h"
#include "survival/analysis.h"

namespace orv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr const char* kBlank = "         ";

// Four groups with given statistics and p-values per pair, all shown unless hidden.
struct Pair {
  std::size_t a, b;
  double statistic, p;
};

std::vector<PairRow> Rows(std::vector<Pair> pairs, double alpha, std::vector<int> hidden = {}) {
  Workspace ws;
  ws.cases.NumGroups = 4;
  for (int g = 1; g <= 4; ++g) ws.styles[g].shown = 1;
  for (int g : hidden) ws.styles[g].shown = 0;
  PairTable s{}, p{};
  for (const Pair& x : pairs) std::tie(s[x.a][x.b], p[x.a][x.b]) = std::pair(x.statistic, x.p);
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
  const double alphaLogRank = 0.05f;
  const struct {
    const char* name;
    std::vector<Pair> pairs;
    double alpha;
    std::vector<int> hidden;
    Texts bonferroni, holm, sidak;
  } cases[] = {
      // 1 - (1 - p) for these p is a hair below p, which the cut to four decimals would show.
      {"one pair: every method gives the plain p", {{1, 2, 5, 0.0123}}, alphaLogRank, {3, 4}, {"0.0123  "}, {"0.0123  "}, {"0.0123  "}},
      {"one pair above the threshold keeps Holm blank", {{1, 2, 1, 0.2}}, alphaLogRank, {3, 4}, {"0.2  "}, {kBlank}, {"0.2  "}},
      {"Holm of exactly 0.05 passes the single-precision threshold", {{1, 2, 3.8, 0.05}}, alphaLogRank, {3, 4}, {"0.05  "}, {"0.05  "}, {"0.05  "}},
      // Rank 2: 2 x 0.05 is exactly 0.1, so it and rank 3 (1 x 0.06) stay blank.
      {"Wilcoxon Holm of exactly 0.1 fails, and so does every later rank", {{1, 2, 9, 0.001}, {1, 3, 8, 0.05}, {2, 3, 7, 0.06}}, 0.1, {4},
       {"0.003  ", "0.15  ", "0.18  "}, {"0.003  ", kBlank, kBlank}, {"0.0029  ", "0.1426  ", "0.1694  "}},
      {"Wilcoxon Holm just under 0.1", {{1, 2, 9, 0.001}, {1, 3, 8, 0.0499}, {2, 3, 7, 0.06}}, 0.1, {4},
       {"0.003  ", "0.1497  ", "0.18  "}, {"0.003  ", "0.0998  ", "0.0998  "}, {"0.0029  ", "0.1423  ", "0.1694  "}},
      // Ranks: (1,2) 0.02 -> 0.06 fails, so (1,3) stays blank although 2 x 0.024 < 0.05.
      {"step-down: a failed rank blanks every later one", {{1, 2, 9, 0.02}, {1, 3, 8, 0.024}, {2, 3, 1, 0.3}}, alphaLogRank, {4},
       {"0.06  ", "0.072  ", " >0.5    "}, {kBlank, kBlank, kBlank}, {"0.0588  ", "0.0702  ", " >0.5    "}},
      // Ranks: 3 x 0.01 = 0.03, then 2 x 0.011 = 0.022 is raised to the 0.03 above it.
      {"Holm values are the running maximum", {{1, 2, 9, 0.01}, {1, 3, 8, 0.011}, {2, 3, 7, 0.04}}, alphaLogRank, {4},
       {"0.03  ", "0.033  ", "0.12  "}, {"0.03  ", "0.03  ", "0.04  "}, {"0.0297  ", "0.0326  ", "0.1152  "}},
      // Statistics 1, 1, 2: the exchanges give Z, Y, X, so Y is adjusted by 2 and X by 1.
      {"exchange order, not a stable sort", {{1, 2, 1, 0.01}, {1, 3, 1, 0.001}, {2, 3, 2, 0.0001}}, alphaLogRank, {4},
       {"0.03  ", "0.003  ", "<0.001  "}, {"0.01  ", "0.002  ", "<0.001  "}, {"0.0297  ", "0.0029  ", "<0.001  "}},
      {"a pair without a statistic ranks last and counts as p = 1", {{1, 2, kNaN, 0}, {1, 3, 12, 0.001}, {2, 3, 11, 0.002}}, alphaLogRank, {4},
       {" >0.5    ", "0.003  ", "0.006  "}, {kBlank, "0.003  ", "0.004  "}, {" >0.5    ", "0.0029  ", "0.0059  "}},
  };
  for (const auto& c : cases) {
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
  const std::string rule = "\t- - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\r\n";
  const std::string legend = rule + "\t\t 1 :  A ( n = 11 )\r\n\t\t 2 :  B ( n = 12 )\r\n\t\t 3 :  C ( n = 11 )\r\n"
                                    "\t- - - - - - - - - - - - - - - - - -\r\n";
  const std::string logRank = "\t\t\tlog-rank\t\r\n" + rule +
                              "\t組み合せ\tBonFerroni\tHolm    \tSaidak     \r\n"
                              "\t 1 -  2\t0.1231  \t         \t0.1181  \r\n"
                              "\t 1 -  3\t0.0022  \t0.0022  \t0.0022  \r\n"
                              "\t 2 -  3\t0.1077  \t         \t0.1039  \r\n" + legend;
  const std::string wilcoxon = "\t\t\tGeneral Wilcoxon\t\r\n" + rule +
                               "\t組み合せ\tBonFerroni\tHolm    \tSaidak     \t\t 統計量\r\n"
                               "\t 1 -  2\t0.0868  \t0.0579  \t0.0843  \t\t  4.77008\r\n"
                               "\t 1 -  3\t0.0035  \t0.0035  \t0.0035  \t\t 10.5\r\n"
                               "\t 2 -  3\t0.0988  \t0.0579  \t0.0956  \t\t  4.54807\r\n" + legend;

  for (const bool withWindows : {true, false}) {
    SCOPED_TRACE(withWindows ? "windows exist" : "no windows yet");
    Workspace ws;
    RecordingResultText logRankWindow("log-rank\r\n"), wilcoxonWindow("General Wilcoxon\r\n");
    Surfaces surfaces;
    if (withWindows) surfaces = Surfaces{.logRank = &logRankWindow, .wilcoxon = &wilcoxonWindow};
    test::FillCases(ws, test::kThreeGroups, 52);
    BuildGroupTables(ws);
    BuildPooledTable(ws);
    ComputePetoStatistic(ws, surfaces);
    EXPECT_EQ(ws.tests.logRankTable, logRank);
    EXPECT_EQ(ws.tests.wilcoxonTable, wilcoxon);
    if (!withWindows) continue;
    EXPECT_EQ(logRankWindow.Text(), logRank);
    EXPECT_EQ(wilcoxonWindow.Text(), wilcoxon);
    EXPECT_EQ(logRankWindow.SelectionStart(), 0u);
    EXPECT_EQ(wilcoxonWindow.SelectionEnd(), 0u);
  }
}

}  // namespace
}  // namespace orv
