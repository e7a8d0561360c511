// The pairwise tables: rows, Holm ranking and the text layout of both result windows.
#include "words/pairwise_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "stats/chi_square.h"
#include "words/format.h"
#include "text/number_text.h"
#include "text/truncate.h"

namespace orv {

namespace {

// 1 - (1 - p)^m, formed so that a single pair gives p itself: the plain formula leaves
// 0.19999999999999996 for p = 0.2, which the cut to four decimals shows as 0.1999.
double SidakAdjusted(double p, int m) {
  if (m == 1) return p;
  return -std::expm1(m * std::log1p(-p));
}

constexpr const char* kHeadingRule = "- - - - - - - - - - - - - - - - - - - - - - - - - - - - - -";
constexpr const char* kEndRule = "- - - - - - - - - - - - - - - - - -";
constexpr const char* kBlankHolm = "         ";
constexpr double kWilcoxonAlpha = 0.1;

struct WorkingRow {
  std::size_t row;  // the pair's row in the table
  double statistic;
  double p;
};

// The ranking key: a pair without a statistic ranks below every real one.
double RankKey(double statistic) {
  return std::isnan(statistic) ? -std::numeric_limits<double>::infinity() : statistic;
}

std::string TableText(const AnalysisResults& r, const std::vector<PairRow>& rows, bool withStatistic) {
  std::string text;
  const std::string end = "\r\n";
  text.append(std::string("\t\t\t") + (withStatistic ? "General Wilcoxon" : "log-rank") + "\t" + end);
  text.append(std::string("\t") + kHeadingRule + end);
  text.append(std::string("\t組み合せ\tBonFerroni\tHolm    \tSaidak     ") + (withStatistic ? "\t\t 統計量" : "") + end);
  for (const PairRow& row : rows) {
    std::string line = "\t" + row.label + "\t" + row.bonferroni + "\t" + row.holm + "\t" + row.sidak;
    if (withStatistic) line += "\t\t" + row.statistic;
    text.append(line + end);
  }
  text.append(std::string("\t") + kHeadingRule + end);
  for (int g = 1; g <= LastGroup(r.cases); ++g) {
    if (!r.shown.Contains(g)) continue;
    text.append(After("\t\t", TwoWide(g)) + " :  " + r.texts[static_cast<std::size_t>(g)][kLabel] + end);
  }
  text.append(std::string("\t") + kEndRule + end);
  return text;
}

}  // namespace

std::string PairLabel(double code) {
  // The first group is kept in 8 bits, as the codes of groups 1..20 always are.
  const int a = static_cast<std::uint8_t>(TruncToInt32(std::floor(code / 100)) & 0xFF);
  const int b = TruncToInt32(code - 100.0 * a);
  return TwoWide(a) + " - " + TwoWide(b);
}


std::vector<PairRow> BuildPairRows(const CaseData& cases, const GroupSet& shown, const PairTable& S, const PairTable& P,
                                   double alpha) {
  const int groups = LastGroup(cases);
  const int n = shown.CountIn(1, groups);
  const int m = n * (n - 1) / 2;

  std::vector<PairRow> rows;
  std::vector<WorkingRow> working;
  for (int a = 1; a < groups; ++a) {
    if (!shown.Contains(a)) continue;
    for (int b = a + 1; b <= groups; ++b) {
      if (!shown.Contains(b)) continue;
      const auto ai = static_cast<std::size_t>(a);
      const auto bi = static_cast<std::size_t>(b);
      const double code = 100.0 * a + b;
      // A pair without a statistic counts as not significant at all.
      const double p = std::isnan(S[ai][bi]) ? 1.0 : P[ai][bi];
      working.push_back({rows.size(), S[ai][bi], p});
      rows.push_back({PairLabel(code), StatisticText(S[ai][bi]), PairPText(m * p),
                      kBlankHolm, PairPText(SidakAdjusted(p, m))});
    }
  }

  // This exact exchange scheme fixes the order of equal statistics.
  for (std::size_t i = 0; i + 1 < working.size(); ++i) {
    for (std::size_t j = i + 1; j < working.size(); ++j) {
      if (RankKey(working[i].statistic) < RankKey(working[j].statistic)) std::swap(working[i], working[j]);
    }
  }

  double adjusted = 0;
  for (std::size_t i = 0; i < working.size(); ++i) {
    adjusted = std::max(adjusted, static_cast<double>(m - static_cast<int>(i)) * working[i].p);
    if (!(adjusted < alpha)) break;  // step-down: every later rank stays blank too
    rows[working[i].row].holm = PairPText(adjusted);
  }
  return rows;
}

std::string LogRankTable(const AnalysisResults& r) {
  const PairStats& p = r.tests.pairs;
  return TableText(r, BuildPairRows(r.cases, r.shown, p.LogRankChi2, p.LogRankP, r.tests.SignificanceLevel), false);
}

std::string WilcoxonTable(const AnalysisResults& r) {
  const PairStats& p = r.tests.pairs;
  return TableText(r, BuildPairRows(r.cases, r.shown, p.WilcoxonChi2, p.WilcoxonP, kWilcoxonAlpha), true);
}

}  // namespace orv
