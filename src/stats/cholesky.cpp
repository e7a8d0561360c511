// The Cholesky factor of a small symmetric matrix and solving with it.
#include "stats/cholesky.h"

#include <cmath>

namespace orv {

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

std::vector<int> IndependentOfEarlierColumns(const std::vector<double>& cross, std::size_t p) {
  constexpr double kCollinear = 1e-9;
  std::vector<int> kept;
  std::vector<double> l(p * p, 0);
  for (std::size_t j = 0; j < p; ++j) {
    double d = cross[j * p + j];
    for (const int k : kept) d -= l[j * p + static_cast<std::size_t>(k)] * l[j * p + static_cast<std::size_t>(k)];
    if (!(d > kCollinear * cross[j * p + j]) || !(cross[j * p + j] > 0)) continue;
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

}  // namespace orv
