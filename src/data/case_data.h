// The tables into which the cases of a data file are counted.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/covariates.h"
#include "text/period_text.h"

namespace orv {

inline constexpr int kMaxWeek = 2080;             // 40 years
inline constexpr int kWeekSlots = kMaxWeek + 1;   // weeks 0..2080
inline constexpr int kGroupSlots = 21;            // 0 all cases, 1..19 named, 20 "20 over"
inline constexpr int kCauseSlots = 22;            // 0 alive, 1..19 named, 20 "20 over", 21 total
inline constexpr int kOverflowIndex = 20;
inline constexpr int kTotalsIndex = 21;           // cause "死亡計" and the totals row of DeathsByCause
inline constexpr double kMaxDays = 14560.0;       // 2080 weeks

// Counts are 64-bit: a group or a week may hold any number of rows without wrapping.
using Count = std::int64_t;

// The codes of WeekCounts: how a row's week ended.
enum CountCode : int {
  kCodeCensored = 1,  // alive at the end, or dead of a cause counted as censored
  kCodeDeath = 2,
};
inline constexpr int kCountCodes = 3;  // code 0 unused

// The rows of GroupTotals.
enum GroupTotalRow : int {
  kTotalRows = 0,      // accepted rows
  kTotalCensored = 1,  // rows of code 1
  kTotalDeaths = 2,    // rows of code 2
  kTotalCensoredAndDeaths = 3,
};
inline constexpr int kGroupTotalRows = 4;

// Per cause 1..20: 1 when deaths of that cause count as censored.
using CauseFlags = std::array<std::int32_t, kGroupSlots>;

// The notes the raw data report writes beside a row, one per rule that dropped or corrected it.
enum RowNote : int {
  kNoteNoComma,         // excluded
  kNoteNoGroup,         // excluded
  kNoteNoDays,          // excluded
  kNoteDaysNotNumeric,  // excluded
  kNoteNoOutcome,       // excluded
  kNoteDaysCapped,      // corrected: over 40 years, set to week 2080 and alive
  kNoteNoCause,         // corrected: a death without a cause, counted as "不明"
};
inline constexpr int kRowNotes = 7;
inline constexpr bool IsExclusionNote(int note) { return note < kNoteDaysCapped; }

// Counters of one load, printed by the raw data report.
struct LoadCounters {
  Count total = 0;      // data rows seen
  Count corrected = 0;  // corrections made (one row can make two)
  Count excluded = 0;   // rows dropped
  // The notes as the report wrote them: a correction of a dropped row has none.
  std::array<Count, kRowNotes> notes{};
};

struct CaseData {
  std::array<std::string, kGroupSlots> GroupNames{};
  int NumGroups = 0;
  std::array<std::string, kCauseSlots> CauseNames{};
  int NumCauses = 0;
  CauseFlags CauseCensored{};  // 1 = deaths of that cause count as censored
  // WeekCounts[week][code][group]: code 1 censored, 2 death; group 0 stays zero.
  std::vector<std::array<std::array<Count, kGroupSlots>, kCountCodes>> WeekCounts =
      std::vector<std::array<std::array<Count, kGroupSlots>, kCountCodes>>(kWeekSlots);
  // CompetingDeaths[week][group]: the deaths of the censored causes, also counted in code 1
  // of WeekCounts; the competing-risks figures count them as competing events. Group 0 stays zero.
  std::vector<std::array<Count, kGroupSlots>> CompetingDeaths = std::vector<std::array<Count, kGroupSlots>>(kWeekSlots);
  // GroupTotals[row][group]: 0 rows, 1 censored, 2 deaths, 3 both.
  std::array<std::array<Count, kGroupSlots>, kGroupTotalRows> GroupTotals{};
  // DeathsByCause[group][cause]: rows 0 (all groups) to 20 and 21 (totals of the view).
  std::array<std::array<Count, kCauseSlots>, kCauseSlots> DeathsByCause{};
  int dataMaxWeeks = 0;
  LoadCounters counters;
  // The accepted cases one by one with their covariate columns, for the models.
  Covariates covariates;

  CaseData();  // the start-up texts: cause 0 "生存", cause 21 "死亡計", group 0, CauseCensored[0] = 1
};

// The index of the last group in use, kept inside the group tables.
inline int LastGroup(const CaseData& cd) { return std::clamp(cd.NumGroups, 0, kGroupSlots - 1); }

}  // namespace orv
