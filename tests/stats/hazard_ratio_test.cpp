// Hazard ratios of one group relative to another, checked against R survival's coxph with
// Efron ties (survival/reference/km_cox.R and stats/reference/cox_large_ratios.R, beside
// their output); the CSV fields and the summary text of the publication figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "stats/figure_tables.h"
#include "stats/hazard_ratio.h"
#include "survival/case_builder.h"

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
    // R stops these with "coefficient may be infinite" and a ratio of about 1e-9 or 2e-10 that
    // only says where its iteration stopped: one group without a death, every death facing
    // the other group the same group's, no death inside the range.
    {"no_death", 1, 2, 2080, kNone, kNone, kNone, kNone}, {"separated", 1, 2, 2080, kNone, kNone, kNone, kNone},
    {"long_follow_up", 1, 2, 9, kNone, kNone, kNone, kNone},
};

TEST(HazardRatio, MatchesRCoxWithEfronTies) {
  for (const CoxRow& row : kCoxRows) {
    Workspace ws;
    Analyse(ws, Set(row.set), row.xMax);
    const HazardRatio& h = ws.figures.hazardRatios[static_cast<std::size_t>(row.a)][static_cast<std::size_t>(row.b)];
    SCOPED_TRACE(std::string(row.set) + " " + std::to_string(row.a) + "-" + std::to_string(row.b) + " to week " +
                 std::to_string(row.xMax));
    ASSERT_EQ(h.estimated, !std::isnan(row.hr)) << h.hr;
    if (!h.estimated) continue;
    for (const auto& [got, want] : {std::pair{h.hr, row.hr}, {h.lower, row.lower}, {h.upper, row.upper}, {h.p, row.p}}) {
      EXPECT_TRUE(Near(got, want, kCoxTolerance)) << got << " R: " << want;
    }
  }
}

// A large group (one death in week 2, the others censored over weeks 10 to 249) and a small
// one (two deaths in each of weeks 1 to 5): a ratio of thousands, whose first Newton step
// overshoots to where e^beta leaves no information in a double.
TEST(HazardRatio, FarFromOneMatchesRStartedNearTheMaximum) {
  const struct { const char* name; int censored; bool largeIsB; double beta, se, hr, lower, upper, p; } rows[] = {
      {"small b", 3000, false, 8.9623698031954504, 1.0802267262365561, 7803.8291056060852, 939.32762299651688, 64833.341656908233, 1.0699928964929723e-16},
      {"small a", 3000, true, -8.9623698031954611, 1.080226726236555, 0.0001281422217820753, 1.5424162544202863e-05, 0.0010645912837204999, 1.0699928964927962e-16},
      {"100,000 censored", 100000, false, 12.468864532992342, 1.080232784941044, 260111.20575399019, 31308.571209143884, 2161000.5422104564, 8.0309212085264888e-31},
  };
  const Weeks small = CountWeeks({{{1, 1, 2, 2, 3, 3, 4, 4, 5, 5}}}, 0, 250);
  for (const auto& row : rows) {
    Group largeCases{{2}};
    for (int k = 0; k < row.censored; ++k) largeCases.censored.push_back(10 + k * 240 / row.censored);
    const Weeks large = CountWeeks({largeCases}, 0, 250);
    const Weeks& a = row.largeIsB ? small : large;
    const Weeks& b = row.largeIsB ? large : small;
    CoxScratch scratch;
    const HazardRatio h = EstimateHazardRatio(a.deaths, a.atRisk, b.deaths, b.atRisk, scratch);
    SCOPED_TRACE(row.name);
    EXPECT_TRUE(h.estimated);
    for (const auto& [got, want] : {std::pair{h.beta, row.beta}, {h.se, row.se}, {h.hr, row.hr}, {h.lower, row.lower},
                                    {h.upper, row.upper}, {h.p, row.p}}) {
      EXPECT_TRUE(Near(got, want, kCoxTolerance)) << got << " R: " << want;
    }
  }
}

// l, U and I summed term by term as the header writes them, every week alike.
CoxLikelihood PlainEfronSums(double beta, const Weeks& a, const Weeks& b) {
  CoxLikelihood sum;
  for (std::size_t w = 0; w < a.deaths.size(); ++w) {
    const double d = a.deaths[w] + b.deaths[w];
    sum.logLik += beta * b.deaths[w];
    sum.score += b.deaths[w];
    for (double j = 0; j < d; ++j) {
      const double termA = a.atRisk[w] - j / d * a.deaths[w];
      const double termB = (b.atRisk[w] - j / d * b.deaths[w]) * std::exp(beta);
      const double m = termB / (termA + termB);
      sum.logLik -= std::log(termA + termB);
      sum.score -= m;
      sum.information += m * (termA / (termA + termB));
    }
  }
  return sum;
}

// The evaluation behind the estimate (terms written in blocks for weeks of up to 8 deaths,
// one at a time above; logarithms of products, chunks shorter as e^beta grows; one division
// for two terms) equals the plain sums on data that take every one of those ways: weeks of 0
// to 22 deaths in every mix of the groups, thousands of terms, b's last cases dying in one
// week, then weeks of a alone; and the same pair the other way round. m_j and m_j(1 - m_j)
// lie in [0, 1], so U and I are compared to the number of terms.
TEST(HazardRatio, EvaluationEqualsThePlainEfronSums) {
  constexpr std::size_t kWeeks = 400;
  Weeks a = CountWeeks({}, 0, kWeeks), b = a;
  double na = 4000, nb = 1200;
  for (std::size_t w = 0; w < kWeeks; ++w) {
    a.atRisk[w] = na;
    b.atRisk[w] = nb;
    a.deaths[w] = static_cast<double>(w * 7 % 13);
    b.deaths[w] = nb <= 12 ? nb : static_cast<double>(w * 5 % 11);
    na -= a.deaths[w] + 1;
    nb -= b.deaths[w] + std::min(nb - b.deaths[w], 1.0);
  }
  double terms = 0;
  for (std::size_t w = 0; w < kWeeks; ++w) terms += a.deaths[w] + b.deaths[w];
  CoxScratch scratch;
  for (const auto& [first, second] : {std::pair{&a, &b}, {&b, &a}}) {
    for (double beta : {-600.0, -30.0, -2.0, 0.0, 0.4, 3.0, 30.0, 600.0}) {
      const CoxLikelihood fast = EvaluateCoxLikelihood(beta, first->deaths, first->atRisk, second->deaths, second->atRisk, scratch);
      const CoxLikelihood plain = PlainEfronSums(beta, *first, *second);
      SCOPED_TRACE((first == &a ? "a, b at beta " : "b, a at beta ") + std::to_string(beta));
      EXPECT_TRUE(Near(fast.logLik, plain.logLik, 1e-12)) << fast.logLik << " plain: " << plain.logLik;
      EXPECT_NEAR(fast.score, plain.score, 1e-12 * terms);
      EXPECT_NEAR(fast.information, plain.information, 1e-12 * terms);
    }
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
  std::vector<int> hidden(18);
  std::iota(hidden.begin(), hidden.end(), 3);
  Analyse(ws, Set("twenty"), 2080, hidden);
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
