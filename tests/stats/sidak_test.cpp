// The Sidak column of a single pair equals the pair's own p-value.
#include <gtest/gtest.h>

#include "stats/pairwise.h"

namespace orv {
namespace {

TEST(Sidak, OnePairShowsItsOwnPValue) {
  Workspace ws;
  ws.cases.NumGroups = 2;
  ws.styles[1].shown = ws.styles[2].shown = 1;
  for (double p : {0.2, 0.3, 0.05, 0.0123}) {
    PairTable S{}, P{};
    S[1][2] = S[2][1] = 1.0;
    P[1][2] = P[2][1] = p;
    const std::vector<PairRow> rows = BuildPairRows(ws, S, P, 0.1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].sidak, rows[0].bonferroni) << p;
  }
}

}  // namespace
}  // namespace orv
