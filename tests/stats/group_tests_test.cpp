// Group comparisons: the overall and pair statistics over the X range, and the pairwise tables.
// Log-rank figures come from R's survdiff (rho = 0, reference/pairwise_logrank.R and .out),
// Wilcoxon figures from Gehan's pairwise scores with the hypergeometric variance worked out
// separately in exact fractions.
#include "stats/group_tests.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/recording.h"
#include "words/format.h"
#include "words/pairwise_tables.h"
#include "session/analysis.h"
#include "survival/case_builder.h"

namespace orv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kUnchecked = -1;
constexpr const char* kBlank = "         ";

// The sums run in a different order from the references, so agreement is to rounding; NaN
// stands for a pair without an informative week.
constexpr double kRounding = 1e-12;

struct Pair {
  std::size_t a, b;
  double logRank, wilcoxon, logRankP = kUnchecked, wilcoxonP = kUnchecked;
};

TEST(GroupTests, OverallAndPairStatistics) {
  const std::vector<Pair> threeGroups = {{1, 2, 4.17451691581669, 4.7700812268011195},
                                         {1, 3, 11.388472375028, 10.5},
                                         {2, 3, 4.40142916827724, 4.548072457036693}};
  // The overall figures are checked when pText is given.
  const struct { const char* name; test::DataSet groups; int xMax; std::vector<int> hidden; double overall;
                 const char *pText, *statText; std::vector<Pair> pairs; } cases[] = {
      // E_A = 2/3 + 1/2, E_B = 1/3 + 1/2: X = (5/6)^2 / (7/6) + (5/6)^2 / (5/6) = 10/7.
      {"two-group example", {{{1, 3}}, {{}, {5}}}, 52, {}, 10.0 / 7.0, "p=0.2319 ", "1.4285 ",
       {{1, 2, 25.0 / 17.0, 4.0 / 3.0, 0.2252529, 0.2482131}}},
      {"three groups", test::kThreeGroups, 52, {}, 12.2567606697741, "p=0.0021 ", "12.2567", threeGroups},
      {"hidden groups are compared too", test::kThreeGroups, 52, {2}, 0, nullptr, nullptr, threeGroups},
      {"three groups, range to week 10", test::kThreeGroups, 10, {}, 0, nullptr, nullptr,
       {{1, 2, 3.24576753211196, 4.109711614343949}, {1, 3, 8.41126139842593, 8.542372881355933},
        {2, 3, 2.51350788709204, 2.8383535504974784}}},
      {"heavy ties within weeks", test::kHeavyTies, 52, {}, 0, nullptr, nullptr, {{1, 2, 2.6589634822281, 1.5323639774859288}}},
      {"long follow-up", test::kLongFollowUp, 2080, {}, 1.79175064547839, "p=0.1807 ", "1.7917 ",
       {{1, 2, 1.83999027862404, 3.2750252900922345}}},
      {"long follow-up, range to five years", test::kLongFollowUp, 260, {}, 3.17765739201612, "p=0.0746 ", "3.1776 ",
       {{1, 2, 3.23444609842316, 3.4660803247432193}}},
      // Without a death there is no overall test (1 put in for every E of 0 made X the number
      // of groups); a death after the range counts as none.
      {"no deaths, two groups", {{{}, {3, 4}}, {{}, {6}}}, 52, {}, kNaN, "", "", {{1, 2, kNaN, kNaN, 1, 1}}},
      {"the only death after the range", {{{60}}, {{}, {6}}}, 52, {}, kNaN, "", "", {}},
      // B has left before A's death: E_B = 0 becomes 1, so X = 0 + 1.
      {"a death after the other group has left", {{{2}}, {{}, {1}}}, 52, {}, 1, "p=0.3173 ", "1  ", {{1, 2, kNaN, kNaN, 1, 1}}},
      // Week 2080, the last week read: U = 1/2, V = 1/4 for log-rank; the pool's E = 1/2 each.
      {"a death in week 2080", {{{2080}}, {{}, {2080}}}, 2080, {}, 1, "p=0.3173 ", "1  ", {{1, 2, 1, 1, 0.3173105, 0.3173105}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace ws;
    test::Analyse(ws, c.groups, c.xMax, c.hidden);
    const GroupTestResults& t = ws.run.tests;
    EXPECT_EQ(t.ShownGroupCount, c.groups.size() - c.hidden.size());
    if (c.pText != nullptr) {
      EXPECT_EQ(t.overallTested, *c.pText != '\0');
      EXPECT_TRUE(test::Near(t.petoStatistic, c.overall, kRounding)) << t.petoStatistic;
      if (t.overallTested) {
        EXPECT_EQ(std::tuple(PValueText(t.petoP), PetoStatisticText(t.petoStatistic)),
                  std::tuple(std::string(c.pText), std::string(c.statText)));
      }
    }
    for (const Pair& e : c.pairs) {
      SCOPED_TRACE(testing::Message() << e.a << "-" << e.b);
      for (auto [i, j] : {std::pair{e.a, e.b}, std::pair{e.b, e.a}}) {
        EXPECT_TRUE(test::Near(t.pairs.LogRankChi2[i][j], e.logRank, kRounding)) << "log-rank";
        EXPECT_TRUE(test::Near(t.pairs.WilcoxonChi2[i][j], e.wilcoxon, kRounding)) << "Wilcoxon";
        if (e.logRankP != kUnchecked) { EXPECT_EQ(t.pairs.LogRankP[i][j], e.logRankP); }
        if (e.wilcoxonP != kUnchecked) { EXPECT_EQ(t.pairs.WilcoxonP[i][j], e.wilcoxonP); }
      }
    }
  }
}

// Four groups with given statistics and p-values per pair; the groups named in a pair are shown.
struct Given {
  std::size_t a, b;
  double statistic, p;
};

std::vector<PairRow> Rows(const std::vector<Given>& pairs, double alpha) {
  CaseData cases;
  cases.NumGroups = 4;
  GroupSet shown;
  PairTable s{}, p{};
  for (const Given& x : pairs) {
    std::tie(s[x.a][x.b], p[x.a][x.b]) = std::pair(x.statistic, x.p);
    shown.Set(static_cast<int>(x.a), true), shown.Set(static_cast<int>(x.b), true);
  }
  return BuildPairRows(cases, shown, s, p, alpha);
}

std::vector<std::string> Column(const std::vector<PairRow>& rows, std::string PairRow::*field) {
  std::vector<std::string> texts;
  for (const PairRow& r : rows) texts.push_back(r.*field);
  return texts;
}

TEST(BuildPairRows, RowsOfTheShownGroupsWithAdjustedTexts) {
  using Texts = std::vector<std::string>;
  const double alphaLogRank = 0.05f;
  const struct { const char* name; std::vector<Given> pairs; double alpha; Texts bonferroni, holm, sidak; } cases[] = {
      // 1 - (1 - p) for this p is 0.06099999999999994, which the cut to four decimals would show.
      {"one pair: every method gives the plain p", {{1, 2, 5, 0.061}}, 0.1, {"0.061  "}, {"0.061  "}, {"0.061  "}},
      {"Holm of exactly 0.05 passes the single-precision threshold", {{1, 2, 3.8, 0.05}}, alphaLogRank, {"0.05  "}, {"0.05  "}, {"0.05  "}},
      // Rank 2: 2 x 0.05 is exactly 0.1, so it and rank 3 (1 x 0.06) stay blank.
      {"Wilcoxon Holm of exactly 0.1 fails, and so does every later rank", {{1, 2, 9, 0.001}, {1, 3, 8, 0.05}, {2, 3, 7, 0.06}}, 0.1,
       {"0.003  ", "0.15  ", "0.18  "}, {"0.003  ", kBlank, kBlank}, {"0.0029  ", "0.1426  ", "0.1694  "}},
      {"Wilcoxon Holm just under 0.1", {{1, 2, 9, 0.001}, {1, 3, 8, 0.0499}, {2, 3, 7, 0.06}}, 0.1,
       {"0.003  ", "0.1497  ", "0.18  "}, {"0.003  ", "0.0998  ", "0.0998  "}, {"0.0029  ", "0.1423  ", "0.1694  "}},
      // Ranks: 3 x 0.01 = 0.03, then 2 x 0.011 = 0.022 is raised to the 0.03 above it.
      {"Holm values are the running maximum", {{1, 2, 9, 0.01}, {1, 3, 8, 0.011}, {2, 3, 7, 0.04}}, alphaLogRank,
       {"0.03  ", "0.033  ", "0.12  "}, {"0.03  ", "0.03  ", "0.04  "}, {"0.0297  ", "0.0326  ", "0.1152  "}},
      // Statistics 1, 1, 2: the exchanges give Z, Y, X, so Y is adjusted by 2 and X by 1.
      {"exchange order, not a stable sort", {{1, 2, 1, 0.01}, {1, 3, 1, 0.001}, {2, 3, 2, 0.0001}}, alphaLogRank,
       {"0.03  ", "0.003  ", "<0.001  "}, {"0.01  ", "0.002  ", "<0.001  "}, {"0.0297  ", "0.0029  ", "<0.001  "}},
      {"a pair without a statistic ranks last and counts as p = 1", {{1, 2, kNaN, 0}, {1, 3, 12, 0.001}, {2, 3, 11, 0.002}}, alphaLogRank,
       {" >0.5    ", "0.003  ", "0.006  "}, {kBlank, "0.003  ", "0.004  "}, {" >0.5    ", "0.0029  ", "0.0059  "}},
  };
  for (const auto& c : cases) {
    const auto rows = Rows(c.pairs, c.alpha);
    EXPECT_EQ(Column(rows, &PairRow::bonferroni), c.bonferroni) << c.name;
    EXPECT_EQ(Column(rows, &PairRow::holm), c.holm) << c.name;
    EXPECT_EQ(Column(rows, &PairRow::sidak), c.sidak) << c.name;
  }
  // Group 2 hidden: its pairs take no row.
  EXPECT_EQ(Column(Rows({{1, 3, 2, 0.2}, {1, 4, 3, 0.1}, {3, 4, 1, 0.3}}, 0.05), &PairRow::label),
            (Texts{" 1 -  3", " 1 -  4", " 3 -  4"}));
}

// The tables' text is held by the goldens; here the analysis run writes the tables the tests
// keep over the windows, caret at the start.
TEST(WritePairwiseTables, WindowsShowTheKeptTables) {
  Workspace ws;
  RecordingResultText logRankWindow("log-rank\r\n"), wilcoxonWindow("General Wilcoxon\r\n");
  Surfaces surfaces{.logRank = &logRankWindow, .wilcoxon = &wilcoxonWindow};
  test::FillCases(ws, test::kThreeGroups, 52);
  ComputeGroupSurvival(ws, surfaces);
  const auto tables = std::tuple(LogRankTable(ws), WilcoxonTable(ws));
  EXPECT_EQ(std::tuple(logRankWindow.Text(), wilcoxonWindow.Text()), tables);
  EXPECT_EQ(std::tuple(logRankWindow.SelectionStart(), wilcoxonWindow.SelectionEnd()), std::tuple(0u, 0u));
  // Wilcoxon's Holm figures of 0.0579 pass its threshold of 0.1, not the log-rank's 0.05.
  EXPECT_NE(std::get<1>(tables).find("\t 2 -  3\t0.0988  \t0.0579  \t0.0956  \t"), std::string::npos);
}

}  // namespace
}  // namespace orv
