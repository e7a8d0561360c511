// Periods as years and months, survival fractions as percentages.
#include "text/period_text.h"

#include "text/number_text.h"
#include "text/truncate.h"

namespace orv {

namespace {

std::string Last(const std::string& s, std::size_t n) { return s.size() <= n ? s : s.substr(s.size() - n); }

}  // namespace

std::string WeeksToYearsMonths(std::uint32_t weeks) {
  const double w = weeks;
  if (weeks < 5) {
    const std::int64_t tenths = TruncToInt64(w * 120 / kWeeksPerYear);
    return ("0." + FormatNumber(static_cast<double>(tenths))).substr(0, 3) + "m";
  }
  const std::int64_t years = TruncToInt64(w / kWeeksPerYear);
  const double rest = w - static_cast<double>(years) * kWeeksPerYear;
  const std::int64_t months = TruncToInt64(rest * 12 / kWeeksPerYear);
  // Years of three or more digits are shown whole rather than cut to their last two.
  std::string yearText = FormatNumber(static_cast<double>(years)) + "y";
  yearText = years < 100 ? Last("  " + yearText, 3) : yearText;
  return yearText + Last("  " + FormatNumber(static_cast<double>(months)), 2) + "m";
}

std::string PercentText(double fraction) {
  const std::int64_t v = CutToSteps(fraction, 3);
  const std::string digits = FormatNumber(static_cast<double>(v < 0 ? -v : v));
  std::string whole = digits.size() > 1 ? digits.substr(0, digits.size() - 1) : "0";
  if (v < 0) whole = "-" + whole;
  const std::string text = whole + "." + digits.back();
  return text.size() >= 5 ? text : std::string(5 - text.size(), ' ') + text;
}

}  // namespace orv
