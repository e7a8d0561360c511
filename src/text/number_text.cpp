// FormatNumber and ParseNumber: the digit algorithms are followed literally, because the C
// library's printf and strtod differ from them in the last digit for some values.
#include "text/number_text.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "text/truncate.h"

namespace orv {

std::string FormatNumber(double value) {
  if (std::isinf(value)) return value > 0 ? "1.#INF" : "-1.#INF";

  std::array<int, 15> digits{};
  int exponent = 0;
  bool negative = false;
  if (value != 0.0 && !std::isnan(value)) {
    negative = value < 0;
    double v = std::fabs(value);
    exponent = 1;
    while (v < 0.999999999999999) {
      v *= 10;
      --exponent;
    }
    while (v >= 9.99999999999999) {
      v /= 10;
      ++exponent;
    }
    for (int& d : digits) {
      double whole = std::floor(v);
      d = TruncToInt32(whole);
      v = (v - whole) * 10;
    }
    if (v >= 5) {
      int i = 14;
      while (i >= 0) {
        if (++digits[static_cast<std::size_t>(i)] < 10) break;
        digits[static_cast<std::size_t>(i)] = 0;
        --i;
      }
    }
  }

  std::string out;
  if (negative) out += '-';
  auto digit = [&](int i) { return static_cast<char>('0' + digits[static_cast<std::size_t>(i)]); };
  if (exponent > 15 || exponent < -3) {
    out += digit(0);
    out += '.';
    for (int i = 1; i < 15; ++i) out += digit(i);
    char buf[16];
    std::snprintf(buf, sizeof buf, exponent > 15 ? "e+%03d" : "e%03d", exponent - 1);
    out += buf;
    return out;
  }
  if (exponent > 0) {
    for (int i = 0; i < exponent; ++i) out += digit(i);
    out += '.';
    for (int i = exponent; i < 15; ++i) out += digit(i);
  } else {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent), '0');
    for (int i = 0; i < 15; ++i) out += digit(i);
  }
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out;
}

double ParseNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '&') {
    ++i;
    if (i >= text.size()) return 0;
    char kind = text[i];
    if (kind >= 'a' && kind <= 'z') kind = static_cast<char>(kind - 'a' + 'A');
    int base = kind == 'O' ? 8 : kind == 'H' ? 16 : 0;
    if (base == 0) return 0;
    ++i;
    std::size_t begin = i;
    auto digitValue = [&](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0' < base ? c - '0' : -1;
      if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
      if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
      return -1;
    };
    while (i < text.size() && digitValue(text[i]) >= 0) ++i;
    double sum = 0;
    // The place weight is a 64-bit integer that wraps: digits beyond the 16th hexadecimal
    // or the 22nd octal place from the right have a weight of 0 and add nothing.
    std::uint64_t weight = 1;
    for (std::size_t k = i; k > begin; --k) {
      sum += static_cast<double>(digitValue(text[k - 1])) * static_cast<double>(weight);
      weight *= static_cast<std::uint64_t>(base);
    }
    return sum;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  std::size_t begin = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  double value = 0;
  double weight = 1;
  for (std::size_t k = i; k > begin; --k) {
    value = (text[k - 1] - '0') * weight + value;
    weight *= 10;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    double divisor = 10;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      value += (text[i] - '0') / divisor;
      divisor *= 10;
      ++i;
    }
  }
  return negative ? -value : value;
}

}  // namespace orv
