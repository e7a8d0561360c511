// The JSON form of a run's result.
#include "cli/json_result.h"

#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "cli/encoding.h"
#include "text/truncate.h"

namespace orv::cli {
namespace {

using Json = nlohmann::ordered_json;

Json Number(double value) { return std::isfinite(value) ? Json(value) : Json(nullptr); }

// Counts held in doubles by the survival tables.
Json WholeNumber(double value) { return std::isfinite(value) ? Json(TruncToInt64(value)) : Json(nullptr); }

Json Text(const std::string& bytes) { return Cp932ToUtf8(bytes); }

// The publication figures, each from plain values so that they move easily with the
// document's writer.

// A week's Kaplan-Meier estimate, standard error and 95 % limits (null where none).
void AddWeekEstimates(Json& week, double km, double stdErr, double lower, double upper) {
  week["km"] = Number(km);
  week["stdErr"] = Number(stdErr);
  week["lower"] = Number(lower);
  week["upper"] = Number(upper);
}

Json AtRiskJson(const std::vector<AtRiskMark>& marks) {
  Json list = Json::array();
  for (const AtRiskMark& m : marks) list.push_back(Json{{"year", m.year}, {"week", m.week}, {"n", m.n}});
  return list;
}

Json OptionalNumber(const std::optional<double>& value) { return value ? Number(*value) : Json(nullptr); }

// null where the curve never falls to 0.5.
Json MedianJson(const MedianEstimate& median) {
  if (!median.week) return nullptr;
  return Json{{"week", Number(*median.week)}, {"lower", OptionalNumber(median.lower)}, {"upper", OptionalNumber(median.upper)}};
}

// null where the group's data do not reach the week.
Json SurvivalAtJson(const std::optional<SurvivalEstimate>& estimate) {
  if (!estimate) return nullptr;
  return Json{{"survival", Number(estimate->survival)}, {"lower", Number(estimate->lower)}, {"upper", Number(estimate->upper)}};
}

void AddGroupFigures(Json& group, const GroupEstimates& e) {
  group["atRisk"] = AtRiskJson(e.atRisk);
  group["median"] = MedianJson(e.median);
  group["at5y"] = SurvivalAtJson(e.at5y);
  group["at10y"] = SurvivalAtJson(e.at10y);
}

// null throughout where the likelihood has no finite maximum.
void AddHazardRatio(Json& pair, const HazardRatio& h) {
  auto value = [&](double v) { return h.estimated ? Number(v) : Json(nullptr); };
  pair["hazardRatio"] = value(h.hr);
  pair["hrLower"] = value(h.lower);
  pair["hrUpper"] = value(h.upper);
  pair["hrP"] = value(h.p);
}

Json GroupJson(const Workspace& ws, int g) {
  const SurvivalTables& tables = ws.survival;
  Json summary = Json::array();
  for (const std::string& text : tables.GroupSummaryTexts[g]) summary.push_back(Text(text));
  const int lastWeek = std::clamp(TruncToInt32(tables.lastEventWeek[g]), 0, kMaxWeek);
  const GroupEstimates& estimates = ws.figures.groups[g];
  Json weeks = Json::array();
  for (int w = 0; w <= lastWeek; ++w) {
    const auto& row = tables.SurvivalTable[w];
    Json week{{"week", w},
              {"censored", WholeNumber(row[kCensored][g])},
              {"deaths", WholeNumber(row[kDeaths][g])},
              {"atRisk", tables.AtRiskTable[w][g]},
              {"hazard", Number(row[kHazard][g])},
              {"survival", Number(row[kSurvival][g])}};
    const auto wi = static_cast<std::size_t>(w);
    if (wi < estimates.km.size()) {
      AddWeekEstimates(week, estimates.km[wi], estimates.stdErr[wi], estimates.lower[wi], estimates.upper[wi]);
    } else {
      AddWeekEstimates(week, NAN, NAN, NAN, NAN);
    }
    weeks.push_back(std::move(week));
  }
  // Group 0 pools the shown groups; its case count is theirs.
  const Count cases = g == 0 ? tables.ShownCaseTotal : ws.cases.GroupTotals[0][g];
  Json group{{"index", g},
             {"name", Text(ws.cases.GroupNames[g])},
             {"label", Text(tables.GroupSummaryTexts[g][kLabel])},
             {"cases", cases},
             {"shown", ws.styles[g].shown == 1},
             {"lastEventWeek", WholeNumber(tables.lastEventWeek[g])},
             {"summary", summary},
             {"weeks", weeks}};
  AddGroupFigures(group, estimates);
  return group;
}

}  // namespace

std::string ColourText(Rgb colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", RedOf(colour), GreenOf(colour), BlueOf(colour));
  return text;
}

std::string ResultJson(const BatchSession& session) {
  const Workspace& ws = session.ws;
  const CaseData& cases = ws.cases;
  const GroupTestResults& tests = ws.tests;
  // With fewer than two shown groups no test runs: earlier figures would be stale.
  const bool tested = tests.ShownGroupCount >= 2;

  Json doc;
  doc["counters"] = {{"total", cases.counters.total},
                     {"corrected", cases.counters.corrected},
                     {"excluded", cases.counters.excluded}};
  doc["dataMaxWeeks"] = cases.dataMaxWeeks;
  doc["xMax"] = ws.geometry.xMax;
  doc["tickStep"] = ws.geometry.tickStep;
  doc["unitLabel"] = Text(ws.geometry.unitLabel);

  Json groups = Json::array();
  for (int g = 0; g <= cases.NumGroups; ++g) groups.push_back(GroupJson(ws, g));
  doc["groups"] = groups;

  Json causes = Json::array();
  for (int j = 0; j <= cases.NumCauses; ++j) {
    causes.push_back({{"index", j},
                      {"name", Text(cases.CauseNames[j])},
                      {"deaths", cases.DeathsByCause[0][j]},
                      {"censored", cases.CauseCensored[j] == 1}});
  }
  doc["causes"] = causes;

  doc["overall"] = {{"shownGroups", tests.ShownGroupCount},
                    {"statistic", tested ? Number(tests.petoStatistic) : Json(nullptr)},
                    {"p", tested ? Number(tests.petoP) : Json(nullptr)},
                    {"statisticText", tested ? Text(tests.PetoStatText) : Json(nullptr)},
                    {"pText", tested ? Text(tests.PetoPText) : Json(nullptr)}};

  Json pairs = Json::array();
  const PairStats& p = tests.pairs;
  auto figure = [&](const PairTable& table, int a, int b) { return tested ? Number(table[a][b]) : Json(nullptr); };
  for (int a = 1; a < cases.NumGroups; ++a) {
    for (int b = a + 1; b <= cases.NumGroups; ++b) {
      Json pair{{"a", a},
                {"b", b},
                {"logRankChi2", figure(p.LogRankChi2, a, b)},
                {"logRankP", figure(p.LogRankP, a, b)},
                {"wilcoxonChi2", figure(p.WilcoxonChi2, a, b)},
                {"wilcoxonP", figure(p.WilcoxonP, a, b)}};
      AddHazardRatio(pair, ws.figures.hazardRatios[a][b]);
      pairs.push_back(std::move(pair));
    }
  }
  doc["pairs"] = pairs;
  doc["tables"] = {{"logRank", tested ? Text(tests.logRankTable) : Json(nullptr)},
                   {"wilcoxon", tested ? Text(tests.wilcoxonTable) : Json(nullptr)}};

  Json runs = Json::array();
  for (const ColourRun& run : session.report.Runs()) {
    runs.push_back({{"colour", ColourText(run.colour)}, {"text", Text(run.text)}});
  }
  doc["report"] = {{"text", Text(session.report.Text())}, {"runs", runs}};

  Json messages = Json::array();
  for (const std::string& text : session.boxes.texts) messages.push_back(Text(text));
  doc["messages"] = messages;
  return doc.dump(2) + "\n";
}

}  // namespace orv::cli
