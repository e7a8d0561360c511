// The reviewer's figures as JSON members.
#include "cli/reviewer_output.h"

#include <optional>


namespace orv::cli {
namespace {

void WriteNumber(JsonWriter& json, bool known, double value) {
  if (known) {
    json.Double(value);
  } else {
    json.Null();
  }
}

void WriteOptionalMember(JsonWriter& json, const char* name, const std::optional<double>& value) {
  json.Key(name);
  WriteNumber(json, value.has_value(), value.value_or(0));
}

}  // namespace

void WriteReviewerMembers(JsonWriter& json, const Workspace& ws) {
  const ReviewerResults& r = ws.run.reviewer;
  json.Key("logRank");
  if (r.shownGroups < 2) {
    json.Null();
  } else {
    json.BeginObject();
    json.Key("statistic");
    WriteNumber(json, r.logRank.tested, r.logRank.statistic);
    json.Key("df");
    if (r.logRank.tested) {
      json.Integer(r.logRank.df);
    } else {
      json.Null();
    }
    json.Key("p");
    WriteNumber(json, r.logRank.tested, r.logRank.p);
    json.Member("lastWeek", r.lastWeek);
    json.EndObject();
  }
  json.Key("reference");
  if (r.reference == 0) {
    json.Null();
  } else {
    json.Integer(r.reference);
  }
  json.Key("referenceRatios");
  json.BeginArray();
  for (const ReferenceRatio& ratio : r.referenceRatios) {
    const HazardRatio& h = ratio.ratio;
    json.BeginObject();
    json.Member("group", ratio.group);
    json.Key("hazardRatio");
    WriteNumber(json, h.estimated, h.hr);
    json.Key("lower");
    WriteNumber(json, h.estimated, h.lower);
    json.Key("upper");
    WriteNumber(json, h.estimated, h.upper);
    json.Key("p");
    WriteNumber(json, h.estimated, h.p);
    json.Key("phStatistic");
    WriteNumber(json, ratio.ph.tested, ratio.ph.statistic);
    json.Key("phP");
    WriteNumber(json, ratio.ph.tested, ratio.ph.p);
    json.EndObject();
  }
  json.EndArray();
}

void WriteReviewerGroupMembers(JsonWriter& json, const Workspace& ws, int g) {
  const ReviewerResults& r = ws.run.reviewer;
  const auto gi = static_cast<std::size_t>(g);
  json.Member("events", r.events[gi]);
  json.Key("rmst");
  const RestrictedMean& m = r.rmst[gi];
  if (!m.estimated) {
    json.Null();
  } else {
    json.BeginObject();
    json.Member("tau", m.tau);
    json.Member("estimate", m.estimate);
    json.Member("stdErr", m.stdErr);
    json.Member("lower", m.lower);
    json.Member("upper", m.upper);
    json.EndObject();
  }
  json.Key("followUp");
  if (r.cases[gi] == 0) {
    json.Null();
  } else {
    const MedianEstimate& f = r.followUp[gi];
    json.BeginObject();
    WriteOptionalMember(json, "median", f.week);
    WriteOptionalMember(json, "lower", f.lower);
    WriteOptionalMember(json, "upper", f.upper);
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
  json.Key("rmstDifference");
  const RestrictedMeanDifference& d = ws.run.reviewer.rmstDifference[ai][bi];
  if (!d.estimated) return json.Null();
  json.BeginObject();
  json.Member("estimate", d.estimate);
  json.Member("lower", d.lower);
  json.Member("upper", d.upper);
  json.Member("p", d.p);
  json.EndObject();
}

}  // namespace orv::cli
