// The per-case arrays of a Cox model from the loaded cases and the user's choices.
#include "stats/cox_design.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "text/number_text.h"

namespace orv {

namespace {

// The rows of a design found by their stratum, week, event, competing death and x, bit for bit
// (a -0 and a 0 are two rows, which costs a row and changes no sum): an open-addressed table
// of row numbers, kept at most half full.
class RowIndex {
 public:
  explicit RowIndex(const CoxDesign& design) : design_(design), slots_(1024) {}

  // The row equal to the candidate, or -1 after taking the candidate as the row `next`.
  std::int64_t FindOrAdd(std::int32_t stratum, std::int32_t week, std::uint8_t event, std::uint8_t competing,
                         const std::vector<double>& x, std::size_t next) {
    std::uint64_t hash = Mix(static_cast<std::uint64_t>(static_cast<std::uint32_t>(stratum)) << 32 |
                             static_cast<std::uint32_t>(week));
    hash = Mix(hash ^ (static_cast<std::uint64_t>(event) << 1 | competing));
    for (const double v : x) hash = Mix(hash ^ std::bit_cast<std::uint64_t>(v));
    const std::size_t p = x.size();
    std::size_t at = hash & (slots_.size() - 1);
    for (; slots_[at].row != 0; at = (at + 1) & (slots_.size() - 1)) {
      const std::size_t r = slots_[at].row - 1;
      if (slots_[at].hash == hash && design_.week[r] == week && design_.event[r] == event &&
          design_.competing[r] == competing && (design_.stratum.empty() || design_.stratum[r] == stratum) &&
          (p == 0 || std::memcmp(design_.x.data() + r * p, x.data(), p * sizeof(double)) == 0)) {
        return static_cast<std::int64_t>(r);
      }
    }
    slots_[at] = {hash, next + 1};
    if (2 * ++used_ > slots_.size()) Grow();
    return -1;
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::size_t row = 0;  // row + 1; 0 free
  };
  static std::uint64_t Mix(std::uint64_t h) {
    h += 0x9e3779b97f4a7c15ULL;
    h = (h ^ (h >> 30)) * 0xbf58476d1ce4e5b9ULL;
    h = (h ^ (h >> 27)) * 0x94d049bb133111ebULL;
    return h ^ (h >> 31);
  }
  void Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.row == 0) continue;
      std::size_t at = slot.hash & (slots_.size() - 1);
      while (slots_[at].row != 0) at = (at + 1) & (slots_.size() - 1);
      slots_[at] = slot;
    }
  }
  const CoxDesign& design_;
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace

CoxDesign ExpandedRows(const CoxDesign& design) {
  if (design.count.empty()) return design;
  CoxDesign out = design;
  out.week.clear();
  out.event.clear();
  out.stratum.clear();
  out.x.clear();
  out.count.clear();
  out.competing.clear();
  const std::size_t p = design.columns.size();
  for (std::size_t i = 0; i < design.Rows(); ++i) {
    for (std::int64_t c = 0; c < design.count[i]; ++c) {
      out.week.push_back(design.week[i]);
      out.event.push_back(design.event[i]);
      if (!design.stratum.empty()) out.stratum.push_back(design.stratum[i]);
      if (i < design.competing.size()) out.competing.push_back(design.competing[i]);
      out.x.insert(out.x.end(), design.x.begin() + static_cast<std::ptrdiff_t>(i * p),
                   design.x.begin() + static_cast<std::ptrdiff_t>((i + 1) * p));
    }
  }
  return out;
}

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
  RowIndex rows(design);
  // The group factor alone (every run's model): a row is its group, week and outcome, found
  // by position in a table of them rather than by hashing the row, a tenth of the time.
  const bool groupsOnly = request.collapse && request.covariates.empty() && request.strata < 0 && request.onlyColumn < 0 &&
                          request.lastWeek >= 0;
  const std::size_t weekSlots = static_cast<std::size_t>(std::max(request.lastWeek, 0)) + 1;
  std::vector<std::int64_t> rowOf(groupsOnly ? groupColumn.size() * weekSlots * 3 : 0, -1);
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
    const std::int32_t week = beyond ? request.lastWeek : covariates.week[i];
    const std::uint8_t event = !beyond && covariates.status[i] == CaseStatus::Death ? 1 : 0;
    const std::uint8_t competing = !beyond && covariates.status[i] == CaseStatus::CompetingDeath ? 1 : 0;
    if (groupsOnly && g >= 0 && static_cast<std::size_t>(g) < groupColumn.size() && week >= 0 && week <= request.lastWeek) {
      const std::size_t at = (static_cast<std::size_t>(g) * weekSlots + static_cast<std::size_t>(week)) * 3 + event + 2u * competing;
      if (rowOf[at] >= 0) {
        ++design.count[static_cast<std::size_t>(rowOf[at])];
        continue;
      }
      rowOf[at] = static_cast<std::int64_t>(design.Rows());
      design.count.push_back(1);
    } else if (request.collapse) {
      const std::int64_t same = rows.FindOrAdd(stratum, week, event, competing, row, design.Rows());
      if (same >= 0) {
        ++design.count[static_cast<std::size_t>(same)];
        continue;
      }
      design.count.push_back(1);
    }
    design.week.push_back(week);
    design.event.push_back(event);
    design.competing.push_back(competing);
    if (request.strata >= 0) design.stratum.push_back(stratum);
    design.x.insert(design.x.end(), row.begin(), row.end());
  }
  return design;
}

}  // namespace orv
