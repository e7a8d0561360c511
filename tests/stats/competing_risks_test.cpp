// Cumulative incidence, Gray's test and Fine-Gray ratios, checked against R survival's
// multi-state survfit and cmprsk's cuminc and crr (stats/reference/competing_risks.R and its
// output competing_risks.out).
#include <gtest/gtest.h>

#include <algorithm>
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

// Gray's test of the groups, by the general sums (left in `sums` when given) or, for two
// groups, also by the pair's.
GrayTest Gray(const std::vector<CauseCounts>& counts, bool pairKernel = false, GrayScratch* sums = nullptr) {
  std::vector<GrayColumns> columns(counts.size());
  std::vector<const GrayColumns*> pointers;
  for (std::size_t g = 0; g < counts.size(); ++g) PrepareGrayColumns(counts[g], columns[g]), pointers.push_back(&columns[g]);
  if (pairKernel) return ComputePairGrayTest(columns[0], columns[1]);
  GrayScratch scratch;
  return ComputeGrayTest(pointers, sums != nullptr ? *sums : scratch);
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
    // The interval from beta and se is the batch command's CliCompeting check against crr.
    for (const auto& [got, want] : {std::pair{h.beta, row.beta}, {h.se, row.se}, {h.hr, std::exp(row.beta)}, {h.p, row.crrP}}) {
      EXPECT_TRUE(Near(got, want, 1e-6)) << got << " R: " << want;
    }
  }
}

// Inputs small enough to follow by hand that reach every branch of the sums: ties of every
// kind in one week, weeks of competing deaths only, weeks without events, a group without
// deaths of interest, one without cases, a group whose last cases all die in one week while
// another goes on, a week that censors everyone left, cases followed beyond the range.
struct SmallInput { const char* name; int lastWeek; std::vector<std::vector<WeekRow>> groups; };
const SmallInput kSmallInputs[] = {
    {"ties, b gone by dying", 8, {{{0, 1, 0, 1}, {2, 2, 1, 0}, {3, 0, 2, 1}, {5, 1, 1, 1}, {8, 2, 0, 1}},
                                  {{1, 1, 1, 0}, {2, 1, 0, 0}, {3, 2, 0, 0}, {6, 0, 1, 1}, {7, 1, 1, 0}}}},
    {"a competing death in the week of a censoring, cut at week 4", 4,
     {{{0, 0, 1, 1}, {1, 1, 0, 0}, {2, 1, 1, 1}, {4, 1, 0, 0}, {6, 1, 1, 0}}, {{0, 1, 0, 0}, {1, 0, 2, 1}, {3, 2, 0, 1}, {5, 0, 0, 2}}}},
    {"everyone censored in week 3", 5, {{{0, 1, 0, 0}, {1, 1, 1, 0}, {3, 0, 0, 2}}, {{0, 1, 0, 0}, {2, 1, 0, 0}, {3, 0, 0, 1}}}},
    {"a group without deaths of interest, one without cases", 9,
     {{{0, 1, 0, 1}, {2, 2, 1, 0}, {3, 0, 2, 1}, {5, 1, 1, 1}, {8, 2, 0, 1}}, {},
      {{1, 1, 1, 0}, {2, 1, 0, 0}, {3, 2, 0, 0}, {6, 0, 1, 1}, {7, 1, 1, 0}}, {{1, 0, 1, 0}, {4, 0, 2, 1}, {9, 0, 0, 1}}}},
    {"five groups, cut at week 6", 6,
     {{{0, 1, 1, 0}, {2, 1, 0, 1}, {5, 2, 1, 0}, {9, 1, 0, 0}}, {{1, 2, 0, 1}, {3, 0, 1, 0}, {6, 1, 1, 1}},
      {{0, 0, 2, 0}, {2, 1, 0, 0}, {4, 1, 1, 2}, {7, 0, 0, 1}}, {{1, 1, 0, 0}, {3, 3, 0, 1}, {6, 0, 2, 0}},
      {{2, 0, 1, 1}, {5, 1, 0, 0}, {6, 1, 0, 2}}}},
};

// z, V over the first K - 1 groups with cases and z' V^-1 z, evaluated as the header of
// stats/gray_statistic.h writes them, term by term.
struct PlainGraySums { std::vector<double> score, variance; double statistic = 0; };
PlainGraySums PlainGray(std::vector<CauseCounts> groups) {
  std::erase_if(groups, [](const CauseCounts& g) { return g.atRisk.empty() || g.atRisk[0] == 0; });
  const std::size_t k = groups.size(), k1 = k - 1, weeks = groups[0].atRisk.size();
  // Each group's S and F before every week.
  std::vector<std::vector<double>> s(k, std::vector<double>(weeks + 1, 1)), f(k, std::vector<double>(weeks + 1, 0));
  for (std::size_t m = 0; m < k; ++m) {
    for (std::size_t w = 0; w < weeks; ++w) {
      const double n = groups[m].atRisk[w];
      s[m][w + 1] = n > 0 ? s[m][w] * (n - groups[m].interest[w] - groups[m].competing[w]) / n : s[m][w];
      f[m][w + 1] = n > 0 ? f[m][w] + s[m][w] * groups[m].interest[w] / n : f[m][w];
    }
  }
  const auto t = [&](std::size_t m, std::size_t w) { return groups[m].atRisk[w] > 0 ? groups[m].atRisk[w] / s[m][w] : 0.0; };
  std::vector<double> sumT(weeks, 0), d1(weeks, 0), pooled(weeks + 1, 0);  // pooled: F before the week
  for (std::size_t w = 0; w < weeks; ++w) {
    for (std::size_t m = 0; m < k; ++m) sumT[w] += t(m, w), d1[w] += groups[m].interest[w];
    pooled[w + 1] = sumT[w] > 0 ? pooled[w] + d1[w] / sumT[w] : pooled[w];
  }
  const auto a = [&](std::size_t w, std::size_t m, std::size_t i) { return (m == i ? t(m, w) : 0) - t(m, w) * t(i, w) / sumT[w]; };
  const auto c = [&](std::size_t w, std::size_t m, std::size_t i) {
    return sumT[w] > 0 ? a(w, m, i) * d1[w] / (sumT[w] * (1 - pooled[w])) : 0.0;
  };
  PlainGraySums out{std::vector<double>(k1, 0), std::vector<double>(k1 * k1, 0)};
  for (std::size_t w = 0; w < weeks; ++w) {
    if (!(sumT[w] > 0)) continue;
    double sumR = 0;
    for (std::size_t m = 0; m < k; ++m) sumR += t(m, w) * (1 - f[m][w]);
    for (std::size_t i = 0; i < k1; ++i) out.score[i] += groups[i].interest[w] - d1[w] * t(i, w) * (1 - f[i][w]) / sumR;
    for (std::size_t m = 0; m < k; ++m) {
      const double n = groups[m].atRisk[w], d2 = groups[m].competing[w], after = s[m][w + 1];
      std::vector<double> later(k1, 0);  // L_m
      for (std::size_t u = w + 1; u < weeks; ++u) {
        for (std::size_t i = 0; i < k1; ++i) later[i] += c(u, m, i);
      }
      for (std::size_t i = 0; i < k1; ++i) {
        for (std::size_t j = 0; j < k1; ++j) {
          if (d1[w] > 0 && n > 0) {
            const double theta = d1[w] > 1 ? 1 - (d1[w] - 1) / (sumT[w] * s[m][w] - 1) : 1;
            const double nu = after > 0 ? 1 - (1 - pooled[w + 1]) / after : 1;
            out.variance[i * k1 + j] += theta * d1[w] / (sumT[w] * t(m, w)) * (a(w, m, i) + nu * later[i]) * (a(w, m, j) + nu * later[j]);
          }
          if (d2 > 0 && after > 0) {
            const double rho = d2 > 1 ? 1 - (d2 - 1) / (n - 1) : 1, tau = (1 - pooled[w + 1]) / after;
            out.variance[i * k1 + j] += rho * d2 * s[m][w] * s[m][w] / (n * n) * tau * tau * later[i] * later[j];
          }
        }
      }
    }
  }
  // V^-1 z by Gauss-Jordan elimination, V positive definite.
  std::vector<double> v = out.variance, x = out.score;
  for (std::size_t col = 0; col < k1; ++col) {
    for (std::size_t r = 0; r < k1; ++r) {
      const double factor = r == col ? 0 : v[r * k1 + col] / v[col * k1 + col];
      for (std::size_t j = 0; j < k1; ++j) v[r * k1 + j] -= factor * v[col * k1 + j];
      x[r] -= factor * x[col];
    }
  }
  for (std::size_t i = 0; i < k1; ++i) out.statistic += out.score[i] * x[i] / v[i * k1 + i];
  return out;
}

// The sums behind the statistic (cmprsk's variance expanded so that only one part costs K^3 a
// week, its parts in the weeks to come summed ahead; with two groups, scalars) equal the plain
// evaluation of the header's formula on the small inputs, the pair's and the general alike.
TEST(GrayTest, SumsEqualThePlainFormula) {
  for (const SmallInput& input : kSmallInputs) {
    std::vector<Group> groups;
    std::vector<CauseCounts> counts;
    for (const auto& rows : input.groups) groups.push_back(MakeGroup(rows));
    for (const Group& g : groups) counts.push_back(g.Counts(static_cast<std::size_t>(input.lastWeek) + 1));
    const PlainGraySums plain = PlainGray(counts);
    GrayScratch scratch;
    const GrayTest test = Gray(counts, false, &scratch);
    SCOPED_TRACE(input.name);
    ASSERT_TRUE(test.tested);
    EXPECT_TRUE(Near(test.statistic, plain.statistic, 1e-12)) << test.statistic << " plain: " << plain.statistic;
    ASSERT_EQ(scratch.score.size(), plain.score.size());
    ASSERT_EQ(scratch.variance.size(), plain.variance.size());
    // Compared to the largest variance, and the scores to its root, the scale of their errors.
    const double scale = *std::max_element(plain.variance.begin(), plain.variance.end());
    for (std::size_t i = 0; i < plain.score.size(); ++i) EXPECT_NEAR(scratch.score[i], plain.score[i], 1e-12 * std::sqrt(scale)) << i;
    for (std::size_t i = 0; i < plain.variance.size(); ++i) EXPECT_NEAR(scratch.variance[i], plain.variance[i], 1e-12 * scale) << i;
    if (counts.size() != 2) continue;
    const GrayTest pair = Gray(counts, true);
    EXPECT_TRUE(Near(pair.statistic, plain.statistic, 1e-12)) << pair.statistic << " plain: " << plain.statistic;
  }
}

// U, I and the sum of the sandwich of a by b, evaluated as the header of stats/fine_gray.h
// writes them, case by case and week by week.
FineGraySums PlainFineGray(double beta, const CauseCounts& a, const CauseCounts& b) {
  const std::size_t weeks = a.atRisk.size();
  const double r = std::exp(beta);
  struct Case { double x; std::size_t leaves; int outcome; };  // 1 death of interest, 2 competing, 0 censored
  std::vector<Case> cases;
  for (const double x : {0.0, 1.0}) {
    const CauseCounts& g = x == 0 ? a : b;
    for (std::size_t w = 0; w < weeks; ++w) {
      const double censored = w + 1 == weeks ? g.atRisk[w] - g.interest[w] - g.competing[w] : g.censored[w];
      for (const auto& [outcome, count] : {std::pair{1, g.interest[w]}, {2, g.competing[w]}, {0, censored}}) {
        for (double i = 0; i < count; ++i) cases.push_back({x, w, outcome});
      }
    }
  }
  std::vector<double> n(weeks, 0), c(weeks, 0), d1(weeks, 0), d1b(weeks, 0), censoring(weeks + 1, 1);
  for (const Case& i : cases) {
    for (std::size_t w = 0; w <= i.leaves; ++w) n[w] += 1;
    if (i.outcome == 0) c[i.leaves] += 1;
    if (i.outcome == 1) d1[i.leaves] += 1, d1b[i.leaves] += i.x;
  }
  for (std::size_t w = 0; w < weeks; ++w) censoring[w + 1] = n[w] > 0 ? censoring[w] * (1 - c[w] / n[w]) : censoring[w];
  const auto weight = [&](const Case& i, std::size_t t) {
    return t <= i.leaves ? 1.0 : i.outcome == 2 ? censoring[t] / censoring[i.leaves] : 0.0;
  };
  std::vector<double> p(weeks, 0), lambda(weeks, 0);
  FineGraySums sums;
  for (std::size_t t = 0; t < weeks; ++t) {
    if (!(d1[t] > 0)) continue;
    double riskA = 0, riskB = 0;
    for (const Case& i : cases) (i.x == 0 ? riskA : riskB) += weight(i, t);
    p[t] = riskB * r / (riskA + riskB * r);
    lambda[t] = d1[t] / (riskA + riskB * r);
    sums.score += d1b[t] - d1[t] * p[t];
    sums.information += d1[t] * p[t] * (1 - p[t]);
  }
  std::vector<double> q(weeks, 0);
  for (std::size_t u = 0; u < weeks; ++u) {
    for (const Case& j : cases) {
      if (j.outcome != 2 || j.leaves >= u) continue;
      for (std::size_t t = u; t < weeks; ++t) q[u] += censoring[t] / censoring[j.leaves] * std::pow(r, j.x) * lambda[t] * (j.x - p[t]);
    }
  }
  for (const Case& i : cases) {
    double eta = i.outcome == 1 ? i.x - p[i.leaves] : 0, psi = 0;
    for (std::size_t t = 0; t < weeks; ++t) eta -= weight(i, t) * std::pow(r, i.x) * lambda[t] * (i.x - p[t]);
    for (std::size_t u = 0; u <= i.leaves; ++u) psi += q[u] / n[u] * ((i.outcome == 0 && u == i.leaves ? 1 : 0) - c[u] / n[u]);
    sums.sandwich += (eta + psi) * (eta + psi);
  }
  return sums;
}

// The sums behind the ratio (the risk sets weighted as the weeks go, the score in four lanes,
// the residuals of a week's cases gathered per group and outcome, q from sums over the weeks
// after) equal the plain evaluation of the header's formula at any beta, and the estimate is
// the plain score's root with the plain sandwich's error.
TEST(FineGray, SumsEqualThePlainFormula) {
  struct Pair { std::string name; Group a, b; std::size_t weeks; };
  std::vector<Pair> pairs = {{"mixed, many event weeks", DataSet("mixed")[0], DataSet("mixed")[1], 301}};
  for (const SmallInput& input : kSmallInputs) {
    pairs.push_back({input.name, MakeGroup(input.groups.front()), MakeGroup(input.groups.back()), static_cast<std::size_t>(input.lastWeek) + 1});
  }
  for (const auto& [name, a, b, weeks] : pairs) {
    FineGrayScratch scratch;
    for (const double beta : {-1.5, 0.0, 0.8}) {
      const FineGraySums fast = EvaluateFineGray(beta, a.Counts(weeks), b.Counts(weeks), scratch);
      const FineGraySums plain = PlainFineGray(beta, a.Counts(weeks), b.Counts(weeks));
      SCOPED_TRACE(name + " at beta " + std::to_string(beta));
      for (const auto& [got, want] : {std::pair{fast.score, plain.score}, {fast.information, plain.information}, {fast.sandwich, plain.sandwich}}) {
        EXPECT_TRUE(Near(got, want, 1e-12)) << got << " plain: " << want;
      }
    }
    const SubHazardRatio h = EstimateSubHazardRatio(a.Counts(weeks), b.Counts(weeks), scratch);
    if (!h.estimated) continue;
    const FineGraySums plain = PlainFineGray(h.beta, a.Counts(weeks), b.Counts(weeks));
    EXPECT_NEAR(plain.score, 0, 1e-12 * plain.information) << name;
    EXPECT_TRUE(Near(h.se, std::sqrt(plain.sandwich) / plain.information, 1e-12)) << name << " " << h.se;
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
    EXPECT_EQ(std::tuple(h.hr, h.se), std::tuple(1.0, 0.0)) << c.name;
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
