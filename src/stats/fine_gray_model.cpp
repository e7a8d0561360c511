// The Fine-Gray model of several terms: weighted risk sets, Newton-Raphson, the sandwich.
#include "stats/fine_gray_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "stats/cholesky.h"
#include "stats/cox_design.h"
#include "stats/newton_ascent.h"
#include "survival/km_estimates.h"
#include "text/number_text.h"

namespace orv {

namespace {


enum Kind : std::uint8_t { kCensored = 0, kInterest = 1, kCompeting = 2 };

// The cases sorted by week; blocks are the runs of one week.
struct Cases {
  std::size_t n = 0;
  std::size_t q = 0;
  std::vector<double> x;             // sorted, the chosen columns centred: n * q
  std::vector<std::uint8_t> kind;    // sorted
  std::vector<std::size_t> start;    // blocks + 1
  std::vector<double> censoring;     // G per block, before its censorings
  std::vector<double> atRisk;        // n_v per block
  std::vector<double> censored;      // c_v
  std::vector<double> interest;      // d_v
  std::size_t Blocks() const { return censoring.size(); }
};

Cases SortCases(const CoxDesign& design) {
  Cases c;
  c.n = design.Rows();
  std::vector<std::size_t> order(c.n);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&design](std::size_t a, std::size_t b) { return design.week[a] < design.week[b]; });
  c.kind.resize(c.n);
  for (std::size_t i = 0; i < c.n; ++i) {
    const std::size_t row = order[i];
    c.kind[i] = design.event[row] ? kInterest : row < design.competing.size() && design.competing[row] ? kCompeting
                                                                                                      : kCensored;
    if (i == 0 || design.week[row] != design.week[order[i - 1]]) c.start.push_back(i);
  }
  c.start.push_back(c.n);
  double g = 1;
  for (std::size_t b = 0; b + 1 < c.start.size(); ++b) {
    double censored = 0, interest = 0;
    for (std::size_t i = c.start[b]; i < c.start[b + 1]; ++i) {
      censored += c.kind[i] == kCensored ? 1 : 0;
      interest += c.kind[i] == kInterest ? 1 : 0;
    }
    const double atRisk = static_cast<double>(c.n - c.start[b]);
    c.censoring.push_back(g);
    c.atRisk.push_back(atRisk);
    c.censored.push_back(censored);
    c.interest.push_back(interest);
    g *= (atRisk - censored) / atRisk;
  }
  // Every column, sorted and centred; PickColumns keeps the chosen ones.
  const std::size_t p = design.columns.size();
  std::vector<double> mean(p, 0);
  for (std::size_t i = 0; i < c.n; ++i) {
    for (std::size_t k = 0; k < p; ++k) mean[k] += design.x[i * p + k];
  }
  for (double& m : mean) m /= static_cast<double>(std::max<std::size_t>(c.n, 1));
  c.q = p;
  c.x.resize(c.n * p);
  for (std::size_t i = 0; i < c.n; ++i) {
    const double* row = design.x.data() + order[i] * p;
    for (std::size_t k = 0; k < p; ++k) c.x[i * p + k] = row[k] - mean[k];
  }
  return c;
}

void PickColumns(Cases& c, const std::vector<int>& columns) {
  const std::size_t q = columns.size();
  std::vector<double> x(c.n * q);
  for (std::size_t i = 0; i < c.n; ++i) {
    for (std::size_t k = 0; k < q; ++k) x[i * q + k] = c.x[i * c.q + static_cast<std::size_t>(columns[k])];
  }
  c.x = std::move(x);
  c.q = q;
}

// The columns that are no combination of the columns before them (all of c's columns).
std::vector<int> IndependentColumns(const CoxDesign& design, const Cases& c, std::vector<std::string>& notes) {
  const std::size_t p = c.q;
  std::vector<double> cross(p * p, 0);
  for (std::size_t i = 0; i < c.n; ++i) {
    const double* xi = c.x.data() + i * p;
    for (std::size_t k = 0; k < p; ++k) {
      for (std::size_t j = k; j < p; ++j) cross[k * p + j] += xi[k] * xi[j];
    }
  }
  const std::vector<int> kept = IndependentOfEarlierColumns(cross, p);
  for (std::size_t j = 0; j < p; ++j) {
    if (!std::binary_search(kept.begin(), kept.end(), static_cast<int>(j))) {
      notes.push_back(design.columns[j] + ": 他の項の組み合わせ (一定値を含む) のため推定しません");
    }
  }
  return kept;
}

// False when U_k has no root: in one direction every death of interest has the highest x_k
// among the cases of positive weight in its risk set (those followed to its week and the
// competing deaths before it; G is positive in every week that holds a case).
bool HasRoot(const Cases& c, std::size_t k) {
  const std::size_t blocks = c.Blocks();
  // The highest and lowest x_k of the competing deaths before each block.
  std::vector<double> high(blocks), low(blocks);
  double h = -std::numeric_limits<double>::infinity(), l = std::numeric_limits<double>::infinity();
  for (std::size_t b = 0; b < blocks; ++b) {
    high[b] = h;
    low[b] = l;
    for (std::size_t i = c.start[b]; i < c.start[b + 1]; ++i) {
      if (c.kind[i] != kCompeting) continue;
      h = std::max(h, c.x[i * c.q + k]);
      l = std::min(l, c.x[i * c.q + k]);
    }
  }
  bool someBelow = false, someAbove = false;
  h = -std::numeric_limits<double>::infinity();
  l = std::numeric_limits<double>::infinity();
  for (std::size_t b = blocks; b-- > 0;) {
    for (std::size_t i = c.start[b]; i < c.start[b + 1]; ++i) {
      h = std::max(h, c.x[i * c.q + k]);
      l = std::min(l, c.x[i * c.q + k]);
    }
    for (std::size_t i = c.start[b]; i < c.start[b + 1]; ++i) {
      if (c.kind[i] != kInterest) continue;
      someBelow = someBelow || std::max(h, high[b]) > c.x[i * c.q + k];
      someAbove = someAbove || std::min(l, low[b]) < c.x[i * c.q + k];
    }
  }
  return someBelow && someAbove;
}

struct Evaluation {
  double logLik = 0;
  std::vector<double> score;
  std::vector<double> information;
  std::vector<double> s0;  // per block, at event blocks
  std::vector<double> s1;  // per block * q
  std::vector<double> e;   // per case: e^(x' beta)
};

Evaluation Evaluate(const Cases& c, const std::vector<double>& beta) {
  const std::size_t q = c.q, blocks = c.Blocks();
  Evaluation ev;
  ev.score.assign(q, 0);
  ev.information.assign(q * q, 0);
  ev.s0.assign(blocks, 0);
  ev.s1.assign(blocks * q, 0);
  ev.e.resize(c.n);
  for (std::size_t i = 0; i < c.n; ++i) {
    double eta = 0;
    for (std::size_t k = 0; k < q; ++k) eta += c.x[i * q + k] * beta[k];
    ev.e[i] = std::exp(eta);
    if (c.kind[i] == kInterest) {
      ev.logLik += eta;
      for (std::size_t k = 0; k < q; ++k) ev.score[k] += c.x[i * q + k];
    }
  }
  // The competing deaths before each block, each over G of its week: S = R + G_t C.
  std::vector<double> c1(q, 0);
  double c0 = 0;
  for (std::size_t b = 0; b < blocks; ++b) {
    ev.s0[b] = c0 * c.censoring[b];
    for (std::size_t k = 0; k < q; ++k) ev.s1[b * q + k] = c1[k] * c.censoring[b];
    for (std::size_t i = c.start[b]; i < c.start[b + 1]; ++i) {
      if (c.kind[i] != kCompeting) continue;
      const double a = ev.e[i] / c.censoring[b];
      c0 += a;
      for (std::size_t k = 0; k < q; ++k) c1[k] += a * c.x[i * q + k];
    }
  }
  // The cases followed to each block, from the last.
  std::vector<double> r1(q, 0);
  double r0 = 0;
  for (std::size_t b = blocks; b-- > 0;) {
    for (std::size_t i = c.start[b]; i < c.start[b + 1]; ++i) {
      r0 += ev.e[i];
      for (std::size_t k = 0; k < q; ++k) r1[k] += ev.e[i] * c.x[i * q + k];
    }
    if (c.interest[b] == 0) continue;
    ev.s0[b] += r0;
    const double d = c.interest[b];
    ev.logLik -= d * std::log(ev.s0[b]);
    for (std::size_t k = 0; k < q; ++k) {
      ev.s1[b * q + k] += r1[k];
      ev.score[k] -= d * ev.s1[b * q + k] / ev.s0[b];
    }
  }
  // sum_t d_t S2 / S0 = sum_i e_i x_i x_i' (sum over t <= T_i of lambda_t, and for a competing
  // death G_t lambda_t / G_T_i over t > T_i): one pass over the cases.
  std::vector<double> upTo(blocks), after(blocks);
  double sum = 0;
  for (std::size_t b = 0; b < blocks; ++b) {
    if (c.interest[b] > 0) sum += c.interest[b] / ev.s0[b];
    upTo[b] = sum;
  }
  sum = 0;
  for (std::size_t b = blocks; b-- > 0;) {
    after[b] = sum;
    if (c.interest[b] > 0) sum += c.censoring[b] * c.interest[b] / ev.s0[b];
  }
  for (std::size_t b = 0; b < blocks; ++b) {
    for (std::size_t i = c.start[b]; i < c.start[b + 1]; ++i) {
      const double weight =
          ev.e[i] * (upTo[b] + (c.kind[i] == kCompeting ? after[b] / c.censoring[b] : 0));
      const double* xi = c.x.data() + i * q;
      for (std::size_t k = 0; k < q; ++k) {
        const double wx = weight * xi[k];
        for (std::size_t j = k; j < q; ++j) ev.information[k * q + j] += wx * xi[j];
      }
    }
    if (c.interest[b] == 0) continue;
    const double d = c.interest[b], s0 = ev.s0[b];
    for (std::size_t k = 0; k < q; ++k) {
      for (std::size_t j = k; j < q; ++j) {
        ev.information[k * q + j] -= d * ev.s1[b * q + k] * ev.s1[b * q + j] / (s0 * s0);
      }
    }
  }
  for (std::size_t k = 0; k < q; ++k) {
    for (std::size_t j = 0; j < k; ++j) ev.information[k * q + j] = ev.information[j * q + k];
  }
  return ev;
}

// sum_i r_i r_i' at the evaluation's beta (see the header).
std::vector<double> SandwichMeat(const Cases& c, const Evaluation& ev) {
  const std::size_t q = c.q, blocks = c.Blocks();
  std::vector<double> lambda(blocks, 0), xbar(blocks * q, 0);
  for (std::size_t b = 0; b < blocks; ++b) {
    if (c.interest[b] == 0) continue;
    lambda[b] = c.interest[b] / ev.s0[b];
    for (std::size_t k = 0; k < q; ++k) xbar[b * q + k] = ev.s1[b * q + k] / ev.s0[b];
  }
  // Through block b: L = sum lambda_t, B = sum lambda_t xbar_t; from block b on (>=):
  // LG = sum G_t lambda_t, BG = sum G_t lambda_t xbar_t (block count + 1 entries).
  std::vector<double> cumL(blocks), cumB(blocks * q), laterL(blocks + 1, 0), laterB((blocks + 1) * q, 0);
  {
    double l = 0;
    std::vector<double> bsum(q, 0);
    for (std::size_t b = 0; b < blocks; ++b) {
      l += lambda[b];
      cumL[b] = l;
      for (std::size_t k = 0; k < q; ++k) {
        bsum[k] += lambda[b] * xbar[b * q + k];
        cumB[b * q + k] = bsum[k];
      }
    }
    for (std::size_t b = blocks; b-- > 0;) {
      const double gl = c.censoring[b] * lambda[b];
      laterL[b] = laterL[b + 1] + gl;
      for (std::size_t k = 0; k < q; ++k) laterB[b * q + k] = laterB[(b + 1) * q + k] + gl * xbar[b * q + k];
    }
  }
  std::vector<double> meat(q * q, 0), r(q), psi(q, 0), qu(q), cx(q, 0);
  double c0 = 0;  // sum over the competing deaths so far of e_j / G_T_j; cx the same times x_j
  for (std::size_t b = 0; b < blocks; ++b) {
    const double n = c.atRisk[b];
    std::fill(qu.begin(), qu.end(), 0);
    if (c.censored[b] > 0) {
      for (std::size_t k = 0; k < q; ++k) {
        qu[k] = (cx[k] * laterL[b] - c0 * laterB[b * q + k]) / n;  // q(u) / n_u
        psi[k] -= c.censored[b] * qu[k] / n;
      }
    }
    const double inverseG = 1 / c.censoring[b];
    for (std::size_t i = c.start[b]; i < c.start[b + 1]; ++i) {
      const double* xi = c.x.data() + i * q;
      const double e = ev.e[i];
      for (std::size_t k = 0; k < q; ++k) {
        double v = -e * (xi[k] * cumL[b] - cumB[b * q + k]) + psi[k];
        if (c.kind[i] == kInterest) v += xi[k] - xbar[b * q + k];
        if (c.kind[i] == kCompeting) v -= e * inverseG * (xi[k] * laterL[b + 1] - laterB[(b + 1) * q + k]);
        if (c.kind[i] == kCensored) v += qu[k];
        r[k] = v;
      }
      for (std::size_t k = 0; k < q; ++k) {
        for (std::size_t j = k; j < q; ++j) meat[k * q + j] += r[k] * r[j];
      }
    }
    for (std::size_t i = c.start[b]; i < c.start[b + 1]; ++i) {
      if (c.kind[i] != kCompeting) continue;
      const double a = ev.e[i] * inverseG;
      c0 += a;
      for (std::size_t k = 0; k < q; ++k) cx[k] += a * c.x[i * q + k];
    }
  }
  for (std::size_t k = 0; k < q; ++k) {
    for (std::size_t j = 0; j < k; ++j) meat[k * q + j] = meat[j * q + k];
  }
  return meat;
}

}  // namespace

AdjustedFineGray FitFineGrayModel(const CoxDesign& design) {
  // The censoring weights are read case by case.
  if (!design.count.empty()) return FitFineGrayModel(ExpandedRows(design));
  AdjustedFineGray out;
  out.dropped = design.dropped;
  if (!design.refusal.empty()) {
    out.refusal = design.refusal;
    return out;
  }
  const std::size_t p = design.columns.size();
  out.n = static_cast<std::int64_t>(design.Rows());
  for (std::size_t i = 0; i < design.Rows(); ++i) {
    out.events += design.event[i] ? 1 : 0;
    out.competing += !design.event[i] && i < design.competing.size() && design.competing[i] ? 1 : 0;
  }
  for (const std::string& name : design.columns) out.terms.push_back({.name = name});
  if (static_cast<std::int64_t>(p) > out.events) {
    out.refusal = "項の数 " + FormatNumber(static_cast<double>(p)) + " が死亡数 " +
                  FormatNumber(static_cast<double>(out.events)) + " を超えるため、モデルを推定しません";
    return out;
  }
  Cases c = SortCases(design);
  std::vector<std::string> notes;
  std::vector<int> columns = IndependentColumns(design, c, notes);
  {
    std::vector<int> rooted;
    for (const int k : columns) {
      if (HasRoot(c, static_cast<std::size_t>(k))) {
        rooted.push_back(k);
      } else {
        notes.push_back(design.columns[static_cast<std::size_t>(k)] +
                        ": 推定方程式が有限の解を持たない (どの死亡も危険集合の端の値) ため推定しません");
      }
    }
    columns = std::move(rooted);
  }
  for (const std::string& line : notes) out.note += line + "\n";
  PickColumns(c, columns);
  const std::size_t q = c.q;
  std::vector<double> beta(q, 0);
  Evaluation at = Evaluate(c, beta);
  out.logPseudoLik = at.logLik;
  if (q == 0) return out;

  std::vector<double> factor = at.information;
  if (!Cholesky(factor, q)) {
    out.refusal = "情報行列が正定値でないため、モデルを推定しません";
    return out;
  }
  std::vector<double> step = at.score;
  CholeskySolve(factor, q, step.data());
  const NewtonOutcome newton = NewtonAscent([&](const std::vector<double>& b) { return Evaluate(c, b); }, beta, at, std::move(step));
  out.iterations = newton.iterations;
  const bool converged = newton.converged;
  factor = at.information;
  if (!converged || !Cholesky(factor, q)) {
    out.refusal = "推定方程式の解が求まらないため、モデルを推定しません";
    return out;
  }
  out.logPseudoLik = at.logLik;
  // V = I^-1 M I^-1.
  std::vector<double> inverse(q * q, 0);
  for (std::size_t k = 0; k < q; ++k) {
    inverse[k * q + k] = 1;
    CholeskySolve(factor, q, &inverse[k * q]);
  }
  const std::vector<double> meat = SandwichMeat(c, at);
  for (std::size_t k = 0; k < q; ++k) {
    // (I^-1 M I^-1)_kk = sum_ij inverse_ki M_ij inverse_jk
    double variance = 0;
    for (std::size_t i = 0; i < q; ++i) {
      for (std::size_t j = 0; j < q; ++j) variance += inverse[k * q + i] * meat[i * q + j] * inverse[j * q + k];
    }
    CoxTerm& term = out.terms[static_cast<std::size_t>(columns[k])];
    term.estimated = true;
    term.beta = beta[k];
    term.hr = std::exp(term.beta);
    if (!(variance > 0)) {
      term.lower = term.upper = term.z = term.p = std::numeric_limits<double>::quiet_NaN();
      continue;
    }
    term.se = std::sqrt(variance);
    term.lower = std::exp(term.beta - kNormalQuantile975 * term.se);
    term.upper = std::exp(term.beta + kNormalQuantile975 * term.se);
    term.z = term.beta / term.se;
    term.p = std::erfc(std::abs(term.z) / std::sqrt(2.0));
  }
  return out;
}

}  // namespace orv
