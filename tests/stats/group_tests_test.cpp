// The overall Peto & Peto statistic and the pair statistics over the weeks of the X range,
// against worked examples and independent computations: log-rank figures from R's survdiff
// (rho = 0, reference/pairwise_logrank.R and .out), Gehan-Breslow Wilcoxon figures from
// Gehan's pairwise scores with the hypergeometric variance worked out separately in exact
// fractions.
#include "stats/group_tests.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "survival/analysis.h"
#include "survival/case_builder.h"

namespace orv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kUnchecked = -1;

// The sums run in a different order from the references, so agreement is to rounding; NaN
// stands for a pair without an informative week.
void ExpectFigure(double got, double want, const char* what) {
  if (std::isnan(want)) { EXPECT_TRUE(std::isnan(got)) << what << " " << got; }
  else EXPECT_NEAR(got, want, want * 1e-12) << what;
}

struct Pair {
  std::size_t a, b;
  double logRank, wilcoxon, logRankP = kUnchecked, wilcoxonP = kUnchecked;
};

TEST(GroupTests, OverallAndPairStatistics) {
  const std::vector<Pair> threeGroups = {{1, 2, 4.17451691581669, 4.7700812268011195},
                                         {1, 3, 11.388472375028, 10.5},
                                         {2, 3, 4.40142916827724, 4.548072457036693}};
  const struct {
    const char* name;
    test::DataSet groups;
    int xMax;
    std::vector<int> hidden;
    double overall, p;  // checked when pText is given; p also needs to be known
    const char *pText, *statText;
    std::vector<Pair> pairs;
  } cases[] = {
      // E_A = 2/3 + 1/2, E_B = 1/3 + 1/2: X = (5/6)^2 / (7/6) + (5/6)^2 / (5/6) = 10/7.
      {"two-group example", {{{1, 3}}, {{}, {5}}}, 52, {}, 10.0 / 7.0, 0.2319977, "p=0.2319 ", "1.4285 ",
       {{1, 2, 25.0 / 17.0, 4.0 / 3.0, 0.2252529, 0.2482131}}},
      {"three groups", test::kThreeGroups, 52, {}, 12.2567606697741, 0.0021801, "p=0.0021 ", "12.2567", threeGroups},
      {"hidden groups are compared too", test::kThreeGroups, 52, {2}, 0, kUnchecked, nullptr, nullptr, threeGroups},
      {"three groups, range to week 10", test::kThreeGroups, 10, {}, 0, kUnchecked, nullptr, nullptr,
       {{1, 2, 3.24576753211196, 4.109711614343949}, {1, 3, 8.41126139842593, 8.542372881355933},
        {2, 3, 2.51350788709204, 2.8383535504974784}}},
      {"heavy ties within weeks", test::kHeavyTies, 52, {}, 0, kUnchecked, nullptr, nullptr, {{1, 2, 2.6589634822281, 1.5323639774859288}}},
      {"long follow-up", test::kLongFollowUp, 2080, {}, 1.79175064547839, kUnchecked, "p=0.1807 ", "1.7917 ",
       {{1, 2, 1.83999027862404, 3.2750252900922345}}},
      {"long follow-up, range to five years", test::kLongFollowUp, 260, {}, 3.17765739201612, kUnchecked, "p=0.0746 ", "3.1776 ",
       {{1, 2, 3.23444609842316, 3.4660803247432193}}},
      // Without informative weeks every E becomes 1 and every O is 0: X is the number of groups.
      {"no deaths, two groups", {{{}, {3, 4}}, {{}, {6}}}, 52, {}, 2, 0.1572992, "p=0.1572 ", "2  ", {{1, 2, kNaN, kNaN, 1, 1}}},
      {"no deaths, three groups", {{{}, {3}}, {{}, {6}}, {{}, {9, 9}}}, 52, {}, 3, 0.2231301, "p=0.2231 ", "3  ", {{1, 3, kNaN, kNaN, 1, 1}}},
      {"deaths only after the range", {{{60}, {3}}, {{70}, {6}}}, 52, {}, 2, 0.1572992, "p=0.1572 ", "2  ", {{1, 2, kNaN, kNaN, 1, 1}}},
      // B has left before A's death: E_B = 0 becomes 1, so X = 0 + 1.
      {"a death after the other group has left", {{{2}}, {{}, {1}}}, 52, {}, 1, 0.3173105, "p=0.3173 ", "1  ", {{1, 2, kNaN, kNaN, 1, 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace ws;
    Surfaces surfaces;
    test::FillCases(ws, c.groups, c.xMax);
    for (int g : c.hidden) ws.styles[g].shown = 0;
    BuildGroupTables(ws);
    BuildPooledTable(ws);
    ComputePetoStatistic(ws, surfaces);
    const GroupTestResults& t = ws.tests;
    EXPECT_EQ(t.ShownGroupCount, c.groups.size() - c.hidden.size());
    if (c.pText != nullptr) {
      ExpectFigure(t.petoStatistic, c.overall, "overall");
      if (c.p != kUnchecked) { EXPECT_EQ(t.petoP, c.p); }
      EXPECT_EQ(t.PetoPText, c.pText);
      EXPECT_EQ(t.PetoStatText, c.statText);
    }
    for (const Pair& e : c.pairs) {
      SCOPED_TRACE(testing::Message() << e.a << "-" << e.b);
      for (auto [i, j] : {std::pair{e.a, e.b}, std::pair{e.b, e.a}}) {
        ExpectFigure(t.pairs.LogRankChi2[i][j], e.logRank, "log-rank");
        ExpectFigure(t.pairs.WilcoxonChi2[i][j], e.wilcoxon, "Wilcoxon");
        if (e.logRankP != kUnchecked) { EXPECT_EQ(t.pairs.LogRankP[i][j], e.logRankP); }
        if (e.wilcoxonP != kUnchecked) { EXPECT_EQ(t.pairs.WilcoxonP[i][j], e.wilcoxonP); }
      }
    }
    for (std::size_t g = 1; g <= c.groups.size(); ++g) {
      for (const PairTable* table : {&t.pairs.LogRankChi2, &t.pairs.LogRankP, &t.pairs.WilcoxonChi2, &t.pairs.WilcoxonP}) {
        EXPECT_EQ((*table)[g][g], 0) << g;
      }
    }
  }
}

}  // namespace
}  // namespace orv
