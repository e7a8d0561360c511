// The Cox model of several terms: Efron's ties, strata, Newton-Raphson, tests and concordance.
#include "stats/cox_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <span>

#include "stats/chi_square.h"
#include "stats/cholesky.h"
#include "stats/newton_ascent.h"
#include "stats/log_of_product.h"
#include "survival/km_estimates.h"
#include "text/number_text.h"

namespace orv {

namespace {

// The cases sorted by stratum and, within it, by week from the last: a risk set then grows
// row by row. Blocks are the runs of one stratum and week. A row weighs as its count of cases.
struct SortedCases {
  std::size_t n = 0;                     // rows
  std::vector<std::size_t> order;        // sorted position -> design row
  std::vector<double> count;             // in sorted order
  std::vector<std::size_t> blockStart;   // n + 1 ends: block b is [blockStart[b], blockStart[b + 1])
  std::vector<std::uint8_t> newStratum;  // per block: the first of its stratum
  std::vector<std::uint8_t> event;       // in sorted order
};

SortedCases SortCases(const CoxDesign& design) {
  SortedCases s;
  s.n = design.Rows();
  const auto stratum = [&design](std::size_t i) { return design.stratum.empty() ? 0 : design.stratum[i]; };
  s.order.resize(s.n);
  std::iota(s.order.begin(), s.order.end(), std::size_t{0});
  std::stable_sort(s.order.begin(), s.order.end(), [&](std::size_t a, std::size_t b) {
    if (stratum(a) != stratum(b)) return stratum(a) < stratum(b);
    return design.week[a] > design.week[b];
  });
  s.event.resize(s.n);
  s.count.resize(s.n);
  for (std::size_t i = 0; i < s.n; ++i) {
    const std::size_t row = s.order[i];
    s.event[i] = design.event[row];
    s.count[i] = static_cast<double>(design.CountOf(row));
    const bool stratumStarts = i == 0 || stratum(row) != stratum(s.order[i - 1]);
    if (stratumStarts || design.week[row] != design.week[s.order[i - 1]]) {
      s.blockStart.push_back(i);
      s.newStratum.push_back(stratumStarts ? 1 : 0);
    }
  }
  s.blockStart.push_back(s.n);
  return s;
}

// The chosen columns of the design in sorted order, centred on their means: n * q.
std::vector<double> SortedColumns(const CoxDesign& design, const SortedCases& s, const std::vector<int>& columns) {
  const std::size_t p = design.columns.size();
  const std::size_t q = columns.size();
  std::vector<double> mean(q, 0);
  double cases = 0;
  for (std::size_t i = 0; i < s.n; ++i) {
    const double count = static_cast<double>(design.CountOf(i));
    cases += count;
    for (std::size_t k = 0; k < q; ++k) mean[k] += count * design.x[i * p + static_cast<std::size_t>(columns[k])];
  }
  for (double& m : mean) m /= std::max(cases, 1.0);
  // Row by row: each case's row is read once, wherever the sorting put it.
  std::vector<double> x(s.n * q);
  for (std::size_t i = 0; i < s.n; ++i) {
    const double* row = design.x.data() + s.order[i] * p;
    for (std::size_t k = 0; k < q; ++k) x[i * q + k] = row[columns[k]] - mean[k];
  }
  return x;
}

// The chosen columns of the sorted design matrix of p columns.
std::vector<double> PickColumns(const std::vector<double>& all, std::size_t p, const std::vector<int>& columns) {
  const std::size_t n = p == 0 ? 0 : all.size() / p;
  const std::size_t q = columns.size();
  std::vector<double> x(n * q);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t k = 0; k < q; ++k) x[i * q + k] = all[i * p + static_cast<std::size_t>(columns[k])];
  }
  return x;
}

// l, U and I at beta; U has q entries and I q * q.
struct CoxEvaluation {
  double logLik = 0;
  std::vector<double> score;
  std::vector<double> information;
};

CoxEvaluation Evaluate(const SortedCases& s, const std::vector<double>& x, std::size_t q, std::span<const double> beta) {
  CoxEvaluation e;
  e.score.assign(q, 0);
  e.information.assign(q * q, 0);
  std::vector<double> s1(q), s2(q * q), d1(q), d2(q * q);
  double s0 = 0;
  LogOfProduct logDen;
  for (std::size_t b = 0; b + 1 < s.blockStart.size(); ++b) {
    if (s.newStratum[b]) {
      s0 = 0;
      std::fill(s1.begin(), s1.end(), 0);
      std::fill(s2.begin(), s2.end(), 0);
    }
    double d0 = 0;
    std::int64_t deaths = 0;
    bool anyDeath = false;
    for (std::size_t i = s.blockStart[b]; i < s.blockStart[b + 1]; ++i) {
      const double* xi = x.data() + i * q;
      double eta = 0;
      for (std::size_t k = 0; k < q; ++k) eta += xi[k] * beta[k];
      const double count = s.count[i];
      const double w = count * std::exp(eta);
      s0 += w;
      for (std::size_t k = 0; k < q; ++k) {
        const double wx = w * xi[k];
        s1[k] += wx;
        for (std::size_t j = k; j < q; ++j) s2[k * q + j] += wx * xi[j];
      }
      if (s.event[i]) {
        if (!anyDeath) {
          std::fill(d1.begin(), d1.end(), 0);
          std::fill(d2.begin(), d2.end(), 0);
          anyDeath = true;
        }
        deaths += static_cast<std::int64_t>(count);
        d0 += w;
        e.logLik += count * eta;
        for (std::size_t k = 0; k < q; ++k) {
          const double wx = w * xi[k];
          e.score[k] += count * xi[k];
          d1[k] += wx;
          for (std::size_t j = k; j < q; ++j) d2[k * q + j] += wx * xi[j];
        }
      }
    }
    if (deaths == 0) continue;
    // The d terms of a week differ only in f: their sums come from five sums over j,
    //   a = sum 1/s0, c = sum f/s0, a2 = sum 1/s0^2, c2 = sum f/s0^2, e2 = sum f^2/s0^2,
    // so that a week costs p^2 once however many die in it.
    double a = 0, c = 0, a2 = 0, c2 = 0, e2 = 0;
    for (std::int64_t j = 0; j < deaths; ++j) {
      const double f = static_cast<double>(j) / static_cast<double>(deaths);
      const double r0 = s0 - f * d0;
      const double inverse = 1 / r0;
      logDen.Multiply(r0);
      a += inverse;
      c += f * inverse;
      a2 += inverse * inverse;
      c2 += f * inverse * inverse;
      e2 += f * f * inverse * inverse;
    }
    for (std::size_t k = 0; k < q; ++k) {
      e.score[k] -= a * s1[k] - c * d1[k];
      for (std::size_t i = k; i < q; ++i) {
        const std::size_t ki = k * q + i;
        e.information[ki] += a * s2[ki] - c * d2[ki] -
                             (a2 * s1[k] * s1[i] - c2 * (s1[k] * d1[i] + d1[k] * s1[i]) + e2 * d1[k] * d1[i]);
      }
    }
  }
  e.logLik -= logDen.Sum();
  for (std::size_t k = 0; k < q; ++k) {
    for (std::size_t i = 0; i < k; ++i) e.information[k * q + i] = e.information[i * q + k];
  }
  return e;
}

// The chosen columns that are no combination of the columns before them, within the strata.
// x: the chosen columns of the design, sorted and centred.
std::vector<int> IndependentColumns(const CoxDesign& design, const SortedCases& s, const std::vector<double>& x,
                                    std::span<const int> columns, std::vector<std::string>& notes) {
  const std::size_t p = columns.size();
  // Centred within each stratum, since a stratum's baseline takes up its own mean.
  std::vector<double> cross(p * p, 0), mean(p);
  for (std::size_t b = 0, from = 0; b + 1 < s.blockStart.size(); ++b) {
    const std::size_t to = s.blockStart[b + 1];
    if (b + 2 < s.blockStart.size() && !s.newStratum[b + 1]) continue;
    std::fill(mean.begin(), mean.end(), 0);
    double cases = 0;
    for (std::size_t i = from; i < to; ++i) {
      cases += s.count[i];
      for (std::size_t k = 0; k < p; ++k) mean[k] += s.count[i] * x[i * p + k];
    }
    for (double& v : mean) v /= cases;
    for (std::size_t i = from; i < to; ++i) {
      for (std::size_t k = 0; k < p; ++k) {
        const double a = s.count[i] * (x[i * p + k] - mean[k]);
        for (std::size_t j = k; j < p; ++j) cross[k * p + j] += a * (x[i * p + j] - mean[j]);
      }
    }
    from = to;
  }
  std::vector<int> kept = IndependentOfEarlierColumns(cross, p);
  for (std::size_t j = 0; j < p; ++j) {
    if (!std::binary_search(kept.begin(), kept.end(), static_cast<int>(j))) {
      notes.push_back(design.columns[static_cast<std::size_t>(columns[j])] + ": 他の項の組み合わせ (一定値を含む) のため推定しません");
    }
  }
  for (int& k : kept) k = columns[static_cast<std::size_t>(k)];
  return kept;
}

// False when l rises without bound along column k: in one direction every death has the
// highest value of its risk set.
bool HasFiniteMaximum(const SortedCases& s, const std::vector<double>& x, std::size_t q, std::size_t k) {
  bool someBelow = false;  // a death with a higher value in its risk set
  bool someAbove = false;  // a death with a lower value in its risk set
  double high = 0, low = 0;
  for (std::size_t b = 0; b + 1 < s.blockStart.size() && !(someBelow && someAbove); ++b) {
    const std::size_t from = s.blockStart[b], to = s.blockStart[b + 1];
    if (s.newStratum[b]) high = low = x[from * q + k];
    for (std::size_t i = from; i < to; ++i) {
      high = std::max(high, x[i * q + k]);
      low = std::min(low, x[i * q + k]);
    }
    for (std::size_t i = from; i < to; ++i) {
      if (!s.event[i]) continue;
      someBelow = someBelow || high > x[i * q + k];
      someAbove = someAbove || low < x[i * q + k];
    }
  }
  return someBelow && someAbove;
}

CoxTest ChiSquareTest(double statistic, int df) {
  CoxTest test{statistic, df, 1};
  if (df > 0) test.p = ChiSquareTail(df, std::max(statistic, 0.0));
  return test;
}

// Fenwick tree over ranks 1..size.
class RankCounts {
 public:
  explicit RankCounts(std::size_t size) : tree_(size + 1, 0) {}
  void Add(std::size_t rank, double count) {
    for (; rank < tree_.size(); rank += rank & (~rank + 1)) tree_[rank] += count;
  }
  double UpTo(std::size_t rank) const {
    double total = 0;
    for (; rank > 0; rank -= rank & (~rank + 1)) total += tree_[rank];
    return total;
  }

 private:
  std::vector<double> tree_;
};

void Concordance(const SortedCases& s, const std::vector<double>& eta, CoxModel& model) {
  for (std::size_t b = 0; b + 1 < s.blockStart.size();) {
    std::size_t end = b + 1;
    while (end + 1 < s.blockStart.size() && !s.newStratum[end]) ++end;
    const std::size_t from = s.blockStart[b], to = s.blockStart[end];
    // The rank of each case's eta within its stratum, ties sharing one.
    std::vector<std::size_t> byEta(to - from);
    std::iota(byEta.begin(), byEta.end(), from);
    std::sort(byEta.begin(), byEta.end(), [&eta](std::size_t i, std::size_t j) { return eta[i] < eta[j]; });
    std::vector<std::size_t> ranks(to - from);
    std::size_t distinct = 0;
    for (std::size_t k = 0; k < byEta.size(); ++k) {
      if (k == 0 || eta[byEta[k]] != eta[byEta[k - 1]]) ++distinct;
      ranks[byEta[k] - from] = distinct;
    }
    const auto rank = [&ranks, from](std::size_t i) { return ranks[i - from]; };
    RankCounts counts(distinct);
    double inSet = 0;
    for (; b < end; ++b) {
      const std::size_t lo = s.blockStart[b], hi = s.blockStart[b + 1];
      for (std::size_t i = lo; i < hi; ++i) {
        if (!s.event[i]) counts.Add(rank(i), s.count[i]), inSet += s.count[i];
      }
      for (std::size_t i = lo; i < hi; ++i) {
        if (!s.event[i]) continue;
        const std::size_t r = rank(i);
        const double below = counts.UpTo(r - 1), upTo = counts.UpTo(r);
        model.concordant += s.count[i] * below;
        model.tiedRisk += s.count[i] * (upTo - below);
        model.discordant += s.count[i] * (inSet - upTo);
      }
      for (std::size_t i = lo; i < hi; ++i) {
        if (s.event[i]) counts.Add(rank(i), s.count[i]), inSet += s.count[i];
      }
    }
  }
  const double pairs = model.concordant + model.discordant + model.tiedRisk;
  model.concordance = pairs > 0 ? (model.concordant + model.tiedRisk / 2) / pairs : 0.5;
}

}  // namespace

CoxModel FitCoxModel(const CoxDesign& design) {
  std::vector<int> columns(design.columns.size());
  std::iota(columns.begin(), columns.end(), 0);
  return FitCoxModel(design, columns, nullptr);
}

CoxModel FitCoxModel(const CoxDesign& design, std::span<const int> chosen, const CoxModel* from) {
  CoxModel model;
  model.dropped = design.dropped;
  if (!design.refusal.empty()) {
    model.refusal = design.refusal;
    return model;
  }
  const std::size_t p = design.columns.size();
  for (std::size_t i = 0; i < design.Rows(); ++i) {
    model.n += design.CountOf(i);
    model.events += design.event[i] != 0 ? design.CountOf(i) : 0;
  }
  for (const std::string& name : design.columns) model.terms.push_back({.name = name});
  model.covariance.assign(p * p, 0);
  if (static_cast<std::int64_t>(chosen.size()) > model.events) {
    model.refusal = "項の数 " + FormatNumber(static_cast<double>(chosen.size())) + " が死亡数 " +
                    FormatNumber(static_cast<double>(model.events)) + " を超えるため、モデルを推定しません";
    return model;
  }
  const SortedCases s = SortCases(design);
  std::vector<std::string> notes;
  std::vector<int> columns(chosen.begin(), chosen.end());
  // all: the chosen columns; column k of the design is all's position of k.
  const std::vector<double> all = SortedColumns(design, s, columns);
  std::vector<int> position(p, -1);
  for (std::size_t k = 0; k < columns.size(); ++k) position[static_cast<std::size_t>(columns[k])] = static_cast<int>(k);
  const auto positions = [&position](const std::vector<int>& of) {
    std::vector<int> at;
    for (const int k : of) at.push_back(position[static_cast<std::size_t>(k)]);
    return at;
  };
  columns = IndependentColumns(design, s, all, columns, notes);
  {
    const std::vector<double> x = PickColumns(all, chosen.size(), positions(columns));
    std::vector<int> finite;
    for (std::size_t k = 0; k < columns.size(); ++k) {
      if (HasFiniteMaximum(s, x, columns.size(), k)) {
        finite.push_back(columns[k]);
      } else {
        notes.push_back(design.columns[static_cast<std::size_t>(columns[k])] +
                        ": 尤度が有限の最大値を持たない (どの死亡も危険集合の端の値) ため推定しません");
      }
    }
    columns = std::move(finite);
  }
  const std::size_t q = columns.size();
  const std::vector<double> x = PickColumns(all, chosen.size(), positions(columns));
  std::vector<double> beta(q, 0);
  for (std::size_t k = 0; from != nullptr && k < q; ++k) {
    const CoxTerm& term = from->terms[static_cast<std::size_t>(columns[k])];
    beta[k] = term.estimated ? term.beta : 0;
  }
  CoxEvaluation at = Evaluate(s, x, q, beta);
  std::vector<double> factor = at.information;
  if (from != nullptr && !Cholesky(factor, q)) {
    // Too far out for Newton's steps: from 0 as any other fit.
    std::fill(beta.begin(), beta.end(), 0);
    at = Evaluate(s, x, q, beta);
  }
  factor = at.information;
  model.logLikNull = at.logLik;
  model.logLik = at.logLik;
  for (const std::string& line : notes) model.note += line + "\n";
  if (q == 0) {
    if (from == nullptr) Concordance(s, std::vector<double>(s.n, 0), model);
    return model;
  }

  if (!Cholesky(factor, q)) {
    model.refusal = "情報行列が正定値でないため、モデルを推定しません";
    return model;
  }
  std::vector<double> solved = at.score;
  CholeskySolve(factor, q, solved.data());
  if (from == nullptr) {
    // The score test at beta = 0.
    double score = 0;
    for (std::size_t k = 0; k < q; ++k) score += at.score[k] * solved[k];
    model.score = ChiSquareTest(score, static_cast<int>(q));
  }

  const NewtonOutcome newton = NewtonAscent([&](const std::vector<double>& b) { return Evaluate(s, x, q, b); }, beta, at, std::move(solved));
  model.iterations = newton.iterations;
  const bool converged = newton.converged;
  factor = at.information;
  if (!converged || !Cholesky(factor, q)) {
    model.refusal = "尤度の最大値が求まらないため、モデルを推定しません";
    return model;
  }
  model.logLik = at.logLik;
  if (from != nullptr) {
    model.logLikNull = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t k = 0; k < q; ++k) {
      model.terms[static_cast<std::size_t>(columns[k])].estimated = true;
      model.terms[static_cast<std::size_t>(columns[k])].beta = beta[k];
    }
    return model;
  }
  std::vector<double> inverse(q * q, 0);
  for (std::size_t k = 0; k < q; ++k) {
    inverse[k * q + k] = 1;
    CholeskySolve(factor, q, &inverse[k * q]);
  }
  double wald = 0;
  for (std::size_t k = 0; k < q; ++k) {
    for (std::size_t j = 0; j < q; ++j) wald += beta[k] * at.information[k * q + j] * beta[j];
  }
  model.wald = ChiSquareTest(wald, static_cast<int>(q));
  model.likelihoodRatio = ChiSquareTest(2 * (model.logLik - model.logLikNull), static_cast<int>(q));
  for (std::size_t k = 0; k < q; ++k) {
    CoxTerm& term = model.terms[static_cast<std::size_t>(columns[k])];
    term.estimated = true;
    term.beta = beta[k];
    term.se = std::sqrt(inverse[k * q + k]);
    term.hr = std::exp(term.beta);
    term.lower = std::exp(term.beta - kNormalQuantile975 * term.se);
    term.upper = std::exp(term.beta + kNormalQuantile975 * term.se);
    term.z = term.beta / term.se;
    term.p = std::erfc(std::abs(term.z) / std::sqrt(2.0));
    const std::size_t row = static_cast<std::size_t>(columns[k]) * p;
    for (std::size_t j = 0; j < q; ++j) model.covariance[row + static_cast<std::size_t>(columns[j])] = inverse[k * q + j];
  }
  std::vector<double> eta(s.n, 0);
  for (std::size_t i = 0; i < s.n; ++i) {
    for (std::size_t k = 0; k < q; ++k) eta[i] += x[i * q + k] * beta[k];
  }
  Concordance(s, eta, model);
  return model;
}

}  // namespace orv
