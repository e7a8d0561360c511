// Kaplan-Meier estimates, intervals, medians, year marks and 5/10-year survival, checked
// against R survival (survival/reference/km_cox.R and its output km_cox.out).
#include <gtest/gtest.h>

#include "survival/figure_data_sets.h"

namespace orv::test {
namespace {

constexpr double kKmTolerance = 1e-9;

struct KmRow {
  const char* set;
  int group;
  int week;
  double survival, stdErr, lower, upper;
};

// survfit(conf.type = "log") at each of its times; stdErr is surv x std.err (R's std.err is
// that of the cumulative hazard).
const KmRow kKmRows[] = {
    {"half_stretches", 1, 2, 0.5, 0.25, 0.18765892870658832, 1},
    {"half_stretches", 1, 5, 0.5, 0.25, 0.18765892870658832, 1},
    {"half_stretches", 1, 9, 0, kNone, kNone, kNone},
    {"half_stretches", 2, 1, 0.75, 0.21650635094610965, 0.42593226849798205, 1},
    {"half_stretches", 2, 3, 0.5, 0.25, 0.18765892870658832, 1},
    {"half_stretches", 2, 8, 0.5, 0.25, 0.18765892870658832, 1},
    {"half_stretches", 3, 4, 0.5, 0.35355339059327379, 0.12504882662995326, 1},
    {"half_stretches", 3, 6, 0.5, 0.35355339059327379, 0.12504882662995326, 1},
    {"no_death", 1, 3, 0.8571428571428571, 0.13226001425322162, 0.6334465290121496, 1},
    {"no_death", 1, 5, 0.5714285714285714, 0.18704390591656486, 0.30084364638978678, 1},
    {"no_death", 1, 7, 0.5714285714285714, 0.18704390591656486, 0.30084364638978678, 1},
    {"no_death", 1, 9, 0.38095238095238093, 0.19934023560848899, 0.13660420315625463, 1},
    {"no_death", 1, 12, 0.19047619047619047, 0.16755513108309447, 0.033967921197456528, 1},
    {"no_death", 1, 15, 0.19047619047619047, 0.16755513108309447, 0.033967921197456528, 1},
    {"no_death", 2, 4, 1, 0, 1, 1},
    {"no_death", 2, 8, 1, 0, 1, 1},
    {"no_death", 2, 20, 1, 0, 1, 1},
    {"heavy_ties", 0, 0, 0.80952380952380953, 0.085689086746898804, 0.65785306240797892, 0.99616287531930292},
    {"heavy_ties", 0, 1, 0.57142857142857151, 0.10798984943120779, 0.39454812147806118, 0.82760655663913685},
    {"heavy_ties", 0, 4, 0.28571428571428575, 0.10525548537328677, 0.13878874386524717, 0.58817920522779088},
    {"heavy_ties", 0, 6, 0.28571428571428575, 0.10525548537328677, 0.13878874386524717, 0.58817920522779088},
    {"heavy_ties", 1, 0, 0.72727272727272729, 0.13428162652290843, 0.50644676483130968, 1},
    {"heavy_ties", 1, 1, 0.54545454545454541, 0.15013142251723099, 0.31803363366485388, 0.93550061900231019},
    {"heavy_ties", 1, 4, 0, kNone, kNone, kNone},
    {"heavy_ties", 2, 0, 0.90000000000000002, 0.094868329805051374, 0.73201164274399266, 1},
    {"heavy_ties", 2, 1, 0.59999999999999998, 0.15491933384829665, 0.36171952925471629, 0.99524623605958118},
    {"heavy_ties", 2, 4, 0.5, 0.15811388300841897, 0.2690273550635448, 0.92927353034768345},
    {"heavy_ties", 2, 6, 0.5, 0.15811388300841897, 0.2690273550635448, 0.92927353034768345},
    {"deaths_first", 1, 1, 0.80000000000000004, 0.17888543819998318, 0.51612576034217206, 1},
    {"deaths_first", 1, 2, 0.60000000000000009, 0.21908902300206645, 0.29331643163832644, 1},
    {"deaths_first", 1, 3, 0.40000000000000002, 0.21908902300206645, 0.13672178038905075, 1},
    {"deaths_first", 1, 5, 0.40000000000000002, 0.21908902300206645, 0.13672178038905075, 1},
    {"deaths_first", 1, 6, 0.40000000000000002, 0.21908902300206645, 0.13672178038905075, 1},
    {"deaths_first", 2, 1, 0.5, 0.25, 0.18765892870658832, 1},
    {"deaths_first", 2, 2, 0.25, 0.21650635094610965, 0.045790759666018192, 1},
    {"deaths_first", 2, 4, 0.25, 0.21650635094610965, 0.045790759666018192, 1},
    {"one_case", 1, 7, 0, kNone, kNone, kNone},
    {"one_case", 2, 2, 0.8571428571428571, 0.13226001425322162, 0.6334465290121496, 1},
    {"one_case", 2, 5, 0.7142857142857143, 0.17074694419062766, 0.44709094792777365, 1},
    {"one_case", 2, 6, 0.7142857142857143, 0.17074694419062766, 0.44709094792777365, 1},
    {"one_case", 2, 7, 0.5357142857142857, 0.20078653649124883, 0.25698133617804808, 1},
    {"one_case", 2, 9, 0.3571428571428571, 0.19793025246194718, 0.12053191784365833, 1},
    {"one_case", 2, 11, 0.17857142857142855, 0.16043058860745021, 0.030696078104139417, 1},
    {"one_case", 2, 14, 0.17857142857142855, 0.16043058860745021, 0.030696078104139417, 1},
    {"long_follow_up", 1, 30, 0.9375, 0.060515364784490884, 0.82608826540549218, 1},
    {"long_follow_up", 1, 45, 0.875, 0.082679728470768446, 0.72707140958548278, 1},
    {"long_follow_up", 1, 60, 0.75, 0.10825317547305482, 0.56519837347031221, 0.99522579399203825},
    {"long_follow_up", 1, 80, 0.75, 0.10825317547305482, 0.56519837347031221, 0.99522579399203825},
    {"long_follow_up", 1, 120, 0.68181818181818177, 0.11794516993265673, 0.4857607449807641, 0.95700617610889926},
    {"long_follow_up", 1, 150, 0.68181818181818177, 0.11794516993265673, 0.4857607449807641, 0.95700617610889926},
    {"long_follow_up", 1, 200, 0.60606060606060597, 0.12685809996009087, 0.40211110635749042, 0.91345265627156902},
    {"long_follow_up", 1, 260, 0.60606060606060597, 0.12685809996009087, 0.40211110635749042, 0.91345265627156902},
    {"long_follow_up", 1, 310, 0.51948051948051932, 0.13508756565918303, 0.31204683589731791, 0.86480610945387137},
    {"long_follow_up", 1, 400, 0.43290043290043279, 0.13754793120738762, 0.23223671726333781, 0.80694726920757487},
    {"long_follow_up", 1, 520, 0.34632034632034625, 0.13455603470899724, 0.16171868571216527, 0.74164455237359295},
    {"long_follow_up", 1, 600, 0.34632034632034625, 0.13455603470899724, 0.16171868571216527, 0.74164455237359295},
    {"long_follow_up", 1, 700, 0.23088023088023082, 0.1301195294178901, 0.076500874911274802, 0.6967983186222676},
    {"long_follow_up", 1, 900, 0.23088023088023082, 0.1301195294178901, 0.076500874911274802, 0.6967983186222676},
    {"long_follow_up", 1, 1500, 0.23088023088023082, 0.1301195294178901, 0.076500874911274802, 0.6967983186222676},
    {"long_follow_up", 2, 5, 1, 0, 1, 1},
    {"long_follow_up", 2, 10, 0.9375, 0.060515364784490884, 0.82608826540549218, 1},
    {"long_follow_up", 2, 12, 0.875, 0.082679728470768446, 0.72707140958548278, 1},
    {"long_follow_up", 2, 25, 0.8125, 0.097578093724974974, 0.64209216554634896, 1},
    {"long_follow_up", 2, 40, 0.6875, 0.11587810136086975, 0.49408618589162562, 0.95662713003612265},
    {"long_follow_up", 2, 41, 0.625, 0.12103072956898178, 0.42760772980405098, 0.91351248533089391},
    {"long_follow_up", 2, 50, 0.625, 0.12103072956898178, 0.42760772980405098, 0.91351248533089391},
    {"long_follow_up", 2, 90, 0.55555555555555558, 0.1259395417475504, 0.35626045381042609, 0.86633801761471141},
    {"long_follow_up", 2, 95, 0.48611111111111116, 0.12791839250320328, 0.29023174955032238, 0.81419077241481141},
    {"long_follow_up", 2, 130, 0.41666666666666669, 0.12710420290085506, 0.22915516664524488, 0.75761377608334057},
    {"long_follow_up", 2, 260, 0.34722222222222227, 0.12344171879456912, 0.17297965293983841, 0.69697949762258848},
    {"long_follow_up", 2, 261, 0.27777777777777785, 0.11666299229957551, 0.12195626366030465, 0.63268988005472471},
    {"long_follow_up", 2, 300, 0.27777777777777785, 0.11666299229957551, 0.12195626366030465, 0.63268988005472471},
    {"long_follow_up", 2, 1000, 0.27777777777777785, 0.11666299229957551, 0.12195626366030465, 0.63268988005472471},
    {"long_follow_up", 2, 2080, 0.13888888888888892, 0.11422620177291973, 0.027708624365987613, 0.69617759445571004},
    {"twenty", 1, 82, 1, 0, 1, 1},
    {"twenty", 1, 90, 0.83333333333333337, 0.15214515486254615, 0.58265479547713961, 1},
    {"twenty", 1, 143, 0.66666666666666674, 0.19245008972987529, 0.3786064608870951, 1},
    {"twenty", 1, 153, 0.66666666666666674, 0.19245008972987529, 0.3786064608870951, 1},
    {"twenty", 1, 196, 0.44444444444444448, 0.22222222222222224, 0.16680793662807852, 1},
    {"twenty", 1, 224, 0.44444444444444448, 0.22222222222222224, 0.16680793662807852, 1},
    {"twenty", 1, 249, 0, kNone, kNone, kNone},
    {"twenty", 7, 18, 0.875, 0.11692679333668568, 0.67338193650595535, 1},
    {"twenty", 7, 71, 0.75, 0.15309310892394862, 0.50270184129404694, 1},
    {"twenty", 7, 124, 0.625, 0.17116329922036438, 0.36540027868240926, 1},
    {"twenty", 7, 148, 0.625, 0.17116329922036438, 0.36540027868240926, 1},
    {"twenty", 7, 219, 0.625, 0.17116329922036438, 0.36540027868240926, 1},
    {"twenty", 7, 290, 0.625, 0.17116329922036438, 0.36540027868240926, 1},
    {"twenty", 7, 312, 0.3125, 0.23696485762661093, 0.070695943301924913, 1},
    {"twenty", 7, 365, 0, kNone, kNone, kNone},
    {"twenty", 20, 46, 0.8571428571428571, 0.13226001425322162, 0.6334465290121496, 1},
    {"twenty", 20, 54, 0.8571428571428571, 0.13226001425322162, 0.6334465290121496, 1},
    {"twenty", 20, 99, 0.68571428571428572, 0.18629422792615069, 0.40261462180904611, 1},
    {"twenty", 20, 291, 0.68571428571428572, 0.18629422792615069, 0.40261462180904611, 1},
    {"twenty", 20, 362, 0.68571428571428572, 0.18629422792615069, 0.40261462180904611, 1},
    {"twenty", 20, 393, 0.34285714285714286, 0.25971502660364454, 0.077683036544827694, 1},
    {"twenty", 20, 433, 0.34285714285714286, 0.25971502660364454, 0.077683036544827694, 1},};

TEST(KmEstimates, MatchRSurvivalAtEveryTime) {
  for (const KmRow& row : kKmRows) {
    Workspace ws;
    AnalyseDataSet(ws, row.set);
    const GroupEstimates& e = ws.figures.groups[static_cast<std::size_t>(row.group)];
    const auto w = static_cast<std::size_t>(row.week);
    SCOPED_TRACE(std::string(row.set) + " group " + std::to_string(row.group) + " week " + std::to_string(row.week));
    ASSERT_LT(w, e.km.size());
    EXPECT_TRUE(Near(e.km[w], row.survival, kKmTolerance)) << e.km[w];
    EXPECT_TRUE(Near(e.stdErr[w], row.stdErr, kKmTolerance)) << e.stdErr[w];
    EXPECT_TRUE(Near(e.lower[w], row.lower, kKmTolerance)) << e.lower[w];
    EXPECT_TRUE(Near(e.upper[w], row.upper, kKmTolerance)) << e.upper[w];
  }
}

struct MedianRow {
  const char* set;
  int group;
  double week, lower, upper;  // kNone: not reached
};

// quantile(fit, 0.5): the exact-0.5 stretches end at the next death (half_stretches 1) or
// at the last week observed (half_stretches 2 and 3, heavy_ties 2).
const MedianRow kMedianRows[] = {
    {"half_stretches", 1, 5.5, 2, kNone},
    {"half_stretches", 2, 5.5, 1, kNone},
    {"half_stretches", 3, 5, 4, kNone},
    {"no_death", 1, 9, 5, kNone},
    {"no_death", 2, kNone, kNone, kNone},
    {"heavy_ties", 0, 4, 1, kNone},
    {"heavy_ties", 1, 4, 1, kNone},
    {"heavy_ties", 2, 5, 1, kNone},
    {"deaths_first", 1, 3, 2, kNone},
    {"deaths_first", 2, 1.5, 1, kNone},
    {"one_case", 1, 7, kNone, kNone},
    {"one_case", 2, 9, 5, kNone},
    {"long_follow_up", 1, 400, 120, kNone},
    {"long_follow_up", 2, 95, 40, kNone},
    {"twenty", 1, 196, 143, kNone},
    {"twenty", 7, 312, 124, kNone},
    {"twenty", 20, 393, 99, kNone},};

double Value(const std::optional<double>& v) { return v ? *v : kNone; }

TEST(KmEstimates, MedianAndItsIntervalMatchR) {
  for (const MedianRow& row : kMedianRows) {
    Workspace ws;
    AnalyseDataSet(ws, row.set);
    const MedianEstimate& m = ws.figures.groups[static_cast<std::size_t>(row.group)].median;
    SCOPED_TRACE(std::string(row.set) + " group " + std::to_string(row.group));
    EXPECT_TRUE(Near(Value(m.week), row.week, kKmTolerance)) << Value(m.week);
    EXPECT_TRUE(Near(Value(m.lower), row.lower, kKmTolerance)) << Value(m.lower);
    EXPECT_TRUE(Near(Value(m.upper), row.upper, kKmTolerance)) << Value(m.upper);
  }
}

TEST(KmEstimates, BeforeTheFirstDeathTheIntervalIsOne) {
  Workspace ws;
  AnalyseDataSet(ws, "long_follow_up");
  const GroupEstimates& e = ws.figures.groups[1];  // first death in week 30
  for (std::size_t w : {0u, 29u}) {
    EXPECT_EQ(e.km[w], 1);
    EXPECT_EQ(e.stdErr[w], 0);
    EXPECT_EQ(e.lower[w], 1);
    EXPECT_EQ(e.upper[w], 1);
  }
}

TEST(KmEstimates, YearMarksRunWhile52kIsWithinTheRange) {
  struct Case {
    const char* name;
    int xMax;
    std::size_t marks;
    AtRiskMark last;
  };
  const Case cases[] = {
      {"whole range: week 2080 holds the death and the censored case", 2080, 41, {40, 2080, 2}},
      {"range on a year mark", 260, 6, {5, 260, 6}},
      {"range one week short of a mark", 259, 5, {4, 208, 6}},
      {"a range beyond week 2080 stops at its mark", 5000, 41, {40, 2080, 2}},
  };
  for (const Case& c : cases) {
    Workspace ws;
    AnalyseDataSet(ws, "long_follow_up", c.xMax);
    const std::vector<AtRiskMark>& marks = ws.figures.groups[2].atRisk;
    SCOPED_TRACE(c.name);
    ASSERT_EQ(marks.size(), c.marks);
    EXPECT_EQ(marks[0].n, 17);
    EXPECT_EQ(marks.back().year, c.last.year);
    EXPECT_EQ(marks.back().week, c.last.week);
    EXPECT_EQ(marks.back().n, c.last.n);
  }
  Workspace ws;
  AnalyseDataSet(ws, "long_follow_up");
  // Group 1 ends in week 1500: nobody is under observation at the later marks.
  EXPECT_EQ(ws.figures.groups[1].atRisk[28].n, 1);
  EXPECT_EQ(ws.figures.groups[1].atRisk[29].n, 0);
}

TEST(KmEstimates, FiveAndTenYearsOnlyWhereTheDataReach) {
  struct Case {
    const char* name;
    DataSet data;
    bool at5y, at10y;
  };
  const Case cases[] = {
      {"last event in week 259", {{{100}, {259}}}, false, false},
      {"last event in week 260", {{{100}, {260}}}, true, false},
      {"last event in week 520", {{{100}, {520}}}, true, true},
  };
  for (const Case& c : cases) {
    Workspace ws;
    FillCases(ws, c.data);
    BuildGroupTables(ws);
    BuildPooledTable(ws);
    ComputePublicationFigures(ws.cases, ws.survival, ws.geometry.xMax, ws.figures);
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ws.figures.groups[1].at5y.has_value(), c.at5y);
    EXPECT_EQ(ws.figures.groups[1].at10y.has_value(), c.at10y);
    if (c.at5y) {
      EXPECT_EQ(ws.figures.groups[1].at5y->survival, 0.5);
    }
  }
  Workspace ws;
  AnalyseDataSet(ws, "long_follow_up");
  // R at week 260 (a censored case there; the last death before it in week 200).
  const SurvivalEstimate at5y = *ws.figures.groups[1].at5y;
  EXPECT_TRUE(Near(at5y.survival, 0.60606060606060597, kKmTolerance));
  EXPECT_TRUE(Near(at5y.lower, 0.40211110635749042, kKmTolerance));
  EXPECT_TRUE(Near(at5y.upper, 0.91345265627156902, kKmTolerance));
}

TEST(KmEstimates, NoShownGroupLeavesThePooledGroupEmpty) {
  Workspace ws;
  FillCases(ws, kThreeGroups);
  for (int g = 1; g <= 3; ++g) ws.styles[g].shown = 0;
  BuildGroupTables(ws);
  BuildPooledTable(ws);
  ComputePublicationFigures(ws.cases, ws.survival, ws.geometry.xMax, ws.figures);
  EXPECT_TRUE(ws.figures.groups[0].km.empty());
  EXPECT_FALSE(ws.figures.groups[0].median.week.has_value());
  EXPECT_EQ(ws.figures.groups[1].km.size(), 16u);  // the groups themselves are estimated
}

TEST(KmEstimates, PeriodTextOfFractionalWeeks) {
  EXPECT_EQ(PeriodText(130.5), " 2y 6m");
  EXPECT_EQ(PeriodText(4.5), "0.9m");
  EXPECT_EQ(PeriodText(156), " 3y 0m");
}

}  // namespace
}  // namespace orv::test
