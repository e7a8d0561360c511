// The Cox model of several terms and the covariate columns it is built from: data files of
// cases with covariates, loaded as the program loads them, fitted and checked against R
// survival's coxph with Efron ties (stats/reference/cox_model.R beside its output .out);
// the designs the model refuses or fits only in part, and the covariate note and limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "data/loader.h"
#include "platform/recording.h"
#include "stats/adjusted_analysis.h"
#include "stats/cox_design.h"

namespace orv::test {
namespace {

// Rows "group,week,status,covariates..." (status 1 death), as in cox_model.R.
const std::string kMixed =
    "B,0,1,69,I A,19,1,57,II A,4,1,70,I B,12,0,,I A,22,1,51,I A,1,1,50,I B,3,1,49,III A,7,1,66,III "
    "B,0,1,73,III B,3,1,69,III B,4,1,51,II C,0,1,54,I C,3,1,51,II A,5,1,60,III A,0,1,70,III C,3,1,56,II "
    "C,22,0,42,I B,7,1,,III C,8,1,56,III C,26,1,46,II A,1,1,69,III A,3,1,57,II B,3,1,44,I C,11,1,73,II "
    "C,9,1,58,II A,1,1,70, A,2,1,59,III A,11,1,59,I C,8,0,37,III B,14,1,50,III B,3,1,56,III A,10,1,63,I "
    "B,1,1,56,III B,0,1,57,III C,10,1,50,II A,28,1,70,I B,18,1,56,I B,1,1,60,III A,6,0,72,I C,10,0,56,II "
    "C,2,1,67,I C,9,1,50,III C,12,1,63,I C,1,1,78,I B,8,1,56,II C,33,0,30,III C,0,1,85,II A,4,1,58,II "
    "B,12,1,45,I C,12,0,45,I B,24,1,63,II C,1,1,44,II B,2,1,40,III A,11,1,74,I C,6,1,71,II A,5,1,75,III "
    "A,12,1,65,I B,18,0,45,I A,25,0,60,I B,2,1,68,III";
const std::string kStrata =
    "B,6,1,4.3,s2 A,8,1,0.9,s3 A,1,1,0.5,s2 A,13,0,3.0,s2 A,1,1,3.1,s3 A,1,1,4.4,s3 B,7,1,2.2,s1 B,0,1,2.5,s3 "
    "B,4,0,2.0,s3 B,3,0,1.6,s1 A,7,0,2.8,s1 B,3,0,0.3,s1 A,8,1,1.0,s1 B,9,1,2.1,s3 B,2,1,1.7,s2 A,1,1,0.7,s3 "
    "B,6,0,4.0,s1 B,9,0,2.5,s3 B,3,0,0.6,s2 B,3,0,4.3,s3 A,4,0,0.9,s3 A,3,0,4.9,s1 B,0,1,4.2,s2 A,0,1,2.9,s1 "
    "B,10,0,3.1,s1 A,7,0,4.3,s1 A,5,0,4.1,s1 A,12,0,3.4,s2 A,2,1,2.1,s1 B,3,1,1.2,s3 B,4,0,1.5,s1 A,12,0,1.1,s3 "
    "A,4,0,1.4,s1 B,0,1,2.1,s1 B,4,0,1.8,s3 B,13,0,0.7,s2 A,8,0,2.9,s1 B,4,0,4.8,s1 B,1,1,0.3,s2 A,14,0,2.3,s2 "
    "A,8,1,4.0,s2 B,3,0,4.5,s2 B,9,0,2.9,s3 A,2,1,3.0,s1 B,7,1,4.4,s3 B,0,1,2.2,s3 A,6,0,1.6,s1 A,10,0,2.5,s3 "
    "B,4,1,4.5,s2 A,10,0,2.6,s2 B,6,1,4.5,s2 A,9,0,3.2,s1 A,3,1,2.9,s2 B,7,0,1.8,s1 A,2,1,0.6,s2 B,5,1,1.9,s3 "
    "B,2,1,1.6,s1 A,7,0,3.4,s2 A,3,0,3.2,s2 B,11,1,1.2,s1";

// adjusted_models.R's `compete`: status 2 a death of a cause counted as censored.
const std::string kCompete =
    "B,3,1,75,III C,0,1,47,III A,19,0,54,II A,1,2,56,I C,1,1,63,I A,4,1,70,III B,0,1,68,I B,3,2,67,III "
    "A,7,2,,II B,8,0,64,I C,0,1,55,III A,13,1,69,I A,5,0,61,II A,10,1,62,II B,8,0,64,III A,5,0,,II C,1,1,69,III "
    "C,0,1,60,III A,4,0,68,I C,0,1,59,III C,0,1,57, C,1,1,59,I B,11,1,60,III A,13,1,41,III B,2,1,61,I "
    "C,5,1,63,II B,19,0,53,I A,4,1,55,II B,5,1,55,II A,6,0,62,II A,7,1,56,I C,23,1,38,II A,7,1,60,II "
    "B,0,1,75,II C,5,0,66,II B,0,1,65,I B,13,2,39,II B,7,2,56,III B,11,0,48,II C,0,1,58,III B,1,2,61,I "
    "A,3,0,78,I A,14,0,21,III C,2,1,70,I C,26,0,40,I A,8,0,60,III C,29,0,53,I A,19,1,71,I B,17,0,53,III "
    "A,1,1,62,III C,11,1,59,I C,7,1,78,I A,9,1,43,II C,4,1,57,II A,5,0,66,I C,3,0,59,I B,4,1,71,III "
    "A,10,1,70,III A,0,1,78,III B,8,0,36,II A,8,0,66,II A,3,1,57,I C,13,1,52,III B,11,1,55,I A,0,2,61,I "
    "A,8,0,58,I A,29,0,,II C,3,1,89, B,10,1,62,II C,4,0,84,I B,7,1,81,II B,5,1,58,II B,9,1,79,II B,4,0,65,I "
    "B,2,1,62,I A,1,1,79,II C,6,1,67,I C,22,0,70,II B,4,1,65,II A,14,1,48, A,1,1,70,I A,15,0,62,II C,2,1,76,III "
    "C,15,1,77,I C,15,1,63,I B,11,0,43,II A,10,1,74,II C,3,1,55,III C,1,1,71,III A,1,2,56,I";


std::vector<std::string> Rows(const std::string& table) {
  std::istringstream in(table);
  std::vector<std::string> rows;
  for (std::string row; in >> row;) rows.push_back(row);
  return rows;
}

// Field k of a row, empty past its end.
std::string Field(const std::string& row, std::size_t k) {
  std::istringstream fields(row);
  std::string field;
  for (std::size_t i = 0; i <= k; ++i) {
    if (!std::getline(fields, field, ',')) return {};
  }
  return field;
}

// Row i with a further covariate field.
std::string WithColumn(const std::string& table, const std::function<std::string(std::size_t)>& field) {
  std::string out;
  const std::vector<std::string> rows = Rows(table);
  for (std::size_t i = 0; i < rows.size(); ++i) out += rows[i] + "," + field(i) + " ";
  return out;
}

// The data file of the rows: days = 7 * week, status 1 a death of cause "癌" (the first row's:
// cause 1), 2 one of "事故".
std::string DataFile(const std::string& header, const std::string& table) {
  std::string file = header.empty() ? "" : header + "\r\n";
  for (const std::string& row : Rows(table)) {
    std::vector<std::string> f;
    std::istringstream fields(row);
    for (std::string field; std::getline(fields, field, ',');) f.push_back(field);
    if (row.back() == ',') f.emplace_back();
    file += f[0] + "," + std::to_string(7 * std::stoi(f[1])) +
            (f[2] == "1" ? ",死亡,癌" : f[2] == "2" ? ",死亡,事故" : ",生存,");
    for (std::size_t k = 3; k < f.size(); ++k) file += "," + f[k];
    file += "\r\n";
  }
  return file;
}

// With `competing`, the deaths of "事故" count as censored.
CaseData Load(const std::string& file, bool competing = false) {
  RecordingRichText report;
  RecordingMessageBoxes boxes;
  CauseFlags censored{};
  censored[2] = competing ? 1 : 0;
  return LoadCases("case.csv", file, censored, report, boxes);
}

int GroupOf(const CaseData& cd, const std::string& name) {
  for (int g = 1; g <= cd.NumGroups; ++g) {
    if (cd.GroupNames[static_cast<std::size_t>(g)] == name) return g;
  }
  return -1;
}

// Groups in the order given, the first the reference; covariates with their reference levels.
CoxModel Fit(const CaseData& cd, const std::vector<std::string>& groups, const std::vector<CoxCovariateChoice>& covariates,
             int strata = -1, int lastWeek = kMaxWeek) {
  CoxDesignRequest request;
  request.referenceGroup = GroupOf(cd, groups[0]);
  for (const std::string& g : groups) request.groups.push_back(GroupOf(cd, g));
  request.groupNames.assign(cd.GroupNames.begin(), cd.GroupNames.end());
  request.covariates = covariates;
  request.strata = strata;
  request.lastWeek = lastWeek;
  return FitCoxModel(BuildCoxDesign(cd.covariates, request));
}

constexpr double kTolerance = 1e-6;
const std::string kHeader = "'covariates: age, stage";

// coxph's coefficients, standard errors, tests and concordance (cox_model.out).
TEST(CoxModel, EqualsCoxphOfR) {
  const struct {
    const char* name;
    std::string file;
    std::vector<std::string> groups;
    std::vector<CoxCovariateChoice> covariates;
    int strata, lastWeek;
    std::vector<double> beta, se;
    std::int64_t n, events, dropped;
    double lr, wald, score, concordance, lrP;
  } cases[] = {
      {"three groups, continuous and three levels, missing values dropped", DataFile(kHeader, kMixed),
       {"A", "B", "C"}, {{0, 0}, {1, 0}}, -1, kMaxWeek,
       {0.6615585204427284, 0.3290899517969582, 0.0557676620102397, 0.3328257587565808, 1.0940207270505364},
       {0.4045909529792753, 0.4406115558141709, 0.0157001752155077, 0.4126878411006712, 0.3905733574518329},
       57, 49, 3, 21.242249248228, 21.118717609754, 22.668021187588, 0.701956673655, 0.000728977571614},
      {"strata with a baseline each and heavy ties", DataFile("", kStrata), {"A", "B"}, {{0, 0}}, 1, kMaxWeek,
       {0.3135057730771353, -0.0905972937684047}, {0.396492061889122, 0.159753856600173},
       60, 28, 0, 0.916417975342, 0.930947917968, 0.936605350703, 0.590361445783, 0.632415295396},
      {"window of 20 weeks, reference group B and level III", DataFile(kHeader, kMixed), {"B", "A", "C"},
       {{1, 2}}, -1, 20, {-0.0451527576961375, -0.4192946710405882, -1.1178261931950939, -0.5096935114736535},
       {0.366037447529072, 0.370870107593813, 0.381299620782319, 0.370034285930069},
       59, 46, 1, 9.976284462222, 9.928398314681, 10.500386923213, 0.639841688654, 0.0408290675149},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CoxModel m = Fit(Load(c.file), c.groups, c.covariates, c.strata, c.lastWeek);
    ASSERT_EQ(m.refusal, "");
    ASSERT_EQ(m.terms.size(), c.beta.size());
    for (std::size_t k = 0; k < c.beta.size(); ++k) {
      EXPECT_TRUE(m.terms[k].estimated);
      EXPECT_NEAR(m.terms[k].beta, c.beta[k], kTolerance) << k;
      EXPECT_NEAR(m.terms[k].se, c.se[k], kTolerance) << k;
      EXPECT_NEAR(m.terms[k].upper, std::exp(c.beta[k] + 1.959963984540054 * c.se[k]), 1e-5) << k;
    }
    EXPECT_EQ(m.n, c.n);
    EXPECT_EQ(m.events, c.events);
    EXPECT_EQ(m.dropped, c.dropped);
    EXPECT_NEAR(m.likelihoodRatio.statistic, c.lr, kTolerance);
    EXPECT_NEAR(m.wald.statistic, c.wald, kTolerance);
    EXPECT_NEAR(m.score.statistic, c.score, kTolerance);
    EXPECT_NEAR(m.concordance, c.concordance, kTolerance);
    EXPECT_EQ(m.likelihoodRatio.df, static_cast<int>(c.beta.size()));
    EXPECT_NEAR(m.likelihoodRatio.p, c.lrP, 1e-9);
  }
}

// Designs fitted in part or refused: which terms have no estimate and what the note says.
TEST(CoxModel, BadDesignsDropTermsOrRefuse) {
  const std::vector<std::string> rows = Rows(kMixed);
  const struct {
    const char* name;
    std::string file;
    std::vector<CoxCovariateChoice> covariates;
    std::vector<std::string> notEstimated;
    std::string note, refusal;
  } cases[] = {
      {"a column twice another", DataFile(kHeader + ", twice", WithColumn(kMixed, [&rows](std::size_t i) {
         const std::string age = Field(rows[i], 3);
         return age.empty() ? age : std::to_string(2 * std::stoi(age));
       })), {{0, 0}, {1, 0}, {2, 0}}, {"twice"}, "twice: 他の項の組み合わせ (一定値を含む) のため推定しません\n", ""},
      {"a column of one value", DataFile(kHeader + ", one", WithColumn(kMixed, [](std::size_t) { return "1"; })),
       {{0, 0}, {2, 0}}, {"one"}, "one: 他の項の組み合わせ (一定値を含む) のため推定しません\n", ""},
      {"a level without deaths", DataFile(kHeader + ", arm", WithColumn(kMixed, [](std::size_t i) {
         return i == 3 || i == 16 || i == 28 ? "x" : "y";
       })), {{0, 0}, {2, 0}}, {"arm: x"}, "arm: x: 尤度が有限の最大値を持たない (どの死亡も危険集合の端の値) ため推定しません\n", ""},
      {"all values missing", DataFile(kHeader + ", none", WithColumn(kMixed, [](std::size_t) { return ""; })),
       {{2, 0}}, {"B", "C", "none"}, "", "項の数 3 が死亡数 0 を超えるため、モデルを推定しません"},
      {"more terms than deaths", DataFile("", "A,1,1,5 B,2,0,6 C,3,1,2 A,4,0,9"), {{0, 0}}, {"B", "C", "列5"}, "",
       "項の数 3 が死亡数 2 を超えるため、モデルを推定しません"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CoxModel m = Fit(Load(c.file), {"A", "B", "C"}, c.covariates);
    EXPECT_EQ(m.refusal, c.refusal);
    EXPECT_EQ(m.note, c.note);
    std::vector<std::string> without;
    for (const CoxTerm& t : m.terms) {
      if (!t.estimated) without.push_back(t.name);
    }
    EXPECT_EQ(without, c.notEstimated);
  }
  // The collinear column changes nothing else: the model is that of age and stage.
  const CoxModel twice = Fit(Load(cases[0].file), {"A", "B", "C"}, {{0, 0}, {1, 0}, {2, 0}});
  EXPECT_NEAR(twice.terms[2].beta, 0.0557676620102397, kTolerance);
  EXPECT_NEAR(twice.likelihoodRatio.statistic, 21.242249248228, kTolerance);
}

// Rows of groups A, B, C (columns B and C) in weeks 0..5, dead or censored, each standing for
// 1..3 cases (a combination without cases left out), with the extra columns of `more`.
CoxDesign CountedDesign(bool strata, const std::vector<std::string>& extra,
                        const std::function<std::vector<double>(int g, int week, int event)>& more) {
  CoxDesign d;
  d.columns = {"B", "C"};
  d.columns.insert(d.columns.end(), extra.begin(), extra.end());
  d.factorOf.assign(d.columns.size(), 0);
  for (int g = 0; g < 3; ++g) {
    for (int week = 0; week < 6; ++week) {
      for (int event = 0; event < 2; ++event) {
        const int count = (g * 7 + week * 3 + event * 5) % 4;
        if (count == 0) continue;
        d.week.push_back(week);
        d.event.push_back(static_cast<std::uint8_t>(event));
        d.competing.push_back(0);
        if (strata) d.stratum.push_back((g + week) % 2);
        d.count.push_back(count);
        d.x.push_back(g == 1 ? 1 : 0);
        d.x.push_back(g == 2 ? 1 : 0);
        for (const double v : more(g, week, event)) d.x.push_back(v);
      }
    }
  }
  return d;
}

// A design of rows with counts fits as the same cases one row each: the counts weigh every sum
// (a count read as 1, or d taken as the rows of a week, fails here).
TEST(CoxModel, CountedRowsFitAsTheirCases) {
  const auto none = [](int, int, int) { return std::vector<double>{}; };
  const struct {
    const char* name;
    CoxDesign design;
    std::string note;
  } cases[] = {
      {"groups only", CountedDesign(false, {}, none), ""},
      {"strata", CountedDesign(true, {"dose"}, [](int g, int week, int event) {
         return std::vector<double>{0.25 * ((g * 5 + week * 7 + event * 3) % 5)};
       }),
       ""},
      {"a level without deaths",
       CountedDesign(false, {"arm"}, [](int g, int week, int event) {
         return std::vector<double>{event == 0 && g == 1 && week >= 3 ? 1.0 : 0.0};
       }),
       "arm: 尤度が有限の最大値を持たない (どの死亡も危険集合の端の値) ため推定しません\n"},
      {"a collinear column",
       CountedDesign(true, {"BC"}, [](int g, int, int) { return std::vector<double>{g > 0 ? 1.0 : 0.0}; }),
       "BC: 他の項の組み合わせ (一定値を含む) のため推定しません\n"},
  };
  const auto near = [](double got, double want) { EXPECT_NEAR(got, want, 1e-12 * std::max(1.0, std::abs(want))); };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CoxDesign expanded = ExpandedRows(c.design);
    const CoxModel m = FitCoxModel(c.design), e = FitCoxModel(expanded);
    ASSERT_TRUE(expanded.count.empty());
    ASSERT_LT(c.design.Rows(), expanded.Rows());
    EXPECT_EQ(m.refusal, "");
    EXPECT_EQ(m.refusal, e.refusal);
    EXPECT_EQ(m.note, c.note);
    EXPECT_EQ(e.note, c.note);
    EXPECT_EQ(m.n, static_cast<std::int64_t>(expanded.Rows()));
    EXPECT_EQ(m.n, e.n);
    EXPECT_EQ(m.events, e.events);
    ASSERT_EQ(m.terms.size(), e.terms.size());
    for (std::size_t k = 0; k < m.terms.size(); ++k) {
      EXPECT_EQ(m.terms[k].estimated, e.terms[k].estimated) << k;
      near(m.terms[k].beta, e.terms[k].beta);
      near(m.terms[k].se, e.terms[k].se);
    }
    near(m.logLikNull, e.logLikNull);
    near(m.logLik, e.logLik);
    near(m.likelihoodRatio.statistic, e.likelihoodRatio.statistic);
    near(m.wald.statistic, e.wald.statistic);
    near(m.score.statistic, e.score.statistic);
    EXPECT_EQ(m.concordant, e.concordant);
    EXPECT_EQ(m.discordant, e.discordant);
    EXPECT_EQ(m.tiedRisk, e.tiedRisk);
    near(m.concordance, e.concordance);
  }
}

// The analyses of every shown group, reference A, over weeks 0..lastWeek.
AdjustedAnalysis Analyse(const CaseData& cd, const ModelRequest& request, int lastWeek = kMaxWeek) {
  GroupSet shown;
  for (int g = 1; g <= cd.NumGroups; ++g) shown.Set(g, true);
  return FitAdjustedAnalysis(cd, shown, GroupOf(cd, "A"), lastWeek, request);
}

// The model of the groups alone, every run's, finds its rows in a table of group, week and
// outcome: the fit of the cases one by one, whole and over a window that censors the later ones,
// to the precision at which the ascent stops (the sums of merged rows round otherwise).
TEST(AdjustedAnalysis, GroupModelEqualsTheFitOfItsCases) {
  const CaseData mixed = Load(DataFile(kHeader, kMixed));
  for (const int lastWeek : {kMaxWeek, 9}) {
    SCOPED_TRACE(lastWeek);
    const CoxModel merged = Analyse(mixed, {}, lastWeek).model;
    const CoxModel cases = Fit(mixed, {"A", "B", "C"}, {}, -1, lastWeek);
    ASSERT_EQ(merged.terms.size(), cases.terms.size());
    for (std::size_t k = 0; k < cases.terms.size(); ++k) {
      EXPECT_NEAR(merged.terms[k].beta, cases.terms[k].beta, 1e-8) << k;
      EXPECT_NEAR(merged.terms[k].se, cases.terms[k].se, 1e-8) << k;
    }
    EXPECT_EQ(std::tuple(merged.n, merged.events, merged.concordant, merged.discordant),
              std::tuple(cases.n, cases.events, cases.concordant, cases.discordant));
    EXPECT_NEAR(merged.logLik, cases.logLik, 1e-10);
  }
}

// adjusted_models.out: anova(reduced, full) and the Wald test from vcov per factor; survdiff
// with strata; coxph within each level and the interaction's anova.
TEST(AdjustedAnalysis, FactorStrataAndSubgroupTestsEqualR) {
  const CaseData mixed = Load(DataFile(kHeader, kMixed));
  const struct {
    const char* name;
    ModelRequest request;
    int lastWeek;
    std::vector<std::vector<double>> factors;  // lr, its df, wald, its df
    std::vector<double> stratified;            // chi-square, df, dropped
  } cases[] = {
      {"group + age + stage", {.covariates = {{0, 0}, {1, 0}}}, kMaxWeek,
       {{2.751505254732, 2, 2.769263969755, 2}, {12.673750803413, 1, 12.616993427497, 1},
        {8.139925691168, 2, 8.386205509701, 2}}, {}},
      {"group + age, strata stage", {.covariates = {{0, 0}}, .strata = 1}, kMaxWeek,
       {{2.296380158496, 2, 2.364681958064, 2}, {9.471610646523, 1, 9.304696416384, 1}},
       {2.355628142350, 2, 1}},
      {"window of 9 weeks, strata stage", {.strata = 1}, 9, {{}}, {1.736152992945, 2, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const AdjustedAnalysis a = Analyse(mixed, c.request, c.lastWeek);
    ASSERT_EQ(a.model.refusal, "");
    ASSERT_EQ(a.factorTests.size(), c.factors.size());
    for (std::size_t f = 0; f < c.factors.size() && !c.factors[f].empty(); ++f) {
      SCOPED_TRACE(a.factorTests[f].name);
      EXPECT_NEAR(a.factorTests[f].likelihoodRatio.statistic, c.factors[f][0], kTolerance);
      EXPECT_EQ(a.factorTests[f].likelihoodRatio.df, c.factors[f][1]);
      EXPECT_NEAR(a.factorTests[f].wald.statistic, c.factors[f][2], kTolerance);
      EXPECT_EQ(a.factorTests[f].wald.df, c.factors[f][3]);
    }
    ASSERT_EQ(a.stratifiedLogRank.has_value(), !c.stratified.empty());
    if (c.stratified.empty()) continue;
    EXPECT_EQ(a.stratifiedLogRank->refusal, "");
    EXPECT_NEAR(a.stratifiedLogRank->chiSquare, c.stratified[0], 1e-9);
    EXPECT_EQ(a.stratifiedLogRank->df, c.stratified[1]);
    EXPECT_EQ(a.stratifiedLogRank->dropped, c.stratified[2]);
  }
  EXPECT_EQ(Analyse(mixed, {.covariates = {{0, 0}, {1, 0}}}).factorTests[2].name, "stage");

  const struct {
    std::string level;
    std::int64_t n, events;
    std::vector<double> beta, se;
  } levels[] = {{"I", 22, 16, {-0.021120982256, 0.164621140151}, {0.639581353681, 0.630957187665}},
                {"II", 16, 15, {-0.358337526206, -0.215130726784}, {0.835683866482, 0.691308686384}},
                {"III", 21, 19, {-0.075090953257, -1.965868241825}, {0.531671760527, 0.869711773287}}};
  const AdjustedAnalysis a = Analyse(mixed, {.covariates = {{1, 2}}, .subgroup = 1});
  ASSERT_TRUE(a.subgroups.has_value());
  ASSERT_EQ(a.subgroups->levels.size(), 3u);
  for (std::size_t l = 0; l < 3; ++l) {
    SCOPED_TRACE(levels[l].level);
    const SubgroupLevel& got = a.subgroups->levels[l];
    EXPECT_EQ(got.level, levels[l].level);
    EXPECT_EQ(got.n, levels[l].n);
    EXPECT_EQ(got.events, levels[l].events);
    ASSERT_EQ(got.model.terms.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
      EXPECT_NEAR(got.model.terms[k].beta, levels[l].beta[k], kTolerance);
      EXPECT_NEAR(got.model.terms[k].se, levels[l].se[k], kTolerance);
    }
  }
  EXPECT_NEAR(a.subgroups->interaction.statistic, 9.354747234793, kTolerance);
  EXPECT_EQ(a.subgroups->interaction.df, 4);
  EXPECT_NEAR(a.subgroups->interaction.p, 0.0528189694502, 1e-9);
}

// adjusted_models.out: crr with the covariate matrix, robust standard errors.
TEST(AdjustedAnalysis, FineGrayEqualsCrr) {
  const CaseData compete = Load(DataFile(kHeader, kCompete), true);
  const struct {
    const char* name;
    int lastWeek;
    std::vector<double> beta, se;
  } cases[] = {
      {"group + age + stage", kMaxWeek,
       {-0.070109690415, 0.544408589075, 0.042746828017, -0.597100051310, -0.911377518714},
       {0.337246307327, 0.300244087736, 0.010571199990, 0.317524887589, 0.343034172175}},
      {"window of 10 weeks", 10, {0.021766358893, 0.608289254502, 0.045100560784, -0.452918347752, -1.008178203511},
       {0.350870432318, 0.356606944184, 0.011794862691, 0.310033870540, 0.414916812736}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const AdjustedAnalysis a = Analyse(compete, {.covariates = {{0, 0}, {1, 0}}}, c.lastWeek);
    ASSERT_TRUE(a.fineGray.has_value());
    const AdjustedFineGray& fg = *a.fineGray;
    ASSERT_EQ(fg.refusal, "");
    EXPECT_EQ(fg.n, 84);
    ASSERT_EQ(fg.terms.size(), c.beta.size());
    for (std::size_t k = 0; k < c.beta.size(); ++k) {
      EXPECT_NEAR(fg.terms[k].beta, c.beta[k], kTolerance) << k;
      EXPECT_NEAR(fg.terms[k].se, c.se[k], kTolerance) << k;
    }
  }
}

// Parts that cannot be estimated are refused or noted one by one; the run goes on.
TEST(AdjustedAnalysis, BadDesignsRefuseOnlyTheirPart) {
  // "x" only on cases censored or dead of the competing cause; "one" a single value.
  const std::vector<std::string> rows = Rows(kCompete);
  const std::string file = DataFile(kHeader + ", arm, one", WithColumn(kCompete, [&rows](std::size_t i) {
    return std::string(Field(rows[i], 2) != "1" && i % 3 == 0 ? "x" : "y") + ",1";
  }));
  const CaseData cd = Load(file, true);
  const AdjustedAnalysis a = Analyse(cd, {.covariates = {{0, 0}, {2, 0}, {3, 0}}, .subgroup = 2});
  EXPECT_EQ(a.fineGray->refusal, "");
  EXPECT_EQ(a.fineGray->note,
            "one: 他の項の組み合わせ (一定値を含む) のため推定しません\n"
            "arm: x: 推定方程式が有限の解を持たない (どの死亡も危険集合の端の値) ため推定しません\n");
  EXPECT_TRUE(a.fineGray->terms[2].estimated);
  EXPECT_FALSE(a.fineGray->terms[3].estimated);
  // A factor without an estimated term is tested on no df; the others as usual.
  ASSERT_EQ(a.factorTests.size(), 4u);
  EXPECT_EQ(a.factorTests[2].wald.df, 0);
  EXPECT_EQ(a.factorTests[3].likelihoodRatio.df, 0);
  EXPECT_EQ(a.factorTests[1].likelihoodRatio.df, 1);
  // Level "x" has no deaths: its model is refused, "y"'s is fitted; the interaction terms
  // with "x" have no estimate, so that the test has no df.
  ASSERT_EQ(a.subgroups->levels.size(), 2u);
  EXPECT_EQ(a.subgroups->levels[0].level, "y");
  EXPECT_EQ(a.subgroups->levels[0].model.refusal, "");
  EXPECT_EQ(a.subgroups->levels[1].events, 0);
  EXPECT_EQ(a.subgroups->levels[1].model.refusal, "項の数 2 が死亡数 0 を超えるため、モデルを推定しません");
  EXPECT_EQ(a.subgroups->interaction.df, 0);
  EXPECT_EQ(a.subgroups->interactionRefusal, "");

  // One group shown and nothing to adjust for: models without a column, fitted as such.
  GroupSet onlyA;
  onlyA.Set(GroupOf(cd, "A"), true);
  const AdjustedAnalysis alone = FitAdjustedAnalysis(cd, onlyA, 0, kMaxWeek, {.subgroup = 2});
  EXPECT_EQ(alone.model.refusal, "");
  EXPECT_EQ(alone.model.terms.size(), 0u);
  EXPECT_EQ(alone.fineGray->terms.size(), 0u);
  EXPECT_EQ(alone.subgroups->levels[0].model.terms.size(), 0u);

  const CaseData tiny = Load(DataFile("", "A,1,1,5 B,2,2,6 C,3,0,2 A,4,2,9 B,5,1,1 C,6,0,1"), true);
  const AdjustedAnalysis few = Analyse(tiny, {.covariates = {{0, 0}}});
  EXPECT_EQ(few.fineGray->refusal, "項の数 3 が死亡数 2 を超えるため、モデルを推定しません");
  EXPECT_EQ(Analyse(tiny, {.subgroup = 0}).subgroups->refusal, "サブグループの変数はカテゴリの共変量です");
}

// The note of the covariate columns, their limits, and the case tables they leave alone.
TEST(Covariates, NoteTypesLevelsAndLimits) {
  std::string thirty = "A,7,死亡,癌", thirtyNote = "共変量 30 列\n";
  for (int k = 0; k < 30; ++k) {
    thirty += ",1";
    thirtyNote += "列" + std::to_string(k + 5) + ": 連続, 欠測 0\n";
  }
  std::string manyLevels = "'共変量: 年齢, 施設\r\n";
  for (int k = 0; k < 51; ++k) manyLevels += "A,7,生存,," + std::to_string(k) + ",c" + std::to_string(k) + "\r\n";
  const struct {
    const char* name;
    std::string file;
    std::string note, refusal;
  } cases[] = {
      {"English header, missing values",
       DataFile(kHeader, "A,1,1,50,I B,2,0,,II A,3,1,61,"),
       "共変量 2 列\nage: 連続, 欠測 1\nstage: カテゴリ 2 水準 (I, II), 欠測 1\n", ""},
      {"Japanese header, a text among numbers, a row with an extra column",
       DataFile("'共変量: 年齢", "A,1,1,50 B,2,0,不明 A,3,1,61,x"),
       "共変量 2 列\n年齢: カテゴリ 3 水準 (50, 不明, 61), 数値でない値「不明」があるためカテゴリ, 欠測 0\n"
       "列6: カテゴリ 1 水準 (x), 欠測 2\n", ""},
      {"a header after the first row names nothing", "A,7,死亡,癌,1\r\n'covariates: age\r\n",
       "共変量 1 列\n列5: 連続, 欠測 0\n", ""},
      {"30 columns, empty fields past them making none", thirty + ",,\r\n", thirtyNote, ""},
      {"a value in a 31st column", thirty + ",,\r\n" + thirty + ",,1\r\n", "共変量 0 列\n共変量の列が 30 を超えるため、共変量は使いません\n",
       "共変量の列が 30 を超えるため、共変量は使いません"},
      {"more than 50 levels", manyLevels, "共変量 1 列\n年齢: 連続, 欠測 0\n施設: 水準が 50 を超えるため使いません\n",
       "共変量「施設」の水準が 50 を超えるため、この列は使いません"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CaseData cd = Load(c.file);
    EXPECT_EQ(cd.covariates.note, c.note);
    EXPECT_EQ(cd.covariates.refusal, c.refusal);
    EXPECT_EQ(static_cast<Count>(cd.covariates.Cases()), cd.counters.total - cd.counters.excluded);
  }
  // With or without covariate columns, the same tables.
  const CaseData with = Load(DataFile(kHeader, kMixed));
  std::string plain;
  for (const std::string& row : Rows(kMixed)) plain += Field(row, 0) + "," + Field(row, 1) + "," + Field(row, 2) + " ";
  const CaseData without = Load(DataFile("", plain));
  EXPECT_EQ(with.WeekCounts, without.WeekCounts);
  EXPECT_EQ(with.GroupTotals, without.GroupTotals);
  EXPECT_EQ(with.counters.total, without.counters.total);
  EXPECT_EQ(with.covariates.week, without.covariates.week);
  EXPECT_EQ(without.covariates.columns.size(), 0u);
}

}  // namespace
}  // namespace orv::test
