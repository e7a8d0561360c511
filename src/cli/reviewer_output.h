// The reviewer's figures as members of the batch command's JSON.
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

}  // namespace orv::cli
