// The logarithm of a long product of positive factors, as the Cox likelihoods sum them: one
// logarithm per run of factors instead of per factor, the run ending before the product can
// leave the range of a double.
#pragma once

#include <cmath>

namespace orv {

class LogOfProduct {
 public:
  void Multiply(double factor) {
    product_ *= factor;
    if (product_ > 1e250 || product_ < 1e-250) Flush();
  }
  double Sum() {
    Flush();
    return sum_;
  }

 private:
  void Flush() {
    sum_ += std::log(product_);
    product_ = 1;
  }
  double product_ = 1;
  double sum_ = 0;
};

}  // namespace orv
