// The reviewer's figures as JSON members.
#include "cli/reviewer_output.h"

#include <optional>
#include <string_view>

#include "words/json_names.h"

namespace orv::cli {
namespace {

void WriteNumber(JsonWriter& json, bool known, double value) {
  if (known) {
    json.Double(value);
  } else {
    json.Null();
  }
}

void WriteOptionalMember(JsonWriter& json, std::string_view name, const std::optional<double>& value) {
  json.Key(name);
  WriteNumber(json, value.has_value(), value.value_or(0));
}

}  // namespace

void WriteReviewerMembers(JsonWriter& json, const Workspace& ws) {
  const ReviewerResults& r = ws.run.reviewer;
  json.Key(json_name::kLogRank);
  if (r.shownGroups < 2) {
    json.Null();
  } else {
    json.BeginObject();
    json.Key(json_name::kStatistic);
    WriteNumber(json, r.logRank.tested, r.logRank.statistic);
    json.Key(json_name::kDf);
    if (r.logRank.tested) {
      json.Integer(r.logRank.df);
    } else {
      json.Null();
    }
    json.Key(json_name::kP);
    WriteNumber(json, r.logRank.tested, r.logRank.p);
    json.Member(json_name::kLastWeek, r.lastWeek);
    json.EndObject();
  }
  json.Key("reference");
  if (r.reference == 0) {
    json.Null();
  } else {
    json.Integer(r.reference);
  }
  json.Key(json_name::kReferenceRatios);
  json.BeginArray();
  for (const ReferenceRatio& ratio : r.referenceRatios) {
    const HazardRatio& h = ratio.ratio;
    json.BeginObject();
    json.Member("group", ratio.group);
    json.Key(json_name::kHazardRatio);
    WriteNumber(json, h.estimated, h.hr);
    json.Key(json_name::kLower);
    WriteNumber(json, h.estimated, h.lower);
    json.Key(json_name::kUpper);
    WriteNumber(json, h.estimated, h.upper);
    json.Key(json_name::kP);
    WriteNumber(json, h.estimated, h.p);
    json.Key("phStatistic");
    WriteNumber(json, ratio.ph.tested, ratio.ph.statistic);
    json.Key(json_name::kPhP);
    WriteNumber(json, ratio.ph.tested, ratio.ph.p);
    json.EndObject();
  }
  json.EndArray();
}

void WriteReviewerGroupMembers(JsonWriter& json, const Workspace& ws, int g) {
  const ReviewerResults& r = ws.run.reviewer;
  const auto gi = static_cast<std::size_t>(g);
  json.Member(json_name::kEvents, r.events[gi]);
  json.Member(json_name::kEventsInWindow, r.eventsInWindow[gi]);
  json.Key(json_name::kRmst);
  const RestrictedMean& m = r.rmst[gi];
  if (!m.estimated) {
    json.Null();
  } else {
    json.BeginObject();
    json.Member(json_name::kTau, m.tau);
    json.Member(json_name::kEstimate, m.estimate);
    json.Member("stdErr", m.stdErr);
    json.Member(json_name::kLower, m.lower);
    json.Member(json_name::kUpper, m.upper);
    json.EndObject();
  }
  json.Key(json_name::kFollowUp);
  if (r.cases[gi] == 0) {
    json.Null();
  } else {
    const MedianEstimate& f = r.followUp[gi];
    json.BeginObject();
    WriteOptionalMember(json, json_name::kMedian, f.week);
    WriteOptionalMember(json, json_name::kLower, f.lower);
    WriteOptionalMember(json, json_name::kUpper, f.upper);
    json.EndObject();
  }
}

void WriteReviewerPairMembers(JsonWriter& json, const Workspace& ws, int a, int b) {
  const auto ai = static_cast<std::size_t>(a);
  const auto bi = static_cast<std::size_t>(b);
  const ProportionalHazardsTest& ph = ws.run.reviewer.pairPh[ai][bi];
  json.Key("phStatistic");
  WriteNumber(json, ph.tested, ph.statistic);
  json.Key("phP");
  WriteNumber(json, ph.tested, ph.p);
  json.Key(json_name::kRmstDifference);
  const RestrictedMeanDifference& d = ws.run.reviewer.rmstDifference[ai][bi];
  if (!d.estimated) return json.Null();
  json.BeginObject();
  json.Member(json_name::kEstimate, d.estimate);
  json.Member(json_name::kLower, d.lower);
  json.Member(json_name::kUpper, d.upper);
  json.Member(json_name::kP, d.p);
  json.EndObject();
}

}  // namespace orv::cli
