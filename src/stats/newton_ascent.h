// Newton-Raphson ascent of a concave log (pseudo) likelihood over q coefficients, as both the
// Cox and the Fine-Gray models of several terms are fitted: from `beta` with its evaluation
// `at` and the first step I^-1 U, a step that does not raise the likelihood is halved (at most
// kMaxHalvings times), until the likelihood changes by at most 1e-10 relative or a step is
// zero. An evaluation has logLik, score (q) and information (q * q, row-major).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "stats/cholesky.h"

namespace orv {

struct NewtonOutcome {
  bool converged = false;
  int iterations = 0;
};

// `beta` and `at` end at the last point reached; `step` is the first step on entry.
template <typename Evaluation, typename Evaluate>
NewtonOutcome NewtonAscent(const Evaluate& evaluate, std::vector<double>& beta, Evaluation& at, std::vector<double> step) {
  constexpr int kMaxSteps = 50;
  constexpr int kMaxHalvings = 40;
  constexpr double kRelativeChange = 1e-10;
  const std::size_t q = beta.size();
  std::vector<double> next(q), factor;
  NewtonOutcome out;
  for (int iteration = 1; iteration <= kMaxSteps && !out.converged; ++iteration) {
    out.iterations = iteration;
    Evaluation tried;
    bool up = false;
    for (int h = 0; h <= kMaxHalvings && !up; ++h) {
      for (std::size_t k = 0; k < q; ++k) next[k] = beta[k] + step[k];
      tried = evaluate(next);
      up = tried.logLik >= at.logLik && std::isfinite(tried.logLik);
      if (!up) {
        for (double& v : step) v /= 2;
      }
    }
    // No step up even halved forty times: beta is the maximum as far as doubles tell.
    if (!up) break;
    out.converged = std::abs(tried.logLik - at.logLik) <= kRelativeChange * std::abs(at.logLik);
    beta = next;
    at = std::move(tried);
    factor = at.information;
    if (!Cholesky(factor, q)) break;
    step = at.score;
    CholeskySolve(factor, q, step.data());
    out.converged = out.converged || std::all_of(step.begin(), step.end(), [](double v) { return v == 0; });
  }
  return out;
}

}  // namespace orv
