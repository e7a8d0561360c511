// The names of the batch command's JSON members that the paper's trace points to, each spelt
// once: the JSON writer writes these members under these names and the trace builds its paths
// from them, so a member renamed is renamed in both. A member no figure of the paper names is
// spelt where it is written.
#pragma once

#include <string>
#include <string_view>

namespace orv::json_name {

// Top level.
inline constexpr std::string_view kCounters = "counters";
inline constexpr std::string_view kGroups = "groups";
inline constexpr std::string_view kOverall = "overall";
inline constexpr std::string_view kPairs = "pairs";
inline constexpr std::string_view kLogRank = "logRank";
inline constexpr std::string_view kReferenceRatios = "referenceRatios";
inline constexpr std::string_view kCompetingRisks = "competingRisks";
inline constexpr std::string_view kModel = "model";

// counters {total, excluded, corrected, notes [{rows}]}; overall {shownGroups}.
inline constexpr std::string_view kTotal = "total";
inline constexpr std::string_view kExcluded = "excluded";
inline constexpr std::string_view kCorrected = "corrected";
inline constexpr std::string_view kNotes = "notes";
inline constexpr std::string_view kRows = "rows";
inline constexpr std::string_view kShownGroups = "shownGroups";

// A group: cases, events, eventsInWindow, lastEventWeek, median {week}, followUp {median}, at5y {survival} and rmst {tau,
// estimate}, each estimate with its lower and upper limits.
inline constexpr std::string_view kCases = "cases";
inline constexpr std::string_view kEvents = "events";
inline constexpr std::string_view kEventsInWindow = "eventsInWindow";
inline constexpr std::string_view kLastEventWeek = "lastEventWeek";
inline constexpr std::string_view kMedian = "median";
inline constexpr std::string_view kWeek = "week";
inline constexpr std::string_view kFollowUp = "followUp";
inline constexpr std::string_view kAt5y = "at5y";
inline constexpr std::string_view kSurvival = "survival";
inline constexpr std::string_view kRmst = "rmst";
inline constexpr std::string_view kTau = "tau";
inline constexpr std::string_view kEstimate = "estimate";
inline constexpr std::string_view kLower = "lower";
inline constexpr std::string_view kUpper = "upper";

// The tests and ratios: logRank {statistic, df, p, lastWeek}, a reference ratio {hazardRatio,
// p, phP}, a pair's rmstDifference {estimate, p}.
inline constexpr std::string_view kStatistic = "statistic";
inline constexpr std::string_view kDf = "df";
inline constexpr std::string_view kP = "p";
inline constexpr std::string_view kLastWeek = "lastWeek";
inline constexpr std::string_view kHazardRatio = "hazardRatio";
inline constexpr std::string_view kPhP = "phP";
inline constexpr std::string_view kRmstDifference = "rmstDifference";

// competingRisks {groups [{at5y {incidence}}], grayTest {p}, pairs [{subHazardRatio, p}]}.
inline constexpr std::string_view kIncidence = "incidence";
inline constexpr std::string_view kGrayTest = "grayTest";
inline constexpr std::string_view kSubHazardRatio = "subHazardRatio";

// model {terms [{hazardRatio, lower, upper, p}], tests {likelihoodRatio, wald, score {statistic, df, p}},
// factorTests, n, events, concordance, stratifiedLogRank, subgroups}; competingRisks.adjusted {terms}.
inline constexpr std::string_view kTerms = "terms";
inline constexpr std::string_view kTests = "tests";
inline constexpr std::string_view kLikelihoodRatio = "likelihoodRatio";
inline constexpr std::string_view kWald = "wald";
inline constexpr std::string_view kScore = "score";
inline constexpr std::string_view kAdjusted = "adjusted";
inline constexpr std::string_view kReferences = "references";
inline constexpr std::string_view kDropped = "dropped";
inline constexpr std::string_view kFactorTests = "factorTests";
inline constexpr std::string_view kStratifiedLogRank = "stratifiedLogRank";
inline constexpr std::string_view kSubgroups = "subgroups";
inline constexpr std::string_view kInteraction = "interaction";

// A week of a group's estimates: groups[g].weeks[w] {km, lower, upper}, competingRisks.groups[g].weeks[w] {cif, lower, upper}.
inline constexpr std::string_view kWeeks = "weeks";
inline constexpr std::string_view kKm = "km";
inline constexpr std::string_view kCif = "cif";

// An element of an array: "groups[2]".
inline std::string Element(std::string_view array, int index) {
  return std::string(array) + "[" + std::to_string(index) + "]";
}

// Members within members: Path(Element(kGroups, 2), kMedian, kLower) is "groups[2].median.lower".
template <typename... Names>
std::string Path(std::string_view first, const Names&... names) {
  std::string path(first);
  ((path += ".", path += std::string_view(names)), ...);
  return path;
}

}  // namespace orv::json_name
