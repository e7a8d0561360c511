// The per-case arrays of a Cox model from the loaded cases and the user's choices.
#include "stats/cox_design.h"

#include <algorithm>
#include <cmath>

#include "text/number_text.h"

namespace orv {

CoxDesign BuildCoxDesign(const Covariates& covariates, const CoxDesignRequest& request) {
  CoxDesign design;
  const auto& columns = covariates.columns;
  const auto valid = [&columns](int c) { return c >= 0 && static_cast<std::size_t>(c) < columns.size(); };
  for (const CoxCovariateChoice& choice : request.covariates) {
    if (!valid(choice.column)) {
      design.refusal = "共変量の列がありません";
      return design;
    }
    const CovariateColumn& column = columns[static_cast<std::size_t>(choice.column)];
    if (column.type == CovariateType::Categorical &&
        (choice.referenceLevel < 0 || static_cast<std::size_t>(choice.referenceLevel) >= column.levels.size())) {
      design.refusal = "共変量「" + column.name + "」の基準水準がありません";
      return design;
    }
  }
  const auto categorical = [&](int c) {
    return valid(c) && columns[static_cast<std::size_t>(c)].type == CovariateType::Categorical;
  };
  if (request.onlyColumn >= 0 && !categorical(request.onlyColumn)) {
    design.refusal = "サブグループの変数はカテゴリの共変量です";
    return design;
  }
  if (request.strata >= 0 &&
      (!valid(request.strata) || columns[static_cast<std::size_t>(request.strata)].type != CovariateType::Categorical)) {
    design.refusal = "層別の変数はカテゴリの共変量です";
    return design;
  }

  // Column k of the group factor: 1 for group groupOf[k], 0 otherwise.
  std::vector<int> groupColumn(32, -1);
  for (const int g : request.groups) {
    if (g == request.referenceGroup || g < 0 || g >= static_cast<int>(groupColumn.size())) continue;
    groupColumn[static_cast<std::size_t>(g)] = static_cast<int>(design.columns.size());
    const bool named = static_cast<std::size_t>(g) < request.groupNames.size() &&
                       !request.groupNames[static_cast<std::size_t>(g)].empty();
    design.factorOf.push_back(0);
    design.columns.push_back(named ? request.groupNames[static_cast<std::size_t>(g)]
                                   : "群" + FormatNumber(static_cast<double>(g)));
  }
  const bool referenceShown =
      std::find(request.groups.begin(), request.groups.end(), request.referenceGroup) != request.groups.end();
  // The first column of each chosen covariate.
  std::vector<std::size_t> firstColumn;
  for (std::size_t c = 0; c < request.covariates.size(); ++c) {
    const CoxCovariateChoice& choice = request.covariates[c];
    const CovariateColumn& column = columns[static_cast<std::size_t>(choice.column)];
    firstColumn.push_back(design.columns.size());
    if (column.type == CovariateType::Continuous) {
      design.columns.push_back(column.name);
    } else {
      for (std::size_t l = 0; l < column.levels.size(); ++l) {
        if (static_cast<int>(l) != choice.referenceLevel) design.columns.push_back(column.name + ": " + column.levels[l]);
      }
    }
    design.factorOf.resize(design.columns.size(), static_cast<int>(c) + 1);
  }
  const std::size_t p = design.columns.size();

  std::vector<double> row(p);
  for (std::size_t i = 0; i < covariates.Cases(); ++i) {
    const int g = covariates.group[i];
    const bool shown = g == request.referenceGroup ? referenceShown
                                                   : g >= 0 && g < static_cast<int>(groupColumn.size()) &&
                                                         groupColumn[static_cast<std::size_t>(g)] >= 0;
    if (!shown) continue;
    if (request.onlyColumn >= 0 &&
        columns[static_cast<std::size_t>(request.onlyColumn)].levelOf[i] != request.onlyLevel) {
      continue;
    }
    std::fill(row.begin(), row.end(), 0.0);
    if (g != request.referenceGroup) row[static_cast<std::size_t>(groupColumn[static_cast<std::size_t>(g)])] = 1;
    bool missing = false;
    for (std::size_t c = 0; c < request.covariates.size() && !missing; ++c) {
      const CoxCovariateChoice& choice = request.covariates[c];
      const CovariateColumn& column = columns[static_cast<std::size_t>(choice.column)];
      if (column.type == CovariateType::Continuous) {
        row[firstColumn[c]] = column.values[i];
        missing = std::isnan(column.values[i]);
      } else {
        const int level = column.levelOf[i];
        missing = level < 0;
        if (level > choice.referenceLevel) row[firstColumn[c] + static_cast<std::size_t>(level) - 1] = 1;
        if (level >= 0 && level < choice.referenceLevel) row[firstColumn[c] + static_cast<std::size_t>(level)] = 1;
      }
    }
    int stratum = 0;
    if (request.strata >= 0) {
      stratum = columns[static_cast<std::size_t>(request.strata)].levelOf[i];
      missing = missing || stratum < 0;
    }
    if (missing) {
      ++design.dropped;
      continue;
    }
    const bool beyond = covariates.week[i] > request.lastWeek;
    design.week.push_back(beyond ? request.lastWeek : covariates.week[i]);
    design.event.push_back(!beyond && covariates.status[i] == CaseStatus::Death ? 1 : 0);
    design.competing.push_back(!beyond && covariates.status[i] == CaseStatus::CompetingDeath ? 1 : 0);
    if (request.strata >= 0) design.stratum.push_back(stratum);
    design.x.insert(design.x.end(), row.begin(), row.end());
  }
  return design;
}

}  // namespace orv
