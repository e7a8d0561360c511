// The standard log-rank test, the proportional-hazards check, the restricted mean survival
// time and the median follow-up, each checked against R survival on weekly counts built
// directly from the cases (stats/reference/reviewer_figures.R and its output .out).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stats/log_rank_test.h"
#include "stats/proportional_hazards.h"
#include "survival/case_builder.h"
#include "survival/follow_up.h"
#include "survival/restricted_mean.h"

namespace orv::test {
namespace {

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
    EXPECT_EQ(test.lastWeek, row.last);
    EXPECT_TRUE(Near(test.statistic, row.statistic, 1e-9)) << test.statistic;
    EXPECT_EQ(test.df, row.df);
    // The chi-square tail is cut to seven decimals.
    if (test.tested) { EXPECT_NEAR(test.p, row.p, 2e-7); }
  }
  EXPECT_FALSE(StandardLogRank(std::vector<WeeklyCounts>{CountWeeks(kThreeGroups, 1).Counts()}, 2080).tested);
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
    SCOPED_TRACE(std::string(row.set) + " " + std::to_string(row.a) + "-" + std::to_string(row.b) + " to week " +
                 std::to_string(row.last));
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
    EXPECT_TRUE(Near(d.upper - d.lower, 2 * kNormalQuantile975 * row.seDifference, 1e-9));
  }
  EXPECT_FALSE(EstimateRestrictedMean(CountWeeks({}, 0).Counts(), 52).estimated);
}

// quantile(survfit(Surv(week, 1 - status) ~ 1), 0.5), exactly; group 0 is all cases.
TEST(FollowUp, ReverseKaplanMeierMatchesRQuantile) {
  const struct { const char* set; int group; double median, lower, upper; } rows[] = {
      {"three_groups", 0, 25, 15, kNone}, {"three_groups", 1, 15, 10, kNone}, {"three_groups", 2, 25, 12, kNone},
      {"three_groups", 3, 35, 16, kNone}, {"half_stretches", 1, 7, 5, kNone}, {"half_stretches", 2, 8, 3, kNone},
      {"half_stretches", 3, 6, kNone, kNone}, {"heavy_ties", 0, 6, 4, kNone}, {"heavy_ties", 1, kNone, kNone, kNone},
      {"heavy_ties", 2, 5, 4, kNone}, {"one_case", 1, kNone, kNone, kNone}, {"one_case", 2, 14, kNone, kNone},
      {"long_follow_up", 0, 900, 600, kNone}, {"long_follow_up", 1, 900, 260, kNone}, {"long_follow_up", 2, 1000, 300, kNone},
      {"many_censored", 1, 16, 12, 23}, {"no_deaths", 1, 5, 3, kNone}, {"week_zero", 0, kNone, kNone, kNone},
  };
  for (const auto& row : rows) {
    const Weeks w = CountWeeks(Set(row.set), row.group);
    const MedianEstimate m = MedianFollowUp(w.censored, w.atRisk);
    SCOPED_TRACE(std::string(row.set) + " group " + std::to_string(row.group));
    EXPECT_TRUE(Near(m.week.value_or(kNone), row.median, 0)) << m.week.value_or(kNone);
    EXPECT_TRUE(Near(m.lower.value_or(kNone), row.lower, 0)) << m.lower.value_or(kNone);
    EXPECT_TRUE(Near(m.upper.value_or(kNone), row.upper, 0)) << m.upper.value_or(kNone);
  }
}

}  // namespace
}  // namespace orv::test
