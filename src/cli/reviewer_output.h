// The reviewer's figures in the batch command's outputs: their JSON members, the text
// section after the figures for publication, and medians.csv and hazard-ratios.csv.
#pragma once

#include <string>

#include "cli/json_writer.h"
#include "session/workspace.h"

namespace orv::cli {

// Top level: logRank {statistic, df, p, lastWeek} (null with fewer than two shown groups),
// reference (null without a shown group) and referenceRatios [{group, hazardRatio, lower,
// upper, p, phStatistic, phP}].
void WriteReviewerMembers(JsonWriter& json, const Workspace& ws);
// Per group: events, rmst {tau, estimate, stdErr, lower, upper} and followUp {median,
// lower, upper}; null where there is none.
void WriteReviewerGroupMembers(JsonWriter& json, const Workspace& ws, int g);
// Per pair a < b: phStatistic, phP and rmstDifference {estimate, lower, upper, p} of b - a.
void WriteReviewerPairMembers(JsonWriter& json, const Workspace& ws, int a, int b);

// The text section (UTF-8, LF line ends): the weeks of the tests and the censored causes,
// the standard log-rank p, medians with their known limits and events/cases, median
// follow-up, the hazard ratios against the reference with their proportional-hazards
// check, the restricted mean survival times and their differences.
std::string ReviewerText(const Workspace& ws);

// medians.csv and hazard-ratios.csv in code page 932 (CR LF line ends): per group 0..
// NumGroups its cases, events, median and limits in weeks and as periods; per reference
// ratio the groups, their events/cases, the ratio, its interval, p and check.
std::string MediansCsv(const Workspace& ws);
std::string HazardRatiosCsv(const Workspace& ws);

}  // namespace orv::cli
