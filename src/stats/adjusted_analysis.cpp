// The adjusted analyses of one run.
#include "stats/adjusted_analysis.h"

#include "stats/competing_results.h"
#include "stats/reviewer_results.h"
#include "stats/stratified_log_rank.h"

namespace orv {

namespace {

bool IsCategorical(const Covariates& covariates, int column) {
  return column >= 0 && static_cast<std::size_t>(column) < covariates.columns.size() &&
         covariates.columns[static_cast<std::size_t>(column)].type == CovariateType::Categorical;
}

StratifiedLogRank StratifiedTest(const Covariates& covariates, const CoxDesignRequest& design) {
  StratifiedLogRank out;
  if (!IsCategorical(covariates, design.strata)) {
    out.refusal = "層別の変数はカテゴリの共変量です";
    return out;
  }
  const CovariateColumn& strata = covariates.columns[static_cast<std::size_t>(design.strata)];
  std::vector<std::int32_t> groupIndex(32, -1);
  for (std::size_t k = 0; k < design.groups.size(); ++k) {
    const int g = design.groups[k];
    if (g >= 0 && g < static_cast<int>(groupIndex.size())) {
      groupIndex[static_cast<std::size_t>(g)] = static_cast<std::int32_t>(k);
    }
  }
  std::vector<std::int32_t> group, week, stratum;
  std::vector<std::uint8_t> event;
  for (std::size_t i = 0; i < covariates.Cases(); ++i) {
    const int g = covariates.group[i];
    if (g < 0 || g >= static_cast<int>(groupIndex.size()) || groupIndex[static_cast<std::size_t>(g)] < 0) continue;
    if (strata.levelOf[i] < 0) {
      ++out.dropped;
      continue;
    }
    const bool beyond = covariates.week[i] > design.lastWeek;
    group.push_back(groupIndex[static_cast<std::size_t>(g)]);
    week.push_back(beyond ? design.lastWeek : covariates.week[i]);
    event.push_back(!beyond && covariates.status[i] == CaseStatus::Death ? 1 : 0);
    stratum.push_back(strata.levelOf[i]);
  }
  const LogRankTest test = StratifiedLogRankTest(group, week, event, stratum, static_cast<int>(design.groups.size()),
                                                 static_cast<int>(strata.levels.size()), design.lastWeek);
  if (!test.tested) {
    out.refusal = "死亡の期待値がある群が 2 つに満たないため、検定しません";
    return out;
  }
  out.chiSquare = test.statistic;
  out.df = test.df;
  out.p = test.p;
  return out;
}

// The design with a column per group column times subgroup column (factor 2).
void AddInteraction(CoxDesign& design) {
  const std::size_t p = design.columns.size();
  std::vector<std::size_t> groups, levels;
  for (std::size_t k = 0; k < p; ++k) (design.factorOf[k] == 0 ? groups : levels).push_back(k);
  const std::size_t wide = p + groups.size() * levels.size();
  for (const std::size_t g : groups) {
    for (const std::size_t l : levels) {
      design.columns.push_back(design.columns[g] + " × " + design.columns[l]);
      design.factorOf.push_back(2);
    }
  }
  std::vector<double> x(design.Rows() * wide);
  for (std::size_t i = 0; i < design.Rows(); ++i) {
    const double* row = design.x.data() + i * p;
    double* out = x.data() + i * wide;
    std::copy(row, row + p, out);
    std::size_t k = p;
    for (const std::size_t g : groups) {
      for (const std::size_t l : levels) out[k++] = row[g] * row[l];
    }
  }
  design.x = std::move(x);
}

Subgroups FitSubgroups(const Covariates& covariates, const CoxDesignRequest& base, const ModelRequest& request) {
  Subgroups out;
  if (!IsCategorical(covariates, request.subgroup)) {
    out.refusal = "サブグループの変数はカテゴリの共変量です";
    return out;
  }
  const CovariateColumn& column = covariates.columns[static_cast<std::size_t>(request.subgroup)];
  out.name = column.name;
  for (std::size_t l = 0; l < column.levels.size(); ++l) {
    CoxDesignRequest within = base;
    within.covariates.clear();
    within.strata = -1;
    within.onlyColumn = request.subgroup;
    within.onlyLevel = static_cast<int>(l);
    const CoxDesign design = BuildCoxDesign(covariates, within);
    SubgroupLevel level{.level = column.levels[l]};
    for (std::size_t i = 0; i < design.Rows(); ++i) {
      level.n += design.CountOf(i);
      level.events += design.event[i] != 0 ? design.CountOf(i) : 0;
    }
    level.model = FitCoxModel(design);
    out.levels.push_back(std::move(level));
  }
  CoxCovariateChoice choice{.column = request.subgroup};
  for (const CoxCovariateChoice& c : request.covariates) {
    if (c.column == request.subgroup) choice.referenceLevel = c.referenceLevel;
  }
  CoxDesignRequest main = base;
  main.covariates = {choice};
  main.strata = -1;
  CoxDesign design = BuildCoxDesign(covariates, main);
  if (!design.refusal.empty()) {
    out.interactionRefusal = design.refusal;
    return out;
  }
  AddInteraction(design);
  const CoxModel full = FitCoxModel(design);
  if (!full.refusal.empty()) {
    out.interactionRefusal = full.refusal;
    return out;
  }
  out.interaction = LikelihoodRatioWithout(design, full, {2});
  return out;
}

}  // namespace

AdjustedAnalysis FitAdjustedAnalysis(const CaseData& cases, const GroupSet& shown, int referenceGroup,
                                     int lastWeek, const ModelRequest& request) {
  AdjustedAnalysis out;
  int groups = 0;
  for (int g = 1; g <= LastGroup(cases); ++g) groups += shown.Contains(g) ? 1 : 0;
  if (!request.Asked() && groups < 2) return out;
  out.fitted = true;
  out.referenceGroup = ReferenceGroup(cases, shown, referenceGroup);

  CoxDesignRequest design{.referenceGroup = out.referenceGroup,
                          .covariates = request.covariates,
                          .strata = request.strata,
                          .lastWeek = lastWeek,
                          .collapse = true};
  for (int g = 1; g <= LastGroup(cases); ++g) {
    if (shown.Contains(g)) design.groups.push_back(g);
  }
  design.groupNames.assign(cases.GroupNames.begin(), cases.GroupNames.end());
  const Covariates& covariates = cases.covariates;
  const CoxDesign built = BuildCoxDesign(covariates, design);
  if (!built.refusal.empty()) {
    out.model.refusal = built.refusal;
    return out;
  }
  out.model = FitCoxModel(built);
  if (out.model.refusal.empty()) {
    std::vector<std::string> factors{"群"};
    for (const CoxCovariateChoice& c : request.covariates) {
      factors.push_back(covariates.columns[static_cast<std::size_t>(c.column)].name);
    }
    out.factorTests = TestFactors(built, out.model, factors);
  }
  if (request.strata >= 0) out.stratifiedLogRank = StratifiedTest(covariates, design);
  if (HasCompetingCauses(cases)) {
    CoxDesignRequest unstratified = design;
    unstratified.strata = -1;
    unstratified.collapse = false;
    out.fineGray = FitFineGrayModel(BuildCoxDesign(covariates, unstratified));
  }
  if (request.subgroup >= 0) out.subgroups = FitSubgroups(covariates, design, request);
  return out;
}

}  // namespace orv
