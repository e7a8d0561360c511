// Short texts of periods and survival fractions used by the reports and tables.
#pragma once

#include <cstdint>
#include <string>

namespace orv {

// Every period is counted in whole weeks, a year in 52 of them.
inline constexpr int kWeeksPerYear = 52;
inline constexpr int kWeeksPerFiveYears = 5 * kWeeksPerYear;  // 260
inline constexpr int kWeeksPerTenYears = 10 * kWeeksPerYear;  // 520

// A period in weeks as years and months: "0.9m" below five weeks, else " 1y11m".
// Defined for the whole unsigned 16-bit range; above 13,311 weeks (255 years) the years
// are shown in full ("300y 0m") rather than wrapping.
std::string WeeksToYearsMonths(std::uint32_t weeks);

// A survival fraction as a percentage with one decimal, cut to it as CutToSteps cuts (a
// product a rounding error short of 0.8 still gives " 80.0"), right-aligned in five
// characters: 0.523 gives " 52.3", 1 gives "100.0".
std::string PercentText(double fraction);

}  // namespace orv
