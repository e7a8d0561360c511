// Chi-square upper tails, and every text made of a p-value (the views' cut, the reviewer's
// rounded), a statistic, a pair code or the weeks of the reviewer's tests.
#include "stats/chi_square.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "stats/group_tests.h"
#include "stats/pairwise.h"
#include "stats/reviewer_text.h"

namespace orv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ChiSquareUpperTail, CutToSevenDecimalsAndAlwaysAProbabilityTheUncutAsR) {
  const struct { const char* name; int df; double x, p; } cases[] = {
      {"zero statistic", 1, 0, 1}, {"one", 1, 1, 0.3173105}, {"5% point of df 1, not rounded", 1, 3.84, 0.0500435},
      {"1% point of df 1", 1, 6.635, 0.0099994}, {"5% point of df 2", 2, 5.991, 0.0500116},
      {"0.1% point of df 1", 1, 10.83, 0.0009987}, {"df 4", 4, 2, 0.7357588}, {"df 19", 19, 30, 0.0517985},
      {"far tail", 1, 20, 0.0000078}, {"absolute tolerance lands exactly on 0.05", 1, 3.841459, 0.05},
      {"series overflows", 1, 1500, 0}, {"far beyond the double range of the series", 1, 1e300, 0},
      {"power overflows with many degrees of freedom", 255, 1450, 0}, {"between overflow and 1400", 19, 1400, 0},
      {"infinite statistic", 1, kInf, 0}, {"no statistic", 1, kNaN, 1}, {"negative statistic", 1, -3, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(ChiSquareUpperTail(c.df, c.x), c.p) << c.name;
  // The uncut tail of the reviewer's tests, against R's pchisq(x, df, lower.tail = FALSE): the
  // odd and even sums past their first term.
  const struct { int df; double x, p; } rows[] = {
      {1, 0.5, 0.47950012218695348}, {2, 3.2, 0.20189651799465538}, {5, 7.5, 0.18602983360286701},
      {19, 30, 0.051798458893023883}, {19, 150, 2.1915635993460734e-22}, {4, 0.01, 0.99998754158864567},
  };
  for (const auto& row : rows) EXPECT_NEAR(ChiSquareTail(row.df, row.x), row.p, 1e-12 * row.p) << row.df << " " << row.x;
}

TEST(NumberTexts, CutBeforeTheBoundsAndPadded) {
  using Text = std::string (*)(double);
  const struct { const char* name; Text text; double x; const char* want; } cases[] = {
      {"p: probability 1", PValueText, 1, "p>0.5   "}, {"p: just under 0.001 after the cut", PValueText, 0.0009987, "p<0.001 "},
      {"p: exactly 0.001", PValueText, 0.001, "p=0.001 "}, {"p: exactly 0.5", PValueText, 0.5, "p=0.5 "},
      {"p: 5% point", PValueText, 0.0500435, "p=0.05 "}, {"p: cut, not rounded", PValueText, 0.0099994, "p=0.0099 "},
      {"p: zero", PValueText, 0, "p<0.001 "}, {"p: not a number", PValueText, kNaN, "p=n/a   "},
      {"statistic: three decimals", StatisticText, 123.45678, "123.456"}, {"statistic: trailing zeros trimmed", StatisticText, 1234.5, "1234.5"},
      {"statistic: four decimals", StatisticText, 12.345678, " 12.3456"}, {"statistic: five decimals", StatisticText, 3.8414588, "  3.84145"},
      {"statistic: six decimals", StatisticText, 0.1234567, "  0.123456"}, {"statistic: zero", StatisticText, 0, "  0"},
      {"statistic: just under ten keeps five decimals", StatisticText, 9.999999, "  9.99999"},
      {"statistic: ten", StatisticText, 10, " 10"}, {"statistic: exactly 100", StatisticText, 100, "100"},
      {"statistic: beyond the 32-bit cut", StatisticText, 3000000.123456, "3000000.123"},
      {"statistic: beyond the 64-bit cut", StatisticText, 1e17, "1.00000000000000e+017"},
      {"statistic: no informative week", StatisticText, kNaN, "  n/a"}, {"overall: cut to seven", PetoStatisticText, 12.3456789, "12.3456"},
      {"overall: short value padded", PetoStatisticText, 3.5, "3.5  "}, {"overall: cut, not rounded", PetoStatisticText, 1.99999, "1.9999 "},
      {"overall: beyond the 32-bit cut", PetoStatisticText, 300000.56789, "300000."},
      {"overall: seven integer digits", PetoStatisticText, 1234567.8, "1234567"},
      {"overall: more than seven integer digits shown whole", PetoStatisticText, 123456789.5, "123456789"},
      {"pair: 1 and 2", PairLabel, 102, " 1 -  2"}, {"pair: the last two groups", PairLabel, 1920, "19 - 20"},
      {"adjusted p: plain value", PairPText, 0.0123456, "0.0123  "}, {"adjusted p: below 0.001 after the cut", PairPText, 0.0009999, "<0.001  "},
      {"adjusted p: exactly 0.001", PairPText, 0.001, "0.001  "}, {"adjusted p: 0.5 after the cut", PairPText, 0.50009, "0.5  "},
      {"adjusted p: above 0.5 after the cut", PairPText, 0.5001, " >0.5    "},
      {"adjusted p: Bonferroni product above 1", PairPText, 3.7, " >0.5    "}, {"adjusted p: not a number", PairPText, kNaN, " n/a     "},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text(c.x), c.want) << c.name;
}

// Two significant figures, rounded (the views cut): the boundary at 0.001, a rounding that
// carries into the next place, and no "p > 0.5".
TEST(ReviewerText, RoundedPText) {
  const struct { double p; const char* text; } cases[] = {
      {0.000999, "p < 0.001"}, {0.001, "p = 0.0010"}, {0.00128, "p = 0.0013"}, {0.00149, "p = 0.0015"}, {0.0996, "p = 0.10"},
      {0.19, "p = 0.19"}, {0.5, "p = 0.50"}, {0.996, "p = 1.0"}, {kNaN, "p = n/a"},
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
