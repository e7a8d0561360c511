// Weekly Kaplan-Meier life tables per group and the pooled table of the shown groups (group 0).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "data/case_data.h"
#include "data/group_set.h"

namespace orv {

// Slots of SurvivalTable.
enum SurvivalSlot : int {
  kCensored = 1,    // censored cases of the week
  kDeaths = 2,      // deaths of the week
  kCumulative = 3,  // censored plus deaths in weeks 0 to this week
  kHazard = 4,      // deaths / number at risk
  kSurvival = 5,    // survival after this week: the whole Kaplan-Meier product
};

// The counts of the tables once more, as one contiguous run of weeks per group: the
// statistics of up to 190 pairs stream through these instead of striding across the rows.
struct WeekColumns {
  std::vector<double> deaths = std::vector<double>(kGroupSlots * kWeekSlots);
  std::vector<double> censored = std::vector<double>(kGroupSlots * kWeekSlots);
  std::vector<double> atRisk = std::vector<double>(kGroupSlots * kWeekSlots);

  // Group g's weeks 0..weeks-1 (weeks at most kWeekSlots).
  std::span<const double> Deaths(std::size_t g, std::size_t weeks) const { return Of(deaths, g, weeks); }
  std::span<const double> Censored(std::size_t g, std::size_t weeks) const { return Of(censored, g, weeks); }
  std::span<const double> AtRisk(std::size_t g, std::size_t weeks) const { return Of(atRisk, g, weeks); }

 private:
  static std::span<const double> Of(const std::vector<double>& column, std::size_t g, std::size_t weeks) {
    return std::span<const double>(column).subspan(g * kWeekSlots, weeks);
  }
};

struct SurvivalTables {
  // SurvivalTable[week][slot][group], slots 1..5 (slot 0 unused).
  std::vector<std::array<std::array<double, kGroupSlots>, 6>> SurvivalTable =
      std::vector<std::array<std::array<double, kGroupSlots>, 6>>(kWeekSlots);
  // AtRiskTable[week][group]: cases under observation at the start of the week.
  std::vector<std::array<Count, kGroupSlots>> AtRiskTable =
      std::vector<std::array<Count, kGroupSlots>>(kWeekSlots);
  std::array<double, kGroupSlots> lastEventWeek{};
  Count ShownCaseTotal = 0;  // the cases of the shown groups, pooled into group 0
  WeekColumns columns;  // the counts and numbers at risk above, kept by the two builders below
};

// Each group's weekly table: counts, cumulative events, numbers at risk, hazard and survival;
// every earlier week of the tables is cleared.
void BuildGroupTables(const CaseData& cases, SurvivalTables& tables);
// Group 0: the pooled table of the shown groups, and ShownCaseTotal.
void BuildPooledTable(const CaseData& cases, const GroupSet& shown, SurvivalTables& tables);

// The first week 0..lastEventWeek[g] whose survival is at most one half (within the
// tolerance of the median's rounding); -1 when the survival stays above it.
int MedianSurvivalWeek(const SurvivalTables& tables, int g);

// Where group g's curve ends on a range of xMax weeks: the survival after the last week up to
// xMax with an event, 1 before the first.
double SurvivalAtRangeEnd(const SurvivalTables& tables, int g, int xMax);

}  // namespace orv
