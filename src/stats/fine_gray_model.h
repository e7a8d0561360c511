// The Fine-Gray subdistribution model of several terms (Fine and Gray 1999, JASA 94:496-509)
// over per-case arrays: the group factor and covariates of a Cox design, its deaths those of
// interest, its competing deaths (CoxDesign::competing) kept in the risk sets with falling
// weight, as cmprsk's crr with a covariate matrix cov1 and the robust (sandwich) variance.
// The conventions are those of the two-group ratio (stats/fine_gray.h); there is no strata.
//
// Cases i with week T_i, x_i (p columns, centred), e_i = e^(x_i' beta). G is the Kaplan-Meier
// estimate of the censoring distribution over every case, G_v its value before week v (a case
// censored in week v leaves after its deaths; G_0 = 1). The weight of case i in week t is
//   w_i(t) = 1 while followed (t <= T_i), G_t / G_T_i after a competing death (t > T_i), else 0.
// Per week t with d_t deaths of interest D_t, the week's ties one risk set (Breslow):
//   S0 = sum_i w_i(t) e_i,  S1 = sum w e x,  S2 = sum w e x x',  xbar_t = S1 / S0,
//   lambda_t = d_t / S0 (the baseline's step);
//   log pseudo-likelihood  l(beta) = sum_t [ sum_D_t x_i' beta - d_t log S0 ]
//   score                  U(beta) = sum_t [ sum_D_t x_i - d_t xbar_t ]
//   information            I(beta) = sum_t d_t [ S2 / S0 - xbar_t xbar_t' ].
// The weights do not depend on beta: l is concave, and Newton-Raphson from beta = 0 with
// step halving climbs it as the Cox model does (stats/cox_model.h).
// The robust variance is I^-1 [ sum_i r_i r_i' ] I^-1 (crr's crrvv), r_i = eta_i + psi_i:
//   eta_i = [i died of interest] (x_i - xbar_T_i) - sum_t w_i(t) e_i lambda_t (x_i - xbar_t),
//   psi_i = sum over weeks u <= T_i of q(u) / n_u ([i censored in u] - c_u / n_u),
//   q(u)  = sum over the competing deaths j before week u, and over t >= u, of
//           (G_t / G_T_j) e_j lambda_t (x_j - xbar_t),
// n_u the cases at risk and c_u those censored in week u.
// Bad designs, as in the Cox model: a column that is a combination of those before it (after
// centring) is dropped with a note. U_k falls in beta_k; it has a root only when some death of
// interest has a higher x_k than another case of positive weight in its risk set and some
// death a lower one: otherwise the column has no estimate and is left out with a note. A fit
// that climbs without converging (a combination of terms without a root) is refused, as is a
// model with more columns than deaths of interest.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stats/cox_model.h"

namespace orv {

// The subdistribution model of the group factor plus the covariates, with the robust
// (sandwich) standard errors.
struct AdjustedFineGray {
  std::string refusal;
  std::vector<CoxTerm> terms;  // se is the robust one; with a robust variance of 0, the
                               // interval and p are NaN (as crr: no residual at all)
  std::int64_t n = 0;
  std::int64_t events = 0;     // deaths of the causes counted as deaths
  std::int64_t competing = 0;  // deaths of the causes counted as censored
  std::int64_t dropped = 0;
  std::string note;
  double logPseudoLik = 0;
  int iterations = 0;
};

AdjustedFineGray FitFineGrayModel(const CoxDesign& design);

}  // namespace orv
