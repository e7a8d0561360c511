// The rows of the adjusted model's tables and the cases behind them.
#include "stats/model_rows.h"

#include <cmath>

namespace orv {

std::vector<ModelRow> ModelRowsOf(const CaseData& cases, const GroupSet& shown, int lastWeek, const ModelRequest& request,
                                  const AdjustedAnalysis& adjusted) {
  std::vector<ModelRow> rows;
  const CoxModel& m = adjusted.model;
  if (!adjusted.fitted || !m.refusal.empty()) return rows;
  const Covariates& cov = cases.covariates;
  const auto& columns = cov.columns;
  for (const CoxCovariateChoice& c : request.covariates) {
    if (c.column < 0 || static_cast<std::size_t>(c.column) >= columns.size()) return rows;
  }

  // The group factor's rows: the reference group first, then the other shown groups in order,
  // as the design codes them.
  std::vector<int> rowOfGroup(kGroupSlots, -1);
  rows.push_back({.name = cases.GroupNames[static_cast<std::size_t>(adjusted.referenceGroup)], .group = adjusted.referenceGroup,
                  .reference = true});
  rowOfGroup[static_cast<std::size_t>(adjusted.referenceGroup)] = 0;
  int term = 0;
  for (int g = 1; g <= LastGroup(cases); ++g) {
    if (!shown.Contains(g) || g == adjusted.referenceGroup) continue;
    rowOfGroup[static_cast<std::size_t>(g)] = static_cast<int>(rows.size());
    rows.push_back({.name = cases.GroupNames[static_cast<std::size_t>(g)], .group = g, .term = term++});
  }
  // Each covariate's first row; a categorical one's rows are its levels, the reference's first.
  std::vector<std::size_t> firstRow;
  for (std::size_t c = 0; c < request.covariates.size(); ++c) {
    const CoxCovariateChoice& choice = request.covariates[c];
    const CovariateColumn& col = columns[static_cast<std::size_t>(choice.column)];
    firstRow.push_back(rows.size());
    if (col.type == CovariateType::Continuous) {
      rows.push_back({.name = col.name, .covariate = static_cast<int>(c), .continuous = true, .term = term++});
      continue;
    }
    rows.push_back({.name = col.name + ": " + col.levels[static_cast<std::size_t>(choice.referenceLevel)], .covariate = static_cast<int>(c),
                    .reference = true});
    for (std::size_t l = 0; l < col.levels.size(); ++l) {
      if (static_cast<int>(l) == choice.referenceLevel) continue;
      rows.push_back({.name = col.name + ": " + col.levels[l], .covariate = static_cast<int>(c), .term = term++});
    }
  }
  if (static_cast<std::size_t>(term) != m.terms.size()) return {};

  // The cases of the fit: a shown group, no chosen value or stratum missing, a death only
  // within the window.
  for (std::size_t i = 0; i < cov.Cases(); ++i) {
    const int g = cov.group[i];
    if (g < 0 || g >= kGroupSlots || rowOfGroup[static_cast<std::size_t>(g)] < 0) continue;
    bool missing = request.strata >= 0 && columns[static_cast<std::size_t>(request.strata)].levelOf[i] < 0;
    for (std::size_t c = 0; c < request.covariates.size() && !missing; ++c) {
      const CovariateColumn& col = columns[static_cast<std::size_t>(request.covariates[c].column)];
      missing = col.type == CovariateType::Continuous ? std::isnan(col.values[i]) : col.levelOf[i] < 0;
    }
    if (missing) continue;
    const int event = cov.week[i] <= lastWeek && cov.status[i] == CaseStatus::Death ? 1 : 0;
    const auto add = [&](std::size_t row) {
      ++rows[row].n;
      rows[row].events += event;
    };
    add(static_cast<std::size_t>(rowOfGroup[static_cast<std::size_t>(g)]));
    for (std::size_t c = 0; c < request.covariates.size(); ++c) {
      const CoxCovariateChoice& choice = request.covariates[c];
      const CovariateColumn& col = columns[static_cast<std::size_t>(choice.column)];
      if (col.type == CovariateType::Continuous) {
        add(firstRow[c]);
        continue;
      }
      // The reference level's row first, then the others in order: a level before the reference
      // one moves one row down.
      const int level = col.levelOf[i];
      add(firstRow[c] + (level == choice.referenceLevel ? 0 : level < choice.referenceLevel ? level + 1 : level));
    }
  }
  return rows;
}

}  // namespace orv
