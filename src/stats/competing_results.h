// The competing-risks figures of an analysis run: whenever deaths of some causes are counted
// as censored, those deaths compete with the deaths of the other causes (the events of
// interest). Per group the cumulative incidence week by week, Gray's test over the shown
// groups and per pair, and the Fine-Gray ratio per pair; kept current by every analysis run.
#pragma once

#include <array>
#include <vector>

#include "data/case_data.h"
#include "data/group_set.h"
#include "stats/cumulative_incidence.h"
#include "stats/fine_gray.h"
#include "stats/gray_statistic.h"
#include "survival/survival_tables.h"

namespace orv {

struct GroupIncidence {
  // Weeks 0 to the group's last event week, as its survival estimates.
  std::vector<double> competing;
  IncidenceEstimates estimates;
};

// Room of one run's columns and tests, kept from run to run so that a run over tables of the
// same size allocates nothing and touches no fresh page.
struct CompetingScratch {
  std::vector<double> columns;  // per group: its competing deaths, then its other censored cases, every week
  std::vector<GrayColumns> gray;
  GrayScratch grayTest;
  FineGrayScratch fineGray;
};

struct CompetingRisks {
  bool active = false;  // some cause 1..20 counted as censored; nothing below is set without one
  // Groups 0 (pooled shown groups) to NumGroups; later slots stay empty.
  std::array<GroupIncidence, kGroupSlots> groups;
  GrayTest overall;  // the shown groups, weeks 0 to the X range's end
  // [a][b] with 1 <= a < b <= NumGroups, every pair shown or not (as the hazard ratios), the
  // same weeks: Gray's test of the two groups, and the ratio of b relative to a.
  std::array<std::array<GrayTest, kGroupSlots>, kGroupSlots> pairTests;
  std::array<std::array<SubHazardRatio, kGroupSlots>, kGroupSlots> ratios;
  CompetingScratch scratch;  // no result: the room the next run reuses
};

// True when the deaths of some cause count as censored (cause 0 "生存" always does).
bool HasCompetingCauses(const CaseData& cases);

// From the case tables and the survival tables as the last analysis run left them: events of
// interest the deaths of the week, competing events the deaths of the censored causes, at
// risk the tables' numbers. Tests and ratios over weeks 0..xMax: a case followed beyond it is
// censored in its last week. Without a censored cause, out is reset and left inactive. Every
// figure of the last run is replaced; only the room of out.scratch is kept.
void ComputeCompetingRisks(const CaseData& cases, const SurvivalTables& tables, const GroupSet& shown, int xMax,
                           CompetingRisks& out);

}  // namespace orv
