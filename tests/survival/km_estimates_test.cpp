// Kaplan-Meier estimates, intervals, medians, year marks and 5/10-year survival, checked
// against R survival (survival/reference/km_cox.R and its output km_cox.out).
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "survival/case_builder.h"

namespace orv::test {
namespace {

constexpr double kKmTolerance = 1e-9;

// survfit(conf.type = "log") at some of its times, to twelve digits; stdErr is surv x
// std.err (R's std.err is that of the cumulative hazard). Group 0 is the pool; long_follow_up's
// group 1 week 29 is the week before its first death.
const struct KmRow { const char* set; int group, week; double survival, stdErr, lower, upper; } kKmRows[] = {
    {"half_stretches", 1, 2, 0.5, 0.25, 0.187658928707, 1}, {"half_stretches", 1, 9, 0, kNone, kNone, kNone},
    {"half_stretches", 2, 1, 0.75, 0.216506350946, 0.425932268498, 1}, {"half_stretches", 3, 6, 0.5, 0.353553390593, 0.12504882663, 1},
    {"no_death", 1, 3, 0.857142857143, 0.132260014253, 0.633446529012, 1}, {"no_death", 1, 9, 0.380952380952, 0.199340235608, 0.136604203156, 1},
    {"no_death", 1, 15, 0.190476190476, 0.167555131083, 0.0339679211975, 1}, {"no_death", 2, 20, 1, 0, 1, 1},
    {"heavy_ties", 0, 0, 0.809523809524, 0.0856890867469, 0.657853062408, 0.996162875319},
    {"heavy_ties", 0, 1, 0.571428571429, 0.107989849431, 0.394548121478, 0.827606556639},
    {"heavy_ties", 0, 6, 0.285714285714, 0.105255485373, 0.138788743865, 0.588179205228},
    {"heavy_ties", 1, 1, 0.545454545455, 0.150131422517, 0.318033633665, 0.935500619002}, {"heavy_ties", 1, 4, 0, kNone, kNone, kNone},
    {"heavy_ties", 2, 4, 0.5, 0.158113883008, 0.269027355064, 0.929273530348}, {"deaths_first", 2, 2, 0.25, 0.216506350946, 0.045790759666, 1},
    {"one_case", 1, 7, 0, kNone, kNone, kNone}, {"one_case", 2, 7, 0.535714285714, 0.200786536491, 0.256981336178, 1},
    {"one_case", 2, 14, 0.178571428571, 0.160430588607, 0.0306960781041, 1}, {"long_follow_up", 1, 29, 1, 0, 1, 1},
    {"long_follow_up", 1, 60, 0.75, 0.108253175473, 0.56519837347, 0.995225793992},
    {"long_follow_up", 1, 310, 0.519480519481, 0.135087565659, 0.312046835897, 0.864806109454},
    {"long_follow_up", 1, 1500, 0.23088023088, 0.130119529418, 0.0765008749113, 0.696798318622},
    {"long_follow_up", 2, 41, 0.625, 0.121030729569, 0.427607729804, 0.913512485331},
    {"long_follow_up", 2, 261, 0.277777777778, 0.1166629923, 0.12195626366, 0.632689880055},
    {"long_follow_up", 2, 2080, 0.138888888889, 0.114226201773, 0.027708624366, 0.696177594456},
    {"twenty", 1, 143, 0.666666666667, 0.19245008973, 0.378606460887, 1}, {"twenty", 1, 249, 0, kNone, kNone, kNone},
    {"twenty", 7, 312, 0.3125, 0.236964857627, 0.0706959433019, 1}, {"twenty", 20, 393, 0.342857142857, 0.259715026604, 0.0776830365448, 1},
};

TEST(KmEstimates, MatchRSurvival) {
  for (const KmRow& row : kKmRows) {
    Workspace ws;
    Analyse(ws, Set(row.set));
    const GroupEstimates& e = ws.figures.groups[static_cast<std::size_t>(row.group)];
    const auto w = static_cast<std::size_t>(row.week);
    SCOPED_TRACE(std::string(row.set) + " group " + std::to_string(row.group) + " week " + std::to_string(row.week));
    ASSERT_LT(w, e.km.size());
    for (const auto& [got, want] : {std::pair{e.km[w], row.survival}, {e.stdErr[w], row.stdErr}, {e.lower[w], row.lower}, {e.upper[w], row.upper}}) {
      EXPECT_TRUE(Near(got, want, kKmTolerance)) << got << " R: " << want;
    }
  }
}

// quantile(fit, 0.5), the upper limit never reached: the exact-0.5 stretches end at the next
// death (half_stretches 1) or at the last week observed (half_stretches 2 and 3, heavy_ties 2).
TEST(KmEstimates, MedianAndItsIntervalMatchR) {
  const struct { const char* set; int group; double week, lower; } rows[] = {
      {"half_stretches", 1, 5.5, 2}, {"half_stretches", 2, 5.5, 1}, {"half_stretches", 3, 5, 4}, {"no_death", 1, 9, 5},
      {"no_death", 2, kNone, kNone}, {"heavy_ties", 0, 4, 1}, {"heavy_ties", 1, 4, 1}, {"heavy_ties", 2, 5, 1},
      {"deaths_first", 1, 3, 2}, {"deaths_first", 2, 1.5, 1}, {"one_case", 1, 7, kNone}, {"one_case", 2, 9, 5},
      {"long_follow_up", 1, 400, 120}, {"long_follow_up", 2, 95, 40}, {"twenty", 1, 196, 143}, {"twenty", 7, 312, 124},
      {"twenty", 20, 393, 99},
  };
  for (const auto& row : rows) {
    Workspace ws;
    Analyse(ws, Set(row.set));
    const MedianEstimate& m = ws.figures.groups[static_cast<std::size_t>(row.group)].median;
    SCOPED_TRACE(std::string(row.set) + " group " + std::to_string(row.group));
    EXPECT_TRUE(Near(m.week.value_or(kNone), row.week, kKmTolerance)) << m.week.value_or(kNone);
    EXPECT_TRUE(Near(m.lower.value_or(kNone), row.lower, kKmTolerance)) << m.lower.value_or(kNone);
    EXPECT_FALSE(m.upper.has_value());  // a value is checked on the reverse curve of the median follow-up
  }
}

// long_follow_up's group 2 has 17 cases and a death and a censored case in week 2080; group 1
// ends in week 1500, so nobody is under observation at its later marks.
TEST(KmEstimates, YearMarksRunWhile52kIsWithinTheRange) {
  const struct { const char* name; int group, xMax; std::size_t marks; AtRiskMark last; } cases[] = {
      {"whole range: week 2080 holds the death and the censored case", 2, 2080, 41, {40, 2080, 2}},
      {"range on a year mark", 2, 260, 6, {5, 260, 6}}, {"range one week short of a mark", 2, 259, 5, {4, 208, 6}},
      {"a range beyond week 2080 stops at its mark", 2, 5000, 41, {40, 2080, 2}},
      {"the last mark with a case under observation", 1, 1456, 29, {28, 1456, 1}},
      {"the first mark after the group's end", 1, 1508, 30, {29, 1508, 0}},
  };
  for (const auto& c : cases) {
    Workspace ws;
    Analyse(ws, Set("long_follow_up"), c.xMax);
    const std::vector<AtRiskMark>& marks = ws.figures.groups[static_cast<std::size_t>(c.group)].atRisk;
    SCOPED_TRACE(c.name);
    ASSERT_EQ(marks.size(), c.marks);
    EXPECT_EQ(marks[0].n, c.group == 2 ? 17 : 16);
    EXPECT_EQ(std::tuple(marks.back().year, marks.back().week, marks.back().n), std::tuple(c.last.year, c.last.week, c.last.n));
  }
}

// Weeks estimated and the 5- and 10-year survival only where the data reach; the pool of no
// shown group has no estimate, while the groups themselves are estimated.
TEST(KmEstimates, EstimatesOnlyWhereTheDataReach) {
  const struct { const char* name; DataSet groups; std::vector<int> hidden; std::size_t g, weeks; bool at5y, at10y; } cases[] = {
      {"last event in week 259", {{{100}, {259}}}, {}, 1, 260, false, false}, {"last event in week 260", {{{100}, {260}}}, {}, 1, 261, true, false},
      {"last event in week 520", {{{100}, {520}}}, {}, 1, 521, true, true}, {"no shown group: no pool", kThreeGroups, {1, 2, 3}, 0, 0, false, false},
      {"no shown group: a group", kThreeGroups, {1, 2, 3}, 1, 16, false, false},
  };
  for (const auto& c : cases) {
    Workspace ws;
    Analyse(ws, c.groups, 2080, c.hidden);
    const GroupEstimates& e = ws.figures.groups[c.g];
    EXPECT_EQ(std::tuple(e.km.size(), e.at5y.has_value(), e.at10y.has_value()), std::tuple(c.weeks, c.at5y, c.at10y)) << c.name;
    if (c.at5y) { EXPECT_EQ(e.at5y->survival, 0.5) << c.name; }
  }
}

}  // namespace
}  // namespace orv::test
