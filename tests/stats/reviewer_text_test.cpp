// The short texts of the reviewer's figures: the rounded p and the weeks of the tests.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "stats/reviewer_text.h"

namespace orv {
namespace {

// Two significant figures, rounded (the views cut): the boundary at 0.001, a rounding that
// carries into the next place, and no "p > 0.5".
TEST(ReviewerText, RoundedPText) {
  const struct { double p; const char* text; } cases[] = {
      {0.000999, "p < 0.001"},    {0.001, "p = 0.0010"}, {0.00128, "p = 0.0013"}, {0.00149, "p = 0.0015"},
      {0.0996, "p = 0.10"},       {0.19, "p = 0.19"},    {0.5, "p = 0.50"},       {0.996, "p = 1.0"},
      {std::numeric_limits<double>::quiet_NaN(), "p = n/a"},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundedPText(c.p), c.text) << c.p;
}

TEST(ReviewerText, TestWindowText) {
  // Whole years (five in the interval text's check), one year, and years with months.
  EXPECT_EQ(TestWindowText(52, "-"), "Tests and hazard ratios over weeks 0-52 (0-1 year)");
  EXPECT_EQ(TestWindowText(273, "-"), "Tests and hazard ratios over weeks 0-273 (0-5y 3m)");
}

}  // namespace
}  // namespace orv
