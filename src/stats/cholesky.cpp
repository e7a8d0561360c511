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

}  // namespace orv
