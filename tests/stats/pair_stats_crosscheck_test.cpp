// Pair statistics against independent computations: log-rank against R's survdiff (rho = 0,
// reference/pairwise_logrank.out), Gehan-Breslow Wilcoxon against Gehan's pairwise scores
// with the hypergeometric variance worked out separately in exact fractions.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "stats/group_tests.h"
#include "survival/case_builder.h"
#include "survival/analysis.h"

namespace orv {
namespace {

using test::FillCases;
using test::TestCase;

// The sums run in a different order from the references, so agreement is to rounding.
constexpr double kRelativeTolerance = 1e-12;

struct Expected {
  int a, b;
  double logRank;
  double wilcoxon;
};

TEST(PairStatsCrossCheck, AgreesWithIndependentComputations) {
  struct Case {
    const char* name;
    std::vector<TestCase> cases;
    int numGroups;
    int xMax;
    std::vector<Expected> pairs;
  };
  const Case cases[] = {
      {"three groups", test::ThreeGroups(), 3, 52,
       {{1, 2, 4.17451691581669, 4.7700812268011195},
        {1, 3, 11.388472375028, 10.5},
        {2, 3, 4.40142916827724, 4.548072457036693}}},
      {"three groups, range to week 10", test::ThreeGroups(), 3, 10,
       {{1, 2, 3.24576753211196, 4.109711614343949},
        {1, 3, 8.41126139842593, 8.542372881355933},
        {2, 3, 2.51350788709204, 2.8383535504974784}}},
      {"heavy ties within weeks", test::HeavyTies(), 2, 52, {{1, 2, 2.6589634822281, 1.5323639774859288}}},
      {"long follow-up", test::LongFollowUp(), 2, 2080, {{1, 2, 1.83999027862404, 3.2750252900922345}}},
      {"long follow-up, range to five years", test::LongFollowUp(), 2, 260,
       {{1, 2, 3.23444609842316, 3.4660803247432193}}},
  };
  for (const Case& c : cases) {
    Workspace ws;
    FillCases(ws, c.numGroups, c.cases, c.xMax);
    BuildGroupTables(ws);
    ComputePairStats(ws);
    const PairStats& s = ws.tests.pairs;
    for (const Expected& e : c.pairs) {
      const auto a = static_cast<std::size_t>(e.a);
      const auto b = static_cast<std::size_t>(e.b);
      EXPECT_NEAR(s.LogRankChi2[a][b], e.logRank, e.logRank * kRelativeTolerance) << c.name << " " << e.a << "-" << e.b;
      EXPECT_NEAR(s.WilcoxonChi2[a][b], e.wilcoxon, e.wilcoxon * kRelativeTolerance) << c.name << " " << e.a << "-" << e.b;
    }
  }
}

}  // namespace
}  // namespace orv
