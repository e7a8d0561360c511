// The vocabulary of the words layer.
#include "words/format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "stats/chi_square.h"
#include "text/cp932.h"
#include "text/number_text.h"

namespace orv {

std::string PValueText(double p) {
  if (std::isnan(p)) return "p=n/a   ";
  const double v = CutDecimals(p, 4);
  if (v < 0.001) return "p<0.001 ";
  if (v > 0.5) return "p>0.5   ";
  return After("p=", FormatNumber(v)) + " ";
}

std::string PairPText(double p) {
  if (std::isnan(p)) return " n/a     ";
  const double v = CutDecimals(p, 4);
  if (v < 0.001) return "<0.001  ";
  if (v > 0.5) return " >0.5    ";
  return FormatNumber(v) + "  ";
}

std::string FigurePText(double p) { return p < 0.0001 ? "p<0.0001" : "p=" + FixedFigure(p, 4); }

std::string RoundedPText(double p) {
  if (!std::isfinite(p)) return "p = n/a";
  if (p < 0.001) return "p < 0.001";
  // Two significant figures: decimals from the leading digit's place, one fewer when the
  // rounding carries into the next place (0.0996 gives 0.10, not 0.100).
  int decimals = std::max(1, 1 - static_cast<int>(std::floor(std::log10(p))));
  const double rounded = std::round(p * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
  if (decimals > 1 && rounded >= std::pow(10.0, 2 - decimals)) --decimals;
  char text[32];
  std::snprintf(text, sizeof text, "p = %.*f", decimals, p);
  return text;
}

std::string RoundedPFigure(double p) {
  const std::string text = RoundedPText(p);
  return text.substr(text.starts_with("p = ") ? 4 : 2);
}

std::string StatisticText(double x) {
  if (std::isnan(x)) return "  n/a";
  if (x >= 100) return FormatNumber(CutDecimals(x, 3));
  if (x >= 10) return After(" ", FormatNumber(CutDecimals(x, 4)));
  if (x >= 1) return After("  ", FormatNumber(CutDecimals(x, 5)));
  return After("  ", FormatNumber(CutDecimals(x, 6)));
}

std::string PetoStatisticText(double x) {
  if (std::fabs(x) >= 1e7) return FormatNumber(CutDecimals(x, 0));
  return (FormatNumber(CutDecimals(x, 4)) + "  ").substr(0, 7);
}

std::string FixedFigure(double value, int decimals) {
  if (!std::isfinite(value)) return kNoFigure;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string s = text;
  std::replace(s.begin(), s.end(), ',', '.');
  return s;
}

std::string FigurePercent(double fraction) {
  return std::isfinite(fraction) ? FixedFigure(fraction * 100, 1) + " %" : kNoFigure;
}

std::string IntervalText(double estimate, double lower, double upper, int decimals, std::string_view dash) {
  return FixedFigure(estimate, decimals) + " (" + FixedFigure(lower, decimals) + " " + std::string(dash) + " " +
         FixedFigure(upper, decimals) + ")";
}

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string TwoWide(int n) {
  std::string text = "  " + FormatNumber(n);
  return text.substr(text.size() - 2);
}

std::string CsvField(const std::string& text) {
  // A spreadsheet program runs a cell that starts with one of these as a formula; a
  // leading apostrophe makes it text (and is not shown).
  const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
  if (!formula && text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = formula ? "\"'" : "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string CsvNumber(double value) { return std::isfinite(value) ? FormatNumber(value) : ""; }

std::string Utf8CsvFile(const std::string& cp932Csv) { return "\xEF\xBB\xBF" + Cp932ToUtf8(cp932Csv); }

std::string CensoredCauseNames(const CaseData& cases, std::string_view separator, std::span<const std::string> labels) {
  std::string names;
  for (int j = 1; j <= std::min(cases.NumCauses, kOverflowIndex); ++j) {
    if (cases.CauseCensored[static_cast<std::size_t>(j)] != 1) continue;
    if (!names.empty()) names += separator;
    names += LabelOr(labels, j, cases.CauseNames[static_cast<std::size_t>(j)]);
  }
  return names;
}

std::string LabelOr(std::span<const std::string> labels, int i, const std::string& name) {
  const auto at = static_cast<std::size_t>(i);
  return i >= 0 && at < labels.size() && !labels[at].empty() ? Utf8ToCp932(labels[at]).bytes : name;
}

}  // namespace orv
