// The words of the cumulative incidence figure.
#include "words/figure_text.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "words/format.h"

namespace orv {
namespace {

// The causes counted as censored or the others, joined by `separator` and the last two by `last`.
std::string CauseNames(const CaseData& cases, std::span<const std::string> labels, bool censored, std::string_view separator,
                       std::string_view last) {
  std::vector<std::string> names;
  for (int j = 1; j <= std::min(cases.NumCauses, kOverflowIndex); ++j) {
    const auto ji = static_cast<std::size_t>(j);
    if ((cases.CauseCensored[ji] == 1) == censored) names.push_back(LabelOr(labels, j, cases.CauseNames[ji]));
  }
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += i + 1 < names.size() ? separator : last;
    out += names[i];
  }
  return out;
}

}  // namespace

std::string IncidenceAxisTitle(const CaseData& cases, std::span<const std::string> causeLabels) {
  const std::string interest = CauseNames(cases, causeLabels, false, ", ", " or ");
  return interest.empty() ? "Cumulative incidence" : "Cumulative incidence of " + interest;
}

std::string IncidenceCausesText(const CaseData& cases, std::span<const std::string> causeLabels) {
  const std::string competing = CauseNames(cases, causeLabels, true, ", ", ", ");
  if (competing.empty()) return {};
  const std::string interest = CauseNames(cases, causeLabels, false, ", ", ", ");
  return interest.empty() ? "Competing: " + competing : "Event of interest: " + interest + "; competing: " + competing;
}

}  // namespace orv
