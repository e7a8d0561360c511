// Kaplan-Meier estimates, intervals, medians, year marks and 5/10-year survival, checked
// against R survival (survival/reference/km_cox.R and its output km_cox.out); the weekly
// survival tables per group and pooled, and the survival and median the views show.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "session/analysis.h"
#include "survival/case_builder.h"
#include "text/period_text.h"

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
    const GroupEstimates& e = ws.run.figures.groups[static_cast<std::size_t>(row.group)];
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
    const MedianEstimate& m = ws.run.figures.groups[static_cast<std::size_t>(row.group)].median;
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
    const std::vector<AtRiskMark>& marks = ws.run.figures.groups[static_cast<std::size_t>(c.group)].atRisk;
    SCOPED_TRACE(c.name);
    ASSERT_EQ(marks.size(), c.marks);
    EXPECT_EQ(marks[0].n, c.group == 2 ? 17 : 16);
    EXPECT_EQ(std::tuple(marks.back().year, marks.back().week, marks.back().n), std::tuple(c.last.year, c.last.week, c.last.n));
  }
}

// The weekly survival tables per group and pooled, read by their summary texts (the survival
// values themselves are R's above and in ExactFraction), and nothing after the last event; the
// estimates run to the last event, the 5- and 10-year figures only where the data reach (their
// values are R's in the batch command's JSON), and the pool of no shown group has none while
// the groups themselves are estimated.
using Summary = std::array<std::string, 4>;  // 5 years, 10 years, end of data, median

TEST(SurvivalTables, GroupAndPooledExamples) {
  // A: a death in week 2; B: a case censored in week 4; C: 8 cases censored in week 3.
  const test::DataSet abc = {{{2}}, {{}, {4}}, {{}, {3, 3, 3, 3, 3, 3, 3, 3}}};
  // g is the group checked; 0 is the pool of the shown groups.
  const struct { const char* name; test::DataSet groups; std::vector<int> hidden; std::size_t g;
                 double lastEventWeek; Summary summary; } cases[] = {
      {"survival 1 at five years and beyond", {{{}, {300, 600}}}, {}, 1, 600, {"100.0 %", "100.0 %", "100.0 % ,11y 6m", ""}},
      {"one censored case", {{{}, {10}}}, {}, 1, 10, {"   . ", "   . ", "100.0 % , 0y 2m", ""}},
      {"three deaths in a row", {{{0, 1, 2}}}, {}, 1, 2, {"   . ", "   . ", "  0.0 % ,0.4m", "0.2m"}},
      {"death and censored case in one week", {{{5}, {5}}}, {}, 1, 5, {"   . ", "   . ", " 50.0 % , 0y 1m", " 0y 1m"}},
      // 23/24 x 22/23 x ... x 12/13 lands a rounding error above 0.5 and still counts as 0.5.
      {"half reached a rounding error above it", {{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, std::vector<int>(12, 30)}}, {}, 1, 30,
       {"   . ", "   . ", " 50.0 % , 0y 6m", " 0y 2m"}},
      {"last event one week before five years", {{{100}, {259, 259}}}, {}, 1, 259, {"   . ", "   . ", " 66.6 % , 4y11m", ""}},
      {"last event in week 260", {{{100}, {260}}}, {}, 1, 260, {" 50.0 %", "   . ", " 50.0 % , 5y 0m", " 1y11m"}},
      {"last event in week 520", {{{100}, {520}}}, {}, 1, 520, {" 50.0 %", " 50.0 %", " 50.0 % ,10y 0m", " 1y11m"}},
      {"pool of A and B", abc, {3}, 0, 4, {"   . ", "   . ", " 50.0 % ,0.9m", "0.4m"}},
      {"pool with B hidden is A alone", abc, {2, 3}, 0, 2, {"   . ", "   . ", "  0.0 % ,0.4m", "0.4m"}},
      {"pool with a small group shown by the user", abc, {}, 0, 4, {"   . ", "   . ", " 90.0 % ,0.9m", ""}},
      {"pool of no shown group: empty, no 0 / 0", abc, {1, 2, 3}, 0, 0, {"", "", "", ""}},
      {"no shown group: a group is estimated", abc, {1, 2, 3}, 1, 2, {"   . ", "   . ", "  0.0 % ,0.4m", "0.4m"}},
  };
  Workspace ws;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::Analyse(ws, c.groups, 2080, c.hidden);
    const SurvivalTables& t = ws.run.survival;
    EXPECT_EQ(t.lastEventWeek[c.g], c.lastEventWeek);
    // Every week after the last event holds nothing.
    const auto after = static_cast<std::size_t>(c.lastEventWeek) + 1;
    for (int slot = kCensored; slot <= kSurvival; ++slot) EXPECT_EQ(t.SurvivalTable[after][slot][c.g], 0) << slot;
    EXPECT_EQ(t.AtRiskTable[after][c.g], 0);
    const auto& texts = ws.texts[c.g];
    EXPECT_EQ((Summary{texts[kFiveYears], texts[kTenYears], texts[kDataMax], texts[kMedian]}), c.summary);
    const GroupEstimates& e = ws.run.figures.groups[c.g];
    const auto weeks = static_cast<std::size_t>(c.summary[2].empty() ? 0 : c.lastEventWeek + 1);
    EXPECT_EQ(std::tuple(e.km.size(), e.at5y.has_value(), e.at10y.has_value()), std::tuple(weeks, weeks > 260, weeks > 520));
  }
}

// The survival the views show is the whole Kaplan-Meier product, cut to three decimals only
// as text: on data with many deaths a fraction cut at every week drifts well below R's
// survfit (reference/exact_fraction.R and .out hold the figures below).
test::DataSet ManyDeaths() {
  test::DataSet arms(3);
  for (int a = 0; a < 3; ++a) {
    for (int i = 0; i < (a == 2 ? 309 : 310); ++i) {
      const int week = (i * 97 + a * 31) % 600;
      ((i * 13 + a * 5) % 20 < 11 - 2 * a ? arms[a].deaths : arms[a].censored).push_back(week);
    }
  }
  return arms;
}

// Deaths in every one of the 2,081 weeks: a case per death, a censored case every
// `censoredEvery` weeks, the rest censored at the last week.
test::Group Weekly(int cases, int deathsPerWeek, int censoredEvery) {
  test::Group g;
  for (int w = 0; w <= kMaxWeek; ++w) {
    g.deaths.insert(g.deaths.end(), static_cast<std::size_t>(deathsPerWeek), w);
    if (w % censoredEvery == 0) g.censored.push_back(w);
  }
  g.censored.resize(static_cast<std::size_t>(cases) - g.deaths.size(), kMaxWeek);
  return g;
}

TEST(ExactFraction, ShownSurvivalAndMedianFollowR) {
  // Per group (0 the pool): R's survival at weeks 260 and 520 and its first week with
  // survival 0.5 or less (0: never).
  struct Expected { double at5y, at10y; std::uint32_t median; };
  const struct { const char* name; test::DataSet groups; std::vector<Expected> expected; } cases[] = {
      {"three arms, many deaths", ManyDeaths(),
       {{0.773520068404091, 0.401864744521712, 470}, {0.731859107890623, 0.325659952971758, 434},
        {0.773043596486964, 0.403216453579686, 469}, {0.818035538898753, 0.494626211249128, 517}}},
      {"deaths in every week", {Weekly(8000, 2, 1), Weekly(5000, 1, 2)},
       {{0.938826230148063, 0.875835962257661, 1867}, {0.933640699988697, 0.865100856869950, 1723},
        {0.947093951597900, 0.892877826741679, 0}}},
  };
  for (const auto& c : cases) {
    Workspace ws;
    test::Analyse(ws, c.groups);
    for (std::size_t g = 0; g < c.expected.size(); ++g) {
      SCOPED_TRACE(std::string(c.name) + ", group " + std::to_string(g));
      const Expected& e = c.expected[g];
      const auto& table = ws.run.survival.SurvivalTable;
      EXPECT_NEAR(table[260][kSurvival][g], e.at5y, 1e-12);
      EXPECT_NEAR(table[520][kSurvival][g], e.at10y, 1e-12);
      const auto& texts = ws.texts[g];
      EXPECT_EQ(texts[kFiveYears], PercentText(e.at5y) + " %");
      EXPECT_EQ(texts[kTenYears], PercentText(e.at10y) + " %");
      EXPECT_EQ(texts[kMedian], e.median != 0 ? WeeksToYearsMonths(e.median) : "");
    }
  }
}

}  // namespace
}  // namespace orv::test
