// The Cholesky factor of a small symmetric positive definite matrix (the information matrix
// of a model of a few dozen terms), row-major q * q, and solving with it.
#pragma once

#include <cstddef>
#include <vector>

namespace orv {

// In place: the lower factor L with A = L L' (the upper triangle zeroed); false when a pivot
// is not positive, A then left in part overwritten.
bool Cholesky(std::vector<double>& a, std::size_t q);

// The columns of a cross-product matrix (upper triangle, row-major p * p, of centred columns)
// that are no combination of the columns before them: a Cholesky factor in column order that
// skips a column whose remaining pivot is at most 1e-9 of its own square sum (a column of one
// value has none). The kept columns' indices, ascending.
std::vector<int> IndependentOfEarlierColumns(const std::vector<double>& cross, std::size_t p);

// Solves L L' y = b in place.
void CholeskySolve(const std::vector<double>& l, std::size_t q, double* b);

}  // namespace orv
