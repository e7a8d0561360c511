// The Cox model of several terms: Efron's ties, strata, Newton-Raphson, tests and concordance.
#include "stats/cox_model.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <span>

#include "stats/chi_square.h"
#include "stats/log_of_product.h"
#include "survival/km_estimates.h"
#include "text/number_text.h"

namespace orv {

namespace {

constexpr int kMaxSteps = 50;
constexpr int kMaxHalvings = 40;
constexpr double kRelativeChange = 1e-10;
// A column whose part not explained by the columns before it is this small a share of its
// own spread is taken as their combination.
constexpr double kCollinear = 1e-9;

// The cases sorted by stratum and, within it, by week from the last: a risk set then grows
// case by case. Blocks are the runs of one stratum and week.
struct SortedCases {
  std::size_t n = 0;
  std::vector<std::size_t> order;        // sorted position -> design row
  std::vector<std::size_t> blockStart;   // n + 1 ends: block b is [blockStart[b], blockStart[b + 1])
  std::vector<std::uint8_t> newStratum;  // per block: the first of its stratum
  std::vector<std::uint8_t> event;       // in sorted order
};

SortedCases SortCases(const CoxDesign& design) {
  SortedCases s;
  s.n = design.Cases();
  const auto stratum = [&design](std::size_t i) { return design.stratum.empty() ? 0 : design.stratum[i]; };
  s.order.resize(s.n);
  std::iota(s.order.begin(), s.order.end(), std::size_t{0});
  std::stable_sort(s.order.begin(), s.order.end(), [&](std::size_t a, std::size_t b) {
    if (stratum(a) != stratum(b)) return stratum(a) < stratum(b);
    return design.week[a] > design.week[b];
  });
  s.event.resize(s.n);
  for (std::size_t i = 0; i < s.n; ++i) {
    const std::size_t row = s.order[i];
    s.event[i] = design.event[row];
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
  for (std::size_t i = 0; i < s.n; ++i) {
    for (std::size_t k = 0; k < q; ++k) mean[k] += design.x[i * p + static_cast<std::size_t>(columns[k])];
  }
  for (double& m : mean) m /= static_cast<double>(std::max<std::size_t>(s.n, 1));
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

// In-place Cholesky factor L (lower, row-major q * q) of a symmetric matrix; false when a
// pivot is not positive.
bool Cholesky(std::vector<double>& a, std::size_t q) {
  for (std::size_t j = 0; j < q; ++j) {
    double d = a[j * q + j];
    for (std::size_t k = 0; k < j; ++k) d -= a[j * q + k] * a[j * q + k];
    if (!(d > 0)) return false;
    const double root = std::sqrt(d);
    a[j * q + j] = root;
    for (std::size_t i = j + 1; i < q; ++i) {
      double v = a[i * q + j];
      for (std::size_t k = 0; k < j; ++k) v -= a[i * q + k] * a[j * q + k];
      a[i * q + j] = v / root;
    }
    for (std::size_t i = 0; i < j; ++i) a[i * q + j] = 0;
  }
  return true;
}

// Solves L L' y = b in place.
void CholeskySolve(const std::vector<double>& l, std::size_t q, double* b) {
  for (std::size_t i = 0; i < q; ++i) {
    for (std::size_t k = 0; k < i; ++k) b[i] -= l[i * q + k] * b[k];
    b[i] /= l[i * q + i];
  }
  for (std::size_t i = q; i-- > 0;) {
    for (std::size_t k = i + 1; k < q; ++k) b[i] -= l[k * q + i] * b[k];
    b[i] /= l[i * q + i];
  }
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
    int deaths = 0;
    bool anyDeath = false;
    for (std::size_t i = s.blockStart[b]; i < s.blockStart[b + 1]; ++i) {
      const double* xi = x.data() + i * q;  // no column left: the pointer is never read
      double eta = 0;
      for (std::size_t k = 0; k < q; ++k) eta += xi[k] * beta[k];
      const double w = std::exp(eta);
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
        ++deaths;
        d0 += w;
        e.logLik += eta;
        for (std::size_t k = 0; k < q; ++k) {
          const double wx = w * xi[k];
          e.score[k] += xi[k];
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
    for (int j = 0; j < deaths; ++j) {
      const double f = static_cast<double>(j) / deaths;
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

// The columns that are no combination of the columns before them, within the strata.
// x: every column of the design, sorted and centred.
std::vector<int> IndependentColumns(const CoxDesign& design, const SortedCases& s, const std::vector<double>& x,
                                    std::vector<std::string>& notes) {
  const std::size_t p = design.columns.size();
  // Centred within each stratum, since a stratum's baseline takes up its own mean.
  std::vector<double> cross(p * p, 0), mean(p);
  for (std::size_t b = 0, from = 0; b + 1 < s.blockStart.size(); ++b) {
    const std::size_t to = s.blockStart[b + 1];
    if (b + 2 < s.blockStart.size() && !s.newStratum[b + 1]) continue;
    std::fill(mean.begin(), mean.end(), 0);
    for (std::size_t i = from; i < to; ++i) {
      for (std::size_t k = 0; k < p; ++k) mean[k] += x[i * p + k];
    }
    for (double& v : mean) v /= static_cast<double>(to - from);
    for (std::size_t i = from; i < to; ++i) {
      for (std::size_t k = 0; k < p; ++k) {
        const double a = x[i * p + k] - mean[k];
        for (std::size_t j = k; j < p; ++j) cross[k * p + j] += a * (x[i * p + j] - mean[j]);
      }
    }
    from = to;
  }
  // Cholesky in column order, a column skipped where its remaining pivot vanishes.
  std::vector<int> kept;
  std::vector<double> l(p * p, 0);
  for (std::size_t j = 0; j < p; ++j) {
    double d = cross[j * p + j];
    for (const int k : kept) d -= l[j * p + static_cast<std::size_t>(k)] * l[j * p + static_cast<std::size_t>(k)];
    if (!(d > kCollinear * cross[j * p + j]) || !(cross[j * p + j] > 0)) {
      notes.push_back(design.columns[j] + ": 他の項の組み合わせ (一定値を含む) のため推定しません");
      continue;
    }
    const double root = std::sqrt(d);
    l[j * p + j] = root;
    for (std::size_t i = j + 1; i < p; ++i) {
      double v = cross[j * p + i];
      for (const int k : kept) v -= l[i * p + static_cast<std::size_t>(k)] * l[j * p + static_cast<std::size_t>(k)];
      l[i * p + j] = v / root;
    }
    kept.push_back(static_cast<int>(j));
  }
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
  void Add(std::size_t rank) {
    for (; rank < tree_.size(); rank += rank & (~rank + 1)) ++tree_[rank];
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
        if (!s.event[i]) counts.Add(rank(i)), ++inSet;
      }
      for (std::size_t i = lo; i < hi; ++i) {
        if (!s.event[i]) continue;
        const std::size_t r = rank(i);
        const double below = counts.UpTo(r - 1), upTo = counts.UpTo(r);
        model.concordant += below;
        model.tiedRisk += upTo - below;
        model.discordant += inSet - upTo;
      }
      for (std::size_t i = lo; i < hi; ++i) {
        if (s.event[i]) counts.Add(rank(i)), ++inSet;
      }
    }
  }
  const double pairs = model.concordant + model.discordant + model.tiedRisk;
  model.concordance = pairs > 0 ? (model.concordant + model.tiedRisk / 2) / pairs : 0.5;
}

}  // namespace

CoxModel FitCoxModel(const CoxDesign& design) {
  CoxModel model;
  model.dropped = design.dropped;
  if (!design.refusal.empty()) {
    model.refusal = design.refusal;
    return model;
  }
  const std::size_t p = design.columns.size();
  model.n = static_cast<std::int64_t>(design.Cases());
  for (const std::uint8_t e : design.event) model.events += e != 0 ? 1 : 0;
  for (const std::string& name : design.columns) model.terms.push_back({.name = name});
  if (static_cast<std::int64_t>(p) > model.events) {
    model.refusal = "項の数 " + FormatNumber(static_cast<double>(p)) + " が死亡数 " +
                    FormatNumber(static_cast<double>(model.events)) + " を超えるため、モデルを推定しません";
    return model;
  }
  const SortedCases s = SortCases(design);
  std::vector<std::string> notes;
  std::vector<int> columns(p);
  std::iota(columns.begin(), columns.end(), 0);
  const std::vector<double> all = SortedColumns(design, s, columns);
  columns = IndependentColumns(design, s, all, notes);
  {
    const std::vector<double> x = PickColumns(all, p, columns);
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
  const std::vector<double> x = PickColumns(all, p, columns);
  std::vector<double> beta(q, 0);
  CoxEvaluation at = Evaluate(s, x, q, beta);
  model.logLikNull = at.logLik;
  model.logLik = at.logLik;
  for (const std::string& line : notes) model.note += line + "\n";
  if (q == 0) {
    model.concordance = 0.5;
    Concordance(s, std::vector<double>(s.n, 0), model);
    return model;
  }

  std::vector<double> factor = at.information;
  if (!Cholesky(factor, q)) {
    model.refusal = "情報行列が正定値でないため、モデルを推定しません";
    return model;
  }
  // The score test at beta = 0.
  std::vector<double> solved = at.score;
  CholeskySolve(factor, q, solved.data());
  double score = 0;
  for (std::size_t k = 0; k < q; ++k) score += at.score[k] * solved[k];
  model.score = ChiSquareTest(score, static_cast<int>(q));

  bool converged = false;
  std::vector<double> step = solved, next(q);
  for (int iteration = 1; iteration <= kMaxSteps && !converged; ++iteration) {
    model.iterations = iteration;
    CoxEvaluation tried;
    bool up = false;
    for (int h = 0; h <= kMaxHalvings && !up; ++h) {
      for (std::size_t k = 0; k < q; ++k) next[k] = beta[k] + step[k];
      tried = Evaluate(s, x, q, next);
      up = tried.logLik >= at.logLik && std::isfinite(tried.logLik);
      if (!up) {
        for (double& v : step) v /= 2;
      }
    }
    // No step up even halved forty times: beta is the maximum as far as doubles tell.
    if (!up) break;
    converged = std::abs(tried.logLik - at.logLik) <= kRelativeChange * std::abs(at.logLik);
    beta = next;
    at = std::move(tried);
    factor = at.information;
    if (!Cholesky(factor, q)) break;
    step = at.score;
    CholeskySolve(factor, q, step.data());
    converged = converged || std::all_of(step.begin(), step.end(), [](double v) { return v == 0; });
  }
  factor = at.information;
  if (!converged || !Cholesky(factor, q)) {
    model.refusal = "尤度の最大値が求まらないため、モデルを推定しません";
    return model;
  }
  model.logLik = at.logLik;
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
  }
  std::vector<double> eta(s.n, 0);
  for (std::size_t i = 0; i < s.n; ++i) {
    for (std::size_t k = 0; k < q; ++k) eta[i] += x[i * q + k] * beta[k];
  }
  Concordance(s, eta, model);
  return model;
}

}  // namespace orv
