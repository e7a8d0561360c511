// The row texts of the groups, from the case data and the survival tables of a run.
#include "words/summary_texts.h"

#include <cstdint>

#include "text/number_text.h"
#include "text/period_text.h"
#include "text/truncate.h"

namespace orv {

namespace {

std::string YearSurvivalText(double s) { return s != 0 ? PercentText(s) + " %" : "   . "; }

}  // namespace

SummaryTexts MakeSummaryTexts(const CaseData& cases, const AnalysisRun& run, const GroupSet& shown, int curveWeeks) {
  SummaryTexts texts{};
  const SurvivalTables& t = run.survival;
  const int lastGroup = LastGroup(cases);
  texts[0][kLabel] = run.analysed ? After("all Case ( n=", FormatNumber(static_cast<double>(t.ShownCaseTotal))) + " )  "
                                  : "all case";
  texts[kSummaryTotalsRow][kLabel] = "累計";
  for (int g = 1; g <= lastGroup; ++g) {
    const auto gi = static_cast<std::size_t>(g);
    texts[gi][kLabel] =
        cases.GroupNames[gi] + " ( n = " + FormatNumber(static_cast<double>(cases.GroupTotals[kTotalRows][gi])) + " )";
  }
  if (!run.analysed) return texts;
  for (int g = 0; g <= lastGroup; ++g) {
    if (shown.Contains(g)) {
      texts[static_cast<std::size_t>(g)][kGraphMax] = PercentText(SurvivalAtRangeEnd(t, g, curveWeeks)) + " %";
    }
  }

  // Group 0 has a table only with a shown case: no survival over no one.
  for (int g = t.AtRiskTable[0][0] > 0 ? 0 : 1; g <= lastGroup; ++g) {
    const auto gi = static_cast<std::size_t>(g);
    auto& row = texts[gi];
    const int last = TruncToInt32(t.lastEventWeek[gi]);
    row[kFiveYears] = YearSurvivalText(t.SurvivalTable[kWeeksPerFiveYears][kSurvival][gi]);
    row[kTenYears] = YearSurvivalText(t.SurvivalTable[kWeeksPerTenYears][kSurvival][gi]);
    row[kDataMax] = PercentText(t.SurvivalTable[static_cast<std::size_t>(last)][kSurvival][gi]) + " % ," +
                    WeeksToYearsMonths(static_cast<std::uint32_t>(last));
    if (const int median = MedianSurvivalWeek(t, g); median >= 0) {
      row[kMedian] = WeeksToYearsMonths(static_cast<std::uint32_t>(median));
    }
  }
  return texts;
}

}  // namespace orv
