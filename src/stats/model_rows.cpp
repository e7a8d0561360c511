// The rows of the adjusted model's tables and the cases behind them.
#include "stats/model_rows.h"

#include <algorithm>

#include "stats/cox_design.h"

namespace orv {

std::vector<ModelRow> ModelRowsOf(const CaseData& cases, const GroupSet& shown, int lastWeek, const ModelRequest& request,
                                  const AdjustedAnalysis& adjusted) {
  std::vector<ModelRow> rows;
  if (!adjusted.fitted || !adjusted.model.refusal.empty()) return rows;
  // The design the model was fitted over, to count its cases per row.
  CoxDesignRequest asked{.referenceGroup = adjusted.referenceGroup,
                         .covariates = request.covariates,
                         .strata = request.strata,
                         .lastWeek = lastWeek};
  for (int g = 1; g <= LastGroup(cases); ++g) {
    if (shown.Contains(g)) asked.groups.push_back(g);
  }
  asked.groupNames.assign(cases.GroupNames.begin(), cases.GroupNames.end());
  const CoxDesign design = BuildCoxDesign(cases.covariates, asked);
  const std::size_t p = design.columns.size();
  if (!design.refusal.empty() || p != adjusted.model.terms.size()) return rows;

  // Each column's rows: its indicator set, or for a reference row every indicator of its factor clear.
  const auto count = [&](ModelRow& row, std::size_t first, std::size_t columns, bool clear) {
    for (std::size_t i = 0; i < design.Cases(); ++i) {
      bool in = true;
      if (clear) {
        for (std::size_t c = first; c < first + columns && in; ++c) in = design.x[i * p + c] == 0;
      } else {
        in = row.continuous || design.x[i * p + first] != 0;
      }
      if (!in) continue;
      ++row.n;
      row.events += design.event[i];
    }
  };
  const auto groups = static_cast<std::size_t>(std::max<std::ptrdiff_t>(std::ssize(asked.groups) - 1, 0));
  ModelRow reference{.name = cases.GroupNames[static_cast<std::size_t>(adjusted.referenceGroup)],
                     .group = adjusted.referenceGroup,
                     .reference = true};
  count(reference, 0, groups, true);
  rows.push_back(reference);
  std::size_t column = 0;
  for (int g : asked.groups) {
    if (g == adjusted.referenceGroup) continue;
    ModelRow row{.name = adjusted.model.terms[column].name, .group = g, .term = static_cast<int>(column)};
    count(row, column, 1, false);
    rows.push_back(row);
    ++column;
  }
  const auto& columns = cases.covariates.columns;
  for (std::size_t c = 0; c < request.covariates.size(); ++c) {
    const CoxCovariateChoice& choice = request.covariates[c];
    const CovariateColumn& col = columns[static_cast<std::size_t>(choice.column)];
    if (col.type == CovariateType::Continuous) {
      ModelRow row{.name = col.name, .covariate = static_cast<int>(c), .continuous = true, .term = static_cast<int>(column)};
      count(row, column, 1, false);
      rows.push_back(row);
      ++column;
      continue;
    }
    const std::size_t levels = col.levels.size() - 1;
    ModelRow ref{.name = col.name + ": " + col.levels[static_cast<std::size_t>(choice.referenceLevel)],
                 .covariate = static_cast<int>(c),
                 .reference = true};
    count(ref, column, levels, true);
    rows.push_back(ref);
    for (std::size_t l = 0; l < levels; ++l, ++column) {
      ModelRow row{.name = adjusted.model.terms[column].name, .covariate = static_cast<int>(c), .term = static_cast<int>(column)};
      count(row, column, 1, false);
      rows.push_back(row);
    }
  }
  return rows;
}

}  // namespace orv
