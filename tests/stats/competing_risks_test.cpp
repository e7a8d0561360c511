// Cumulative incidence, Gray's test and Fine-Gray ratios, checked against R survival's
// multi-state survfit and cmprsk's cuminc and crr (stats/reference/competing_risks.R and its
// output competing_risks.out).
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "stats/cumulative_incidence.h"
#include "stats/fine_gray.h"
#include "stats/gray_statistic.h"
#include "survival/case_builder.h"

namespace orv::test {
namespace {

// One week of one group: deaths of interest, competing deaths, censored cases.
struct WeekRow { int week; double interest, competing, censored; };

// A group's columns over weeks 0..300 (the longest data set), the number at risk counted down
// from its cases; by default its counts end at its own last row.
struct Group {
  std::vector<double> atRisk = std::vector<double>(301), interest = atRisk, competing = atRisk, censored = atRisk;
  std::size_t ownWeeks = 0;
  CauseCounts Counts(std::size_t weeks = 0) const {
    const std::size_t n = weeks == 0 ? ownWeeks : weeks;
    return {std::span(atRisk).first(n), std::span(interest).first(n), std::span(competing).first(n), std::span(censored).first(n)};
  }
};

Group MakeGroup(const std::vector<WeekRow>& rows) {
  Group g;
  for (const WeekRow& r : rows) {
    const auto w = static_cast<std::size_t>(r.week);
    std::tie(g.interest[w], g.competing[w], g.censored[w], g.ownWeeks) = std::tuple(r.interest, r.competing, r.censored, w + 1);
  }
  double cases = 0;  // counted up from the last week
  for (std::size_t w = g.atRisk.size(); w-- > 0;) g.atRisk[w] = cases += g.interest[w] + g.competing[w] + g.censored[w];
  return g;
}

// The data sets of competing_risks.R.
std::vector<Group> DataSet(const std::string& name) {
  static const std::map<std::string, std::vector<std::vector<WeekRow>>> sets = {
      // Week 5 of group 1 holds ties of every kind; group 3 has no death of interest.
      {"mixed", {{{0, 1, 0, 1}, {2, 1, 1, 0}, {5, 2, 1, 1}, {8, 0, 1, 0}, {13, 1, 0, 2}, {20, 1, 1, 1}, {40, 0, 0, 1},
         {60, 2, 0, 0}, {100, 1, 1, 1}, {150, 0, 1, 0}, {200, 1, 0, 1}, {260, 1, 0, 0}, {270, 0, 1, 1}, {300, 1, 0, 2}},
        {{0, 0, 1, 0}, {2, 2, 0, 1}, {5, 1, 2, 0}, {7, 1, 0, 1}, {13, 0, 2, 1}, {20, 2, 1, 0}, {33, 1, 0, 1},
         {60, 0, 1, 1}, {90, 1, 1, 0}, {120, 2, 0, 1}, {180, 0, 0, 2}},
        {{1, 0, 1, 0}, {5, 0, 1, 1}, {13, 0, 2, 0}, {30, 0, 1, 2}, {60, 0, 1, 0}, {100, 0, 0, 3}}}},
      // Group 1 has left before any death of interest of group 2, and had no competing death.
      {"separated", {{{1, 2, 0, 0}, {3, 1, 0, 3}}, {{1, 0, 1, 1}, {2, 0, 0, 1}, {6, 1, 0, 0}, {9, 2, 1, 1}}}},
      // The cause selected for competing is one nobody died of.
      {"no_competing", {{{0, 1, 0, 1}, {2, 2, 0, 0}, {4, 1, 0, 2}, {9, 1, 0, 0}, {15, 2, 0, 1}},
        {{1, 1, 0, 0}, {2, 1, 0, 1}, {6, 3, 0, 1}, {12, 1, 0, 2}}}},
      // Every cause selected: every death competes.
      {"all_competing", {{{0, 0, 1, 0}, {3, 0, 2, 1}, {10, 0, 1, 1}}, {{1, 0, 1, 1}, {3, 0, 1, 0}, {8, 0, 2, 2}}}},
  };
  std::vector<Group> groups;
  for (const auto& rows : sets.at(name)) groups.push_back(MakeGroup(rows));
  return groups;
}

// survfit(Surv(week, factor(status, 0:2)) ~ 1, conf.type = "log-log"), state 1.
TEST(CumulativeIncidence, MatchesRMultiStateSurvfit) {
  const struct { const char* set; int group, week; double f, se, lower, upper, naive = 0; } rows[] = {
      {"mixed", 1, 0, 0.033333333333333333, 0.032773069341672526, 0.0024945671935415223, 0.14513806733171525},
      {"mixed", 1, 5, 0.13690476190476192, 0.063630314688942813, 0.043112097764416567, 0.28431947722423434},
      {"mixed", 1, 60, 0.30476619940905653, 0.091569822942205267, 0.14221048754670468, 0.48487868562630509},
      {"mixed", 1, 260, 0.4609361121927259, 0.10620615589178101, 0.24968262306424077, 0.64901483820070127, 0.55659667713239158},
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
    for (const auto& [got, want] : {std::pair{e.incidence[w], row.f}, {e.stdErr[w], row.se}, {e.lower[w], row.lower}, {e.upper[w], row.upper}}) {
      EXPECT_TRUE(Near(got, want, 1e-9)) << got << " R: " << want;
    }
    // The 5-year figures where the weeks reach 260 (not 520), with the naive 1 - Kaplan-Meier.
    EXPECT_EQ(e.at5y.has_value(), e.incidence.size() > 260);
    EXPECT_FALSE(e.at10y.has_value());
    if (row.week != 260) continue;
    EXPECT_EQ(std::tuple(e.at5y->incidence, e.at5y->lower, e.at5y->upper), std::tuple(e.incidence[w], e.lower[w], e.upper[w]));
    EXPECT_TRUE(Near(e.at5y->naive, row.naive, 1e-9)) << e.at5y->naive;
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

// cuminc(week, status, group)$Tests, row "1" (group 0 stands for a group without cases), and
// for a pair crr(week, status, group == b, gtol = 1e-12): coefficient, robust standard error, p.
TEST(GrayTest, GrayAndFineGrayMatchR) {
  const struct { const char* set; int lastWeek; std::vector<int> groups; double statistic, p; int df; double beta = kNone, se = 0, crrP = 0; } rows[] = {
      {"mixed", 300, {1, 2, 3}, 4.9364060589882985, 0.084736992146881795, 2},
      {"mixed", 300, {1, 2}, 0.31683328708428327, 0.57351696730277002, 1, 0.049084949421544691, 0.40577170808574958, 0.90371724520645269},
      {"mixed", 300, {1, 3}, 4.3031491486876092, 0.03804186892032102, 1},
      {"mixed", 300, {2, 3, 0}, 4.3221295314706323, 0.037619814574042509, 1},
      {"mixed", 13, {1, 2, 3}, 2.2294903751291892, 0.32799884643698329, 2},
      {"mixed", 13, {1, 2}, 0.022026975697336838, 0.88201535999134617, 1, -0.098085624434077548, 0.64909516293095304, 0.87988790594279054},
  };
  const Group empty;
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
    if (std::isnan(row.beta)) continue;
    FineGrayScratch scratch;
    const SubHazardRatio h = EstimateSubHazardRatio(counts[0], counts[1], scratch);
    ASSERT_TRUE(h.estimated);
    const double z = kNormalQuantile975 * row.se;
    for (const auto& [got, want] : {std::pair{h.beta, row.beta}, {h.se, row.se}, {h.hr, std::exp(row.beta)},
                                    {h.lower, std::exp(row.beta - z)}, {h.upper, std::exp(row.beta + z)}, {h.p, row.crrP}}) {
      EXPECT_TRUE(Near(got, want, 1e-6)) << got << " R: " << want;
    }
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
    const Group a = MakeGroup(c.a), b = MakeGroup(c.b);
    const SubHazardRatio h = EstimateSubHazardRatio(a.Counts(2), b.Counts(2), scratch);
    ASSERT_TRUE(h.estimated) << c.name;
    EXPECT_EQ(h.hr, 1) << c.name;
    EXPECT_EQ(h.se, 0) << c.name;
    EXPECT_TRUE(std::isnan(h.lower) && std::isnan(h.upper) && std::isnan(h.p)) << c.name << " " << h.lower << " " << h.p;
  }
}

// No test of one group, or of groups without a death of interest or with a singular variance;
// no ratio without a finite root, which crr reports as converged, with ratios of about 1e-13
// that only say where it stopped. The pair's sums answer as the general ones.
TEST(GrayTest, NoTestOrRatioWithoutAnAnswer) {
  const std::vector<Group> none = DataSet("all_competing"), mixed = DataSet("mixed"), separated = DataSet("separated");
  const Group empty;
  const struct { const char* name; std::vector<CauseCounts> groups; bool tested; } cases[] = {
      {"no death of interest", {none[0].Counts(), none[1].Counts()}, false},
      {"one group", {mixed[0].Counts()}, false},
      {"one group with cases", {mixed[0].Counts(301), empty.Counts(301)}, false},
      {"b without a death of interest", {mixed[0].Counts(301), mixed[2].Counts(301)}, true},
      {"a without a death of interest", {mixed[2].Counts(301), mixed[0].Counts(301)}, true},
      {"b's deaths of interest only after a has left", {separated[0].Counts(10), separated[1].Counts(10)}, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Gray(c.groups).tested, c.tested) << c.name;
    if (c.groups.size() != 2) continue;
    EXPECT_EQ(Gray(c.groups, true).tested, c.tested) << c.name;
    FineGrayScratch scratch;
    EXPECT_FALSE(EstimateSubHazardRatio(c.groups[0], c.groups[1], scratch).estimated) << c.name;
  }
}

}  // namespace
}  // namespace orv::test
