// Case tables built from short lists of weeks, the data sets shared by the survival and test
// checks (the same as in stats/reference/pairwise_logrank.R and survival/reference/km_cox.R,
// whose output holds the expected figures) and their weekly counts.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "session/analysis.h"
#include "stats/group_tests.h"
#include "stats/publication_figures.h"

namespace orv::test {

// One group: the weeks of its deaths, of its censored cases and of its deaths of a second
// cause counted as censored.
struct Group {
  std::vector<int> deaths, censored = {}, competing = {};
};
using DataSet = std::vector<Group>;  // groups 1, 2, ... in order

// The case tables of the groups as a load counts them, built without the loader: groups
// "A", "B", ... in order, a case in each week listed, deaths of cancer and the competing ones
// of heart disease, counted as censored. Nothing of an earlier load stays; every group is
// shown and the X range set.
inline void FillCases(Workspace& ws, const DataSet& groups, int xMax = 2080) {
  CaseData& c = ws.cases = CaseData{};
  ws.run = AnalysisRun{};
  ws.shown = GroupSet{};
  c.GroupNames[0] = "all Cases";
  c.NumGroups = static_cast<int>(groups.size());
  for (std::size_t g = 1; g <= groups.size(); ++g) {
    c.GroupNames[g] = std::string(1, static_cast<char>('A' + g - 1));
    for (const int code : {kCodeCensored, kCodeDeath}) {
      for (int w : code == kCodeDeath ? groups[g - 1].deaths : groups[g - 1].censored) {
        ++c.WeekCounts[static_cast<std::size_t>(w)][static_cast<std::size_t>(code)][g];
        ++c.GroupTotals[static_cast<std::size_t>(code)][g];  // totals rows 1 and 2 count codes 1 and 2
        ++c.DeathsByCause[g][static_cast<std::size_t>(code - 1)], ++c.DeathsByCause[0][static_cast<std::size_t>(code - 1)];
        c.dataMaxWeeks = std::max(c.dataMaxWeeks, w);
      }
    }
    for (int w : groups[g - 1].competing) {
      ++c.WeekCounts[static_cast<std::size_t>(w)][kCodeCensored][g], ++c.CompetingDeaths[static_cast<std::size_t>(w)][g];
      ++c.GroupTotals[kTotalCensored][g], ++c.DeathsByCause[g][2], ++c.DeathsByCause[0][2];
      c.dataMaxWeeks = std::max(c.dataMaxWeeks, w);
    }
    c.GroupTotals[kTotalRows][g] = c.GroupTotals[kTotalCensoredAndDeaths][g] = c.GroupTotals[1][g] + c.GroupTotals[2][g];
    ws.shown.Set(static_cast<int>(g), true);
  }
  c.NumCauses = c.DeathsByCause[0][2] > 0 ? 2 : c.DeathsByCause[0][1] > 0 ? 1 : 0;
  c.CauseNames[1] = c.NumCauses > 0 ? "癌" : "";
  c.CauseNames[2] = c.NumCauses > 1 ? "心疾患" : "";
  c.CauseCensored[2] = c.NumCauses > 1 ? 1 : 0;
  ws.geometry.xMax = xMax;
}

inline const DataSet kThreeGroups = {{{1, 2, 2, 3, 5, 8, 8, 12}, {4, 10, 15}},
                                     {{3, 6, 9, 9, 14, 20}, {2, 8, 12, 18, 25, 25}},
                                     {{10, 22, 30}, {5, 12, 16, 28, 35, 40, 40, 41}}};
inline const DataSet kHeavyTies = {{{0, 0, 0, 1, 1, 4, 4, 4, 4}, {1, 1}}, {{0, 1, 1, 1, 4}, {4, 4, 4, 6, 6}}};
inline const DataSet kLongFollowUp = {{{30, 45, 60, 60, 120, 200, 310, 400, 520, 700}, {80, 150, 260, 600, 900, 1500}},
                                      {{10, 12, 25, 40, 40, 41, 90, 95, 130, 260, 261}, {5, 50, 300, 1000, 2080}}};

inline constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

inline DataSet TwentyGroups() {
  DataSet groups;
  for (int g = 1; g <= 20; ++g) {
    Group group;
    for (int k = 1; k <= 3 + g % 5; ++k) group.deaths.push_back((g * 37 + k * 53) % 400);
    for (int k = 1; k <= 2 + g % 3; ++k) group.censored.push_back((g * 11 + k * 71) % 450);
    groups.push_back(group);
  }
  return groups;
}

// The named data sets of the R scripts (survival/reference/km_cox.R, stats/reference/reviewer_figures.R).
inline const DataSet& Set(const std::string& name) {
  static const std::map<std::string, DataSet> sets = {
      {"half_stretches", {{{2, 2, 9}, {5}}, {{1, 3}, {3, 8}}, {{4}, {6}}}},
      {"no_death", {{{3, 5, 5, 9, 12}, {7, 15}}, {{}, {4, 8, 8, 20}}}},
      {"heavy_ties", kHeavyTies},
      {"deaths_first", {{{1, 2, 3}, {5, 6}}, {{1, 1, 2}, {4}}}},
      {"one_case", {{{7}}, {{2, 5, 7, 9, 11}, {6, 14}}}},
      {"separated", {{{1, 2}}, {{5, 6}, {10}}}},
      {"long_follow_up",
       {{{30, 45, 60, 60, 120, 200, 310, 400, 520, 700}, {80, 150, 260, 600, 900, 1500}},
        {{10, 12, 25, 40, 40, 41, 90, 95, 130, 260, 261, 2080}, {5, 50, 300, 1000, 2080}}}},
      {"twenty", TwentyGroups()},
      {"three_groups", kThreeGroups},
      {"many_censored", {{{5, 40}, {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                    16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30}}}},
      {"no_deaths", {{{}, {3, 5, 9}}, {{}, {4, 4, 12}}}},
      {"one_week", {{{4, 4}, {2, 6}}, {{4}, {1, 7, 9}}}},
      {"week_zero", {{{0, 0}}, {{0}}}},
      {"censored_cause", {{{3, 8, 12, 20}, {6, 18, 25, 30}, {5, 10, 15}}, {{4, 9}, {11, 16, 28}, {2, 7, 14, 22}}}},
  };
  return sets.at(name);
}

// A workspace after an analysis run on the groups with `hidden` left out, over weeks 0 to
// xMax as given (the window not fitted to the data), with the groups' texts at that range.
inline void Analyse(Workspace& ws, const DataSet& groups, int xMax = 2080, const std::vector<int>& hidden = {}) {
  FillCases(ws, groups, xMax);
  for (int g : hidden) ws.shown.Set(g, false);
  orv::Analyse(ws.cases, {ws.shown, {xMax, xMax}, 0}, ws.run);
  ws.texts = MakeSummaryTexts(ws.cases, ws.run, ws.shown, xMax);
}

// Weeks 0 to the last case of the chosen groups (1, 2, ...; 0 all of them), at least `weeks`
// long, as the survival tables hold them: the deaths and censored cases of each week (the
// competing deaths among them) and the cases still under observation at its start.
struct Weeks {
  std::vector<double> deaths, censored, atRisk;
  WeeklyCounts Counts() const { return {deaths, atRisk}; }
};

inline Weeks CountWeeks(const DataSet& set, int group = 0, std::size_t weeks = 0) {
  Weeks out;
  for (auto* c : {&out.deaths, &out.censored, &out.atRisk}) c->resize(weeks);
  auto add = [&](std::vector<double>& column, int week) {
    const auto w = static_cast<std::size_t>(week);
    for (auto* c : {&out.deaths, &out.censored, &out.atRisk}) c->resize(std::max(c->size(), w + 1));
    column[w] += 1;
    for (std::size_t v = 0; v <= w; ++v) out.atRisk[v] += 1;
  };
  for (std::size_t g = 0; g < set.size(); ++g) {
    if (group != 0 && static_cast<std::size_t>(group) != g + 1) continue;
    for (int w : set[g].deaths) add(out.deaths, w);
    for (int w : set[g].censored) add(out.censored, w);
    for (int w : set[g].competing) add(out.censored, w);
  }
  return out;
}

// Equal within `relative` of the expected value, or both without a value.
inline bool Near(double actual, double expected, double relative) {
  if (std::isnan(expected)) return std::isnan(actual);
  return std::abs(actual - expected) <= relative * std::abs(expected) + 1e-300;
}

}  // namespace orv::test
