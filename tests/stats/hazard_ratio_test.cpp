// Hazard ratios of one group relative to another, checked against R survival's coxph with
// Efron ties (survival/reference/km_cox.R and stats/reference/cox_large_ratios.R, beside
// their output); the CSV fields and the summary text of the publication figures; the standard
// log-rank test, the proportional-hazards check, the restricted mean survival time and the
// median follow-up, each checked against R survival on weekly counts built directly from the
// cases (stats/reference/reviewer_figures.R and its output .out).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "words/figure_tables.h"
#include "stats/hazard_ratio.h"
#include "stats/proportional_hazards.h"
#include "stats/standard_log_rank.h"
#include "survival/case_builder.h"
#include "survival/restricted_mean.h"

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
    const HazardRatio& h = ws.run.figures.hazardRatios[static_cast<std::size_t>(row.a)][static_cast<std::size_t>(row.b)];
    SCOPED_TRACE(testing::Message() << row.set << " " << row.a << "-" << row.b << " to week " << row.xMax);
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

// A name keeps the quotes inside it (the loader trims them only at its ends); commas and line
// ends never reach one, and plain names are the goldens'.
TEST(FigureTables, CsvFieldDoublesTheQuotesOfAName) {
  EXPECT_EQ(CsvField("A \"x\""), "\"A \"\"x\"\"\"");
}

// Hidden groups leave the text and their pairs with it; the CSV keeps every pair.
TEST(FigureTables, OnlyShownGroupsInTheTextEveryPairInTheCsv) {
  Workspace ws;
  Analyse(ws, Set("twenty"), 2080, {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
  const std::string text = FiguresText(ws), pairs = PairsCsv(ws);
  EXPECT_NE(text.find("\n2 B vs 1 A: HR 0.358 (0.078 to 1.658), p=0.1891\n"), std::string::npos) << text;
  EXPECT_EQ(text.find(" vs 3 C"), std::string::npos);
  EXPECT_EQ(text.find("\nC ( n ="), std::string::npos);
  EXPECT_EQ(std::count(pairs.begin(), pairs.end(), '\n'), 1 + 190);
}

// survdiff over weeks 0..last (later deaths censored). R has no answer where every case dies
// in week 0 (V = 0) and gives chisq 0 on df -1 where no death falls in the range: no test.
TEST(StandardLogRank, MatchesRSurvdiff) {
  const struct { const char* set; int last; double statistic; int df; double p; } rows[] = {
      {"three_groups", 2080, 14.254897709148379, 2, 0.00080276474699047921},
      {"three_groups", 9, 12.452130489788725, 2, 0.0019772164733815132},
      {"heavy_ties", 2080, 2.6589634822281027, 1, 0.1029678139181425},
      {"long_follow_up", 260, 2.4301831409270767, 1, 0.11901899264111547},
      {"long_follow_up", 8, kNone, 0, kNone},
      {"twenty", 2080, 12.672722063050728, 19, 0.85489577011182871},
      {"no_death", 2080, 2.5279433888672203, 1, 0.11184590673575284},
      {"no_deaths", 2080, kNone, 0, kNone},
      {"one_week", 2080, 0.55555555555555558, 1, 0.45605654025025605},
      {"week_zero", 2080, kNone, 0, kNone},
  };
  for (const auto& row : rows) {
    const DataSet& set = Set(row.set);
    std::vector<Weeks> weeks;
    for (std::size_t g = 1; g <= set.size(); ++g) weeks.push_back(CountWeeks(set, static_cast<int>(g)));
    std::vector<WeeklyCounts> counts;
    for (const Weeks& w : weeks) counts.push_back(w.Counts());
    const LogRankTest test = StandardLogRank(counts, row.last);
    SCOPED_TRACE(std::string(row.set) + " to week " + std::to_string(row.last));
    EXPECT_EQ(test.tested, !std::isnan(row.statistic));
    EXPECT_TRUE(Near(test.statistic, row.statistic, 1e-9)) << test.statistic;
    EXPECT_EQ(test.df, row.df);
    // The chi-square tail is cut to seven decimals.
    if (test.tested) { EXPECT_NEAR(test.p, row.p, 2e-7); }
  }
}

// cox.zph(coxph(ties = "efron"), transform = "km") on groups a and b over weeks 0..last. R
// stops where every death falls in one week (I singular); no_death and separated have no
// hazard ratio.
TEST(ProportionalHazards, MatchesRCoxZph) {
  const struct { const char* set; int a, b, last; double statistic, p; } rows[] = {
      {"three_groups", 1, 2, 2080, 0.85354259464814497, 0.35555208291900714},
      {"three_groups", 2, 3, 20, 0.10848350329987247, 0.74187729509379108},
      {"heavy_ties", 1, 2, 2080, 1.31249541167311, 0.25194334407159119},
      {"deaths_first", 1, 2, 2080, 0.50659487658794033, 0.47661663492299977},
      {"one_case", 1, 2, 2080, 0.92365313880938515, 0.33651760199383746},
      {"long_follow_up", 1, 2, 2080, 2.9529506404125718, 0.085720918255409229},
      {"long_follow_up", 1, 2, 260, 0.42478149435515794, 0.51456076289996344},
      {"twenty", 1, 20, 2080, 4.0922423644197945, 0.043080452205200341},
      {"one_week", 1, 2, 2080, kNone, kNone},
      {"week_zero", 1, 2, 2080, kNone, kNone},
      {"no_death", 1, 2, 2080, kNone, kNone},
      {"separated", 1, 2, 2080, kNone, kNone},
  };
  for (const auto& row : rows) {
    const Weeks a = CountWeeks(Set(row.set), row.a), b = CountWeeks(Set(row.set), row.b);
    // Both groups over the same weeks 0..last, as the ratios are fitted.
    const auto weeks = static_cast<std::size_t>(row.last) + 1;
    std::vector<double> da(a.deaths), na(a.atRisk), db(b.deaths), nb(b.atRisk);
    for (auto* c : {&da, &na, &db, &nb}) c->resize(weeks);
    CoxScratch scratch;
    const HazardRatio fit = EstimateHazardRatio(da, na, db, nb, scratch);
    const ProportionalHazardsTest test = TestProportionalHazards(da, na, db, nb, fit);
    SCOPED_TRACE(testing::Message() << row.set << " " << row.a << "-" << row.b << " to week " << row.last);
    EXPECT_EQ(test.tested, !std::isnan(row.statistic));
    EXPECT_TRUE(Near(test.statistic, row.statistic, 1e-6)) << test.statistic;
    if (test.tested) { EXPECT_NEAR(test.p, row.p, 2e-7); }
  }
}

// summary(survfit, rmean = tau)$table for groups a and b, and b - a with the variances added.
// R refuses long_follow_up group 1 to week 8, before its first case (week 30): the area is 8
// without variance, as group 2's (censored in week 5, first death in week 10). Without any
// variance there is no p.
TEST(RestrictedMean, MatchesRSurvmean) {
  const struct { const char* set; int tau, a, b; double meanA, seA, lowerA, upperA, meanB, seB, difference, seDifference, p; } rows[] = {
      {"three_groups", 52, 1, 2, 13.136363636363637, 6.1090325943366572, 1.1628797710825012, 25.109847501644772, 24.668181818181814, 6.8455482917258061, 11.531818181818178, 9.1750646130159641, 0.20880250059507932},
      {"three_groups", 10, 1, 3, 6.1363636363636367, 1.060512589348326, 4.0577971560896025, 8.2149301166376709, 10, 0, 3.8636363636363633, 1.060512589348326, 0.00026929224834210428},
      {"heavy_ties", 3, 1, 2, 1.8181818181818181, 0.40284487956872528, 1.0286203628707413, 2.6077432734928951, 2.1000000000000001, 0.35916569992135944, 0.28181818181818197, 0.53970732531135868, 0.60155299373490456},
      {"heavy_ties", 6, 1, 2, 2.3636363636363633, 0.54957124193541473, 1.2864965225040021, 3.4407762047687243, 3.6999999999999997, 0.78803553219382172, 1.3363636363636364, 0.96074374833377607, 0.16423518548603228},
      {"one_case", 10, 1, 2, 7, 0, 7, 7, 7.4285714285714279, 1.0793921731960312, 0.42857142857142794, 1.0793921731960312, 0.69133143279639753},
      {"long_follow_up", 260, 1, 2, 193.09659090909091, 23.021641845287185, 147.97500202734781, 238.218179790834, 140.70833333333334, 26.772350755020483, -52.388257575757564, 35.309414583118254, 0.13789093798602747},
      {"long_follow_up", 2000, 1, 2, 684.58288239538228, 218.52115897634187, 256.28928094180077, 1112.8764838489637, 624.1111111111112, 222.42606119444267, -60.471771284271085, 311.80899541039162, 0.84622403123059575},
      {"long_follow_up", 8, 1, 2, 8, 0, 8, 8, 8, 0, 0, 0, kNone},
      {"no_deaths", 10, 1, 2, 10, 0, 10, 10, 10, 0, 0, 0, kNone},
      {"one_week", 4, 1, 2, 4, 0, 4, 4, 4, 0, 0, 0, kNone},
      {"twenty", 300, 3, 17, 225.69270833333334, 32.394004276781359, 162.20162663580541, 289.18379003086125, 239.17500000000001, 35.437128084468135, 13.482291666666669, 48.012098058292864, 0.77885590300134944},
  };
  for (const auto& row : rows) {
    const Weeks a = CountWeeks(Set(row.set), row.a), b = CountWeeks(Set(row.set), row.b);
    const RestrictedMean ma = EstimateRestrictedMean(a.Counts(), row.tau), mb = EstimateRestrictedMean(b.Counts(), row.tau);
    const RestrictedMeanDifference d = CompareRestrictedMeans(ma, mb);
    SCOPED_TRACE(std::string(row.set) + " to week " + std::to_string(row.tau));
    ASSERT_TRUE(ma.estimated && mb.estimated && d.estimated);
    const double got[] = {ma.estimate, ma.stdErr, ma.lower, ma.upper, mb.estimate, mb.stdErr, d.estimate, d.stdErr, d.p};
    const double want[] = {row.meanA, row.seA, row.lowerA, row.upperA, row.meanB, row.seB, row.difference, row.seDifference, row.p};
    for (std::size_t i = 0; i < std::size(got); ++i) EXPECT_TRUE(Near(got[i], want[i], 1e-9)) << i << ": " << got[i];
  }
  EXPECT_FALSE(EstimateRestrictedMean(CountWeeks({}, 0).Counts(), 52).estimated);
}

// quantile(survfit(Surv(week, status == 0) ~ 1), 0.5), exactly, from an analysis run; group 0
// is all cases. In censored_cause the deaths of the cause counted as censored, which the
// tables count among the censored cases, censor the follow-up rather than end it.
TEST(FollowUp, ReverseKaplanMeierMatchesRQuantile) {
  const struct { const char* set; int group; double median, lower, upper; } rows[] = {
      {"three_groups", 0, 25, 15, kNone}, {"three_groups", 1, 15, 10, kNone}, {"three_groups", 2, 25, 12, kNone},
      {"three_groups", 3, 35, 16, kNone}, {"half_stretches", 1, 7, 5, kNone}, {"half_stretches", 2, 8, 3, kNone},
      {"half_stretches", 3, 6, kNone, kNone}, {"heavy_ties", 0, 6, 4, kNone}, {"heavy_ties", 1, kNone, kNone, kNone},
      {"heavy_ties", 2, 5, 4, kNone}, {"one_case", 1, kNone, kNone, kNone}, {"one_case", 2, 14, kNone, kNone},
      {"long_follow_up", 0, 900, 600, kNone}, {"long_follow_up", 1, 900, 260, kNone}, {"long_follow_up", 2, 1000, 300, kNone},
      {"many_censored", 1, 16, 12, 23}, {"no_deaths", 1, 5, 3, kNone}, {"week_zero", 0, kNone, kNone, kNone},
      {"censored_cause", 0, 25, 18, kNone}, {"censored_cause", 1, 25, 18, kNone}, {"censored_cause", 2, 28, 16, kNone},
  };
  for (const auto& row : rows) {
    Workspace ws;
    Analyse(ws, Set(row.set));
    const MedianEstimate& m = ws.run.reviewer.followUp[static_cast<std::size_t>(row.group)];
    SCOPED_TRACE(std::string(row.set) + " group " + std::to_string(row.group));
    EXPECT_TRUE(Near(m.week.value_or(kNone), row.median, 0)) << m.week.value_or(kNone);
    EXPECT_TRUE(Near(m.lower.value_or(kNone), row.lower, 0)) << m.lower.value_or(kNone);
    EXPECT_TRUE(Near(m.upper.value_or(kNone), row.upper, 0)) << m.upper.value_or(kNone);
  }
}

}  // namespace
}  // namespace orv::test
