// Cumulative incidence, Gray's test and Fine-Gray ratios, checked against R survival's
// multi-state survfit and cmprsk's cuminc and crr (stats/reference/competing_risks.R and its
// output competing_risks.out).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "stats/cumulative_incidence.h"
#include "stats/fine_gray.h"
#include "stats/chi_square.h"
#include "stats/gray_test.h"
#include "survival/km_estimates.h"

namespace orv::test {
namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// One week of one group: deaths of interest, competing deaths, censored cases.
struct WeekRow { int week; double interest, competing, censored; };

// A group's columns over weeks 0..weeks-1, the number at risk counted down from its cases.
struct Group {
  std::vector<double> atRisk, interest, competing, censored;
  CauseCounts Counts(std::size_t weeks) const {
    return {std::span(atRisk).first(weeks), std::span(interest).first(weeks), std::span(competing).first(weeks),
            std::span(censored).first(weeks)};
  }
  CauseCounts Counts() const { return Counts(ownWeeks); }
  std::size_t ownWeeks = 0;  // to its last row
};

Group MakeGroup(const std::vector<WeekRow>& rows, std::size_t weeks) {
  Group g;
  g.atRisk.assign(weeks, 0);
  g.interest.assign(weeks, 0);
  g.competing.assign(weeks, 0);
  g.censored.assign(weeks, 0);
  double cases = 0;
  for (const WeekRow& r : rows) {
    const auto w = static_cast<std::size_t>(r.week);
    g.interest[w] = r.interest;
    g.competing[w] = r.competing;
    g.censored[w] = r.censored;
    cases += r.interest + r.competing + r.censored;
    g.ownWeeks = w + 1;
  }
  for (std::size_t w = 0; w < weeks; ++w) {
    g.atRisk[w] = cases;
    cases -= g.interest[w] + g.competing[w] + g.censored[w];
  }
  return g;
}

// The data sets of competing_risks.R; every group padded to the longest.
std::vector<Group> DataSet(const std::string& name) {
  static const std::map<std::string, std::vector<std::vector<WeekRow>>> sets = {
      // Week 5 of group 1 holds ties of every kind; group 3 has no death of interest.
      {"mixed",
       {{{0, 1, 0, 1}, {2, 1, 1, 0}, {5, 2, 1, 1}, {8, 0, 1, 0}, {13, 1, 0, 2}, {20, 1, 1, 1}, {40, 0, 0, 1},
         {60, 2, 0, 0}, {100, 1, 1, 1}, {150, 0, 1, 0}, {200, 1, 0, 1}, {260, 1, 0, 0}, {270, 0, 1, 1}, {300, 1, 0, 2}},
        {{0, 0, 1, 0}, {2, 2, 0, 1}, {5, 1, 2, 0}, {7, 1, 0, 1}, {13, 0, 2, 1}, {20, 2, 1, 0}, {33, 1, 0, 1},
         {60, 0, 1, 1}, {90, 1, 1, 0}, {120, 2, 0, 1}, {180, 0, 0, 2}},
        {{1, 0, 1, 0}, {5, 0, 1, 1}, {13, 0, 2, 0}, {30, 0, 1, 2}, {60, 0, 1, 0}, {100, 0, 0, 3}}}},
      // Group 1 has left before any death of interest of group 2, and had no competing death.
      {"separated", {{{1, 2, 0, 0}, {3, 1, 0, 3}}, {{1, 0, 1, 1}, {2, 0, 0, 1}, {6, 1, 0, 0}, {9, 2, 1, 1}}}},
      // The cause selected for competing is one nobody died of.
      {"no_competing",
       {{{0, 1, 0, 1}, {2, 2, 0, 0}, {4, 1, 0, 2}, {9, 1, 0, 0}, {15, 2, 0, 1}},
        {{1, 1, 0, 0}, {2, 1, 0, 1}, {6, 3, 0, 1}, {12, 1, 0, 2}}}},
      // Every cause selected: every death competes.
      {"all_competing", {{{0, 0, 1, 0}, {3, 0, 2, 1}, {10, 0, 1, 1}}, {{1, 0, 1, 1}, {3, 0, 1, 0}, {8, 0, 2, 2}}}},
  };
  const auto& rows = sets.at(name);
  std::size_t weeks = 0;
  for (const auto& g : rows) weeks = std::max(weeks, static_cast<std::size_t>(g.back().week) + 1);
  std::vector<Group> groups;
  for (const auto& g : rows) groups.push_back(MakeGroup(g, weeks));
  return groups;
}

// Within `relative` of the expected value (absolutely for 0), or both without a value.
bool Near(double actual, double expected, double relative) {
  if (std::isnan(expected)) return std::isnan(actual);
  return std::abs(actual - expected) <= relative * std::abs(expected) + 1e-300;
}

// survfit(Surv(week, factor(status, 0:2)) ~ 1, conf.type = "log-log"), state 1.
TEST(CumulativeIncidence, MatchesRMultiStateSurvfit) {
  const struct { const char* set; int group, week; double f, se, lower, upper; } rows[] = {
      {"mixed", 1, 0, 0.033333333333333333, 0.032773069341672526, 0.0024945671935415223, 0.14513806733171525},
      {"mixed", 1, 5, 0.13690476190476192, 0.063630314688942813, 0.043112097764416567, 0.28431947722423434},
      {"mixed", 1, 60, 0.30476619940905653, 0.091569822942205267, 0.14221048754670468, 0.48487868562630509},
      {"mixed", 1, 300, 0.54015273461922486, 0.11336327334430307, 0.30087535956745093, 0.72917951655021251},
      {"mixed", 2, 2, 0.076923076923076927, 0.052258940037442844, 0.013426175681839129, 0.21734972030910027},
      {"mixed", 2, 5, 0.11713286713286714, 0.06359650396413434, 0.029531205239267808, 0.27101563420196723},
      {"mixed", 2, 180, 0.46796690704253735, 0.11011886340133996, 0.24811444836233046, 0.66120777349756299},
      {"mixed", 3, 100, 0, 0, kNone, kNone},
      {"no_competing", 1, 2, 0.29292929292929293, 0.14288592342726733, 0.068918342760766096, 0.56915300489826981},
      {"no_competing", 1, 15, 0.8484848484848484, 0.13675419362147304, 0.32508386554348528, 0.97626193638025072},
  };
  for (const auto& row : rows) {
    const std::vector<Group> groups = DataSet(row.set);
    IncidenceEstimates e;
    EstimateIncidence(groups[static_cast<std::size_t>(row.group - 1)].Counts(), e);
    SCOPED_TRACE(std::string(row.set) + " group " + std::to_string(row.group) + " week " + std::to_string(row.week));
    const auto w = static_cast<std::size_t>(row.week);
    ASSERT_LT(w, e.incidence.size());
    EXPECT_TRUE(Near(e.incidence[w], row.f, 1e-9)) << e.incidence[w];
    EXPECT_TRUE(Near(e.stdErr[w], row.se, 1e-9)) << e.stdErr[w];
    EXPECT_TRUE(Near(e.lower[w], row.lower, 1e-9)) << e.lower[w];
    EXPECT_TRUE(Near(e.upper[w], row.upper, 1e-9)) << e.upper[w];
  }
}

// Week 260 is in group 1's weeks, week 520 is not, and group 2 ends in week 180; the naive
// figure is R's 1 - survfit(Surv(week, status == 1)).
TEST(CumulativeIncidence, FiveAndTenYearsWhereTheWeeksReach) {
  const std::vector<Group> mixed = DataSet("mixed");
  IncidenceEstimates one, two;
  EstimateIncidence(mixed[0].Counts(), one);
  EstimateIncidence(mixed[1].Counts(), two);
  ASSERT_TRUE(one.at5y.has_value());
  EXPECT_TRUE(Near(one.at5y->incidence, 0.4609361121927259, 1e-9)) << one.at5y->incidence;
  EXPECT_TRUE(Near(one.at5y->lower, 0.24968262306424077, 1e-9)) << one.at5y->lower;
  EXPECT_TRUE(Near(one.at5y->upper, 0.64901483820070127, 1e-9)) << one.at5y->upper;
  EXPECT_TRUE(Near(one.at5y->naive, 0.55659667713239158, 1e-9)) << one.at5y->naive;
  EXPECT_FALSE(one.at10y.has_value());
  EXPECT_FALSE(two.at5y.has_value());
}

// With no competing death the incidence is 1 - Kaplan-Meier and the naive figure is the same.
TEST(CumulativeIncidence, WithoutCompetingDeathsIsOneMinusKaplanMeier) {
  for (const Group& g : DataSet("no_competing")) {
    IncidenceEstimates e;
    EstimateIncidence(g.Counts(), e);
    GroupEstimates km;
    EstimateGroup({std::span(g.interest).first(g.ownWeeks), std::span(g.atRisk).first(g.ownWeeks)}, 2080, km);
    ASSERT_EQ(e.incidence.size(), km.km.size());
    for (std::size_t w = 0; w < km.km.size(); ++w) EXPECT_NEAR(e.incidence[w], 1 - km.km[w], 1e-15) << w;
  }
}

// Gray's test of the groups, by the general sums or, for two groups, also by the pair's.
GrayTest Gray(const std::vector<CauseCounts>& counts, bool pairKernel = false) {
  std::vector<GrayColumns> columns(counts.size());
  std::vector<const GrayColumns*> pointers;
  for (std::size_t g = 0; g < counts.size(); ++g) {
    PrepareGrayColumns(counts[g], columns[g]);
    pointers.push_back(&columns[g]);
  }
  if (pairKernel) return ComputePairGrayTest(columns[0], columns[1]);
  GrayScratch scratch;
  return ComputeGrayTest(pointers, scratch);
}

// cuminc(week, status, group)$Tests, row "1"; group 0 stands for a group without cases.
TEST(GrayTest, MatchesRCuminc) {
  const struct { const char* set; int lastWeek; std::vector<int> groups; double statistic, p; int df; } rows[] = {
      {"mixed", 300, {1, 2, 3}, 4.9364060589882985, 0.084736992146881795, 2},
      {"mixed", 300, {1, 2}, 0.31683328708428327, 0.57351696730277002, 1},
      {"mixed", 300, {1, 3}, 4.3031491486876092, 0.03804186892032102, 1},
      {"mixed", 300, {2, 3, 0}, 4.3221295314706323, 0.037619814574042509, 1},
      {"mixed", 13, {1, 2, 3}, 2.2294903751291892, 0.32799884643698329, 2},
      {"mixed", 13, {1, 2}, 0.022026975697336838, 0.88201535999134617, 1},
  };
  const Group empty = MakeGroup({}, 301);
  for (const auto& row : rows) {
    const std::vector<Group> groups = DataSet(row.set);
    std::vector<CauseCounts> counts;
    for (int g : row.groups) counts.push_back((g == 0 ? empty : groups[static_cast<std::size_t>(g - 1)]).Counts(row.lastWeek + 1));
    SCOPED_TRACE(std::string(row.set) + " to week " + std::to_string(row.lastWeek) + ", " + std::to_string(counts.size()) + " groups");
    for (bool pairKernel : {false, true}) {
      if (pairKernel && counts.size() != 2) continue;
      const GrayTest t = Gray(counts, pairKernel);
      ASSERT_TRUE(t.tested) << pairKernel;
      EXPECT_TRUE(Near(t.statistic, row.statistic, 1e-6)) << t.statistic << " " << pairKernel;
      EXPECT_TRUE(Near(t.p, row.p, 1e-6)) << t.p << " " << pairKernel;
      EXPECT_EQ(t.df, row.df);
    }
  }
}

// The pair's sums against the general ones on every pair of every data set, cut at weeks
// where one group has left, has ties of both kinds or has no death of interest.
TEST(GrayTest, PairSumsEqualTheGeneralOnes) {
  for (const char* set : {"mixed", "separated", "no_competing"}) {
    const std::vector<Group> groups = DataSet(set);
    for (std::size_t weeks : {std::size_t{3}, std::size_t{6}, std::size_t{14}, groups[0].atRisk.size()}) {
      if (weeks > groups[0].atRisk.size()) continue;
      for (std::size_t a = 0; a < groups.size(); ++a) {
        for (std::size_t b = a + 1; b < groups.size(); ++b) {
          const std::vector<CauseCounts> pair = {groups[a].Counts(weeks), groups[b].Counts(weeks)};
          const GrayTest general = Gray(pair), pairSums = Gray(pair, true);
          SCOPED_TRACE(std::string(set) + " " + std::to_string(a + 1) + "-" + std::to_string(b + 1) + " weeks " + std::to_string(weeks));
          ASSERT_EQ(pairSums.tested, general.tested);
          EXPECT_NEAR(pairSums.statistic, general.statistic, 1e-12 * general.statistic);
        }
      }
    }
  }
}

TEST(GrayTest, NoTestWithoutTwoGroupsOrWithASingularVariance) {
  const std::vector<Group> none = DataSet("all_competing"), mixed = DataSet("mixed");
  const Group empty = MakeGroup({}, 301);
  const struct { const char* name; std::vector<CauseCounts> groups; } cases[] = {
      {"no death of interest", {none[0].Counts(), none[1].Counts()}},
      {"one group", {mixed[0].Counts()}},
      {"one group with cases", {mixed[0].Counts(301), empty.Counts(301)}},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(Gray(c.groups).tested) << c.name;
    if (c.groups.size() == 2) {
      EXPECT_FALSE(Gray(c.groups, true).tested) << c.name;
    }
  }
}

// pchisq(x, df, lower.tail = FALSE) for even and odd degrees of freedom.
TEST(GrayTest, ChiSquareTailMatchesR) {
  const struct { int df; double x, p; } rows[] = {
      {1, 0.5, 0.47950012218695348}, {2, 3.2, 0.20189651799465538}, {5, 7.5, 0.18602983360286701},
      {19, 30, 0.051798458893023883}, {19, 150, 2.1915635993460734e-22}, {4, 0.01, 0.99998754158864567},
  };
  for (const auto& row : rows) EXPECT_TRUE(Near(ChiSquareTail(row.df, row.x), row.p, 1e-12)) << row.df << " " << row.x;
}

// crr(week, status, group == b, gtol = 1e-12): coefficient and robust standard error.
TEST(FineGray, MatchesRCrr) {
  const struct { const char* set; int lastWeek, a, b; double beta, se, p; } rows[] = {
      {"mixed", 300, 1, 2, 0.049084949421544691, 0.40577170808574958, 0.90371724520645269},
      {"mixed", 13, 1, 2, -0.098085624434077548, 0.64909516293095304, 0.87988790594279054},
  };
  for (const auto& row : rows) {
    const std::vector<Group> groups = DataSet(row.set);
    const auto w = static_cast<std::size_t>(row.lastWeek + 1);
    FineGrayScratch scratch;
    const SubHazardRatio h = EstimateSubHazardRatio(groups[static_cast<std::size_t>(row.a - 1)].Counts(w),
                                                     groups[static_cast<std::size_t>(row.b - 1)].Counts(w), scratch);
    SCOPED_TRACE(std::string(row.set) + " to week " + std::to_string(row.lastWeek));
    ASSERT_TRUE(h.estimated);
    EXPECT_TRUE(Near(h.beta, row.beta, 1e-6)) << h.beta;
    EXPECT_TRUE(Near(h.se, row.se, 1e-6)) << h.se;
    EXPECT_TRUE(Near(h.hr, std::exp(row.beta), 1e-6)) << h.hr;
    EXPECT_TRUE(Near(h.lower, std::exp(row.beta - kNormalQuantile975 * row.se), 1e-6)) << h.lower;
    EXPECT_TRUE(Near(h.upper, std::exp(row.beta + kNormalQuantile975 * row.se), 1e-6)) << h.upper;
    EXPECT_TRUE(Near(h.p, row.p, 1e-6)) << h.p;
  }
}

// crr(c(1, 1), c(1, 1), c(0, 1)): coefficient 0, se 0, p NaN. Catches the interval and p
// computed from a robust variance of 0 (a division by zero).
TEST(FineGray, NoIntervalOrTestWithoutAnyResidual) {
  const struct { const char* name; std::vector<WeekRow> a, b; } cases[] = {
      {"one death of interest each, in the last week", {{1, 1, 0, 0}}, {{1, 1, 0, 0}}},
      {"two each, a case of each censored the week before", {{0, 0, 0, 1}, {1, 2, 0, 0}}, {{0, 0, 0, 1}, {1, 2, 0, 0}}},
  };
  for (const auto& c : cases) {
    FineGrayScratch scratch;
    const Group a = MakeGroup(c.a, 2), b = MakeGroup(c.b, 2);
    const SubHazardRatio h = EstimateSubHazardRatio(a.Counts(2), b.Counts(2), scratch);
    ASSERT_TRUE(h.estimated) << c.name;
    EXPECT_EQ(h.hr, 1) << c.name;
    EXPECT_EQ(h.se, 0) << c.name;
    EXPECT_TRUE(std::isnan(h.lower) && std::isnan(h.upper) && std::isnan(h.p)) << c.name << " " << h.lower << " " << h.p;
  }
}

// crr reports these as converged, with ratios of about 1e-13 that only say where it stopped.
TEST(FineGray, NoEstimateWithoutAFiniteRoot) {
  const std::vector<Group> mixed = DataSet("mixed"), separated = DataSet("separated"), none = DataSet("all_competing");
  const struct { const char* name; const Group &a, &b; } cases[] = {
      {"b without a death of interest", mixed[0], mixed[2]},
      {"a without a death of interest", mixed[2], mixed[0]},
      {"b's deaths of interest only after a has left", separated[0], separated[1]},
      {"no death of interest", none[0], none[1]},
  };
  for (const auto& c : cases) {
    FineGrayScratch scratch;
    const std::size_t weeks = c.a.atRisk.size();
    EXPECT_FALSE(EstimateSubHazardRatio(c.a.Counts(weeks), c.b.Counts(weeks), scratch).estimated) << c.name;
  }
}

}  // namespace
}  // namespace orv::test
