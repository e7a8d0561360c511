// The Cholesky factor of a small symmetric positive definite matrix (the information matrix
// of a model of a few dozen terms), row-major q * q, and solving with it.
#pragma once

#include <cstddef>
#include <vector>

namespace orv {

// In place: the lower factor L with A = L L' (the upper triangle zeroed); false when a pivot
// is not positive, A then left in part overwritten.
bool Cholesky(std::vector<double>& a, std::size_t q);

// Solves L L' y = b in place.
void CholeskySolve(const std::vector<double>& l, std::size_t q, double* b);

}  // namespace orv
