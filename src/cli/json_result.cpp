// The JSON form of a run's result, one small writer per object.
#include "cli/json_result.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "cli/competing_output.h"
#include "cli/json_writer.h"
#include "cli/model_output.h"
#include "cli/paper_output.h"
#include "cli/reviewer_output.h"
#include "data/loader.h"
#include "session/analysis.h"
#include "stats/publication_figures.h"
#include "words/format.h"
#include "words/json_names.h"
#include "text/truncate.h"

namespace orv::cli {
namespace {

// Counts held in doubles by the survival tables.
void WholeNumber(JsonWriter& json, double value) {
  if (std::isfinite(value)) {
    json.Integer(TruncToInt64(value));
  } else {
    json.Null();
  }
}

// A figure of the tests, null when no test ran.
void TestFigure(JsonWriter& json, bool tested, double value) {
  if (tested) {
    json.Double(value);
  } else {
    json.Null();
  }
}

void TestText(JsonWriter& json, bool tested, const std::string& text) {
  if (tested) {
    json.String(text);
  } else {
    json.Null();
  }
}

// The publication figures.

// A week's Kaplan-Meier estimate, standard error and 95 % limits (null where none: also
// for the weeks past the estimates).
void WriteWeekEstimates(JsonWriter& json, const GroupEstimates& e, int w) {
  const auto wi = static_cast<std::size_t>(w);
  const bool known = wi < e.km.size();
  json.Member(json_name::kKm, known ? e.km[wi] : NAN);
  json.Member("stdErr", known ? e.stdErr[wi] : NAN);
  json.Member("lower", known ? e.lower[wi] : NAN);
  json.Member("upper", known ? e.upper[wi] : NAN);
}

void WriteOptional(JsonWriter& json, const std::optional<double>& value) {
  if (value) {
    json.Double(*value);
  } else {
    json.Null();
  }
}

void WriteAtRisk(JsonWriter& json, const std::vector<AtRiskMark>& marks) {
  json.BeginArray();
  for (const AtRiskMark& m : marks) {
    json.BeginObject();
    json.Member("year", m.year);
    json.Member("week", m.week);
    json.Member("n", m.n);
    json.EndObject();
  }
  json.EndArray();
}

// null where the curve never falls to 0.5.
// An object whenever the group has cases: a median not reached often has a lower limit that
// is, and each member is null on its own.
void WriteMedian(JsonWriter& json, const MedianEstimate& median, bool hasCases) {
  if (!hasCases) return json.Null();
  json.BeginObject();
  json.Key(json_name::kWeek);
  WriteOptional(json, median.week);
  json.Key(json_name::kLower);
  WriteOptional(json, median.lower);
  json.Key(json_name::kUpper);
  WriteOptional(json, median.upper);
  json.EndObject();
}

// null where the group's data do not reach the week.
void WriteSurvivalAt(JsonWriter& json, const std::optional<SurvivalEstimate>& estimate) {
  if (!estimate) return json.Null();
  json.BeginObject();
  json.Member(json_name::kSurvival, estimate->survival);
  json.Member(json_name::kLower, estimate->lower);
  json.Member(json_name::kUpper, estimate->upper);
  json.EndObject();
}

void WriteGroupFigures(JsonWriter& json, const GroupEstimates& e) {
  json.Key("atRisk");
  WriteAtRisk(json, e.atRisk);
  json.Key(json_name::kMedian);
  WriteMedian(json, e.median, !e.km.empty());
  json.Key(json_name::kAt5y);
  WriteSurvivalAt(json, e.at5y);
  json.Key("at10y");
  WriteSurvivalAt(json, e.at10y);
}

// null throughout where the likelihood has no finite maximum.
void WriteHazardRatio(JsonWriter& json, const HazardRatio& h) {
  json.Member("hazardRatio", h.estimated ? h.hr : NAN);
  json.Member("hrLower", h.estimated ? h.lower : NAN);
  json.Member("hrUpper", h.estimated ? h.upper : NAN);
  json.Member("hrP", h.estimated ? h.p : NAN);
}

void WriteWeek(JsonWriter& json, const SurvivalTables& tables, const GroupEstimates& estimates, int g, int w) {
  const auto& row = tables.SurvivalTable[w];
  json.BeginObject();
  json.Member("week", w);
  json.Key("censored");
  WholeNumber(json, row[kCensored][g]);
  json.Key("deaths");
  WholeNumber(json, row[kDeaths][g]);
  json.Member("atRisk", tables.AtRiskTable[w][g]);
  json.Member("hazard", row[kHazard][g]);
  // The fraction as the views show it: cut to three decimals where it becomes text.
  json.Member("survival", static_cast<double>(CutToSteps(row[kSurvival][g], 3)) / 1000);
  WriteWeekEstimates(json, estimates, w);
  json.EndObject();
}

void WriteGroup(JsonWriter& json, const Workspace& ws, int g) {
  const SurvivalTables& tables = ws.run.survival;
  // Group 0 pools the shown groups; its case count is theirs.
  const Count cases = g == 0 ? tables.ShownCaseTotal : ws.cases.GroupTotals[0][g];
  json.BeginObject();
  json.Member("index", g);
  json.Key("name");
  json.String(ws.cases.GroupNames[g]);
  json.Key("label");
  json.String(ws.texts[static_cast<std::size_t>(g)][kLabel]);
  json.Member(json_name::kCases, cases);
  json.Member("shown", ws.shown.Contains(g));
  json.Key(json_name::kLastEventWeek);
  WholeNumber(json, tables.lastEventWeek[g]);
  json.Key("summary");
  json.BeginArray();
  for (const std::string& text : ws.texts[static_cast<std::size_t>(g)]) json.String(text);
  json.EndArray();
  json.Key(json_name::kWeeks);
  json.BeginArray();
  const GroupEstimates& estimates = ws.run.figures.groups[g];
  const int lastWeek = std::clamp(TruncToInt32(tables.lastEventWeek[g]), 0, kMaxWeek);
  for (int w = 0; w <= lastWeek; ++w) WriteWeek(json, tables, estimates, g, w);
  json.EndArray();
  WriteGroupFigures(json, estimates);
  WriteReviewerGroupMembers(json, ws, g);
  json.EndObject();
}

void WriteCause(JsonWriter& json, const CaseData& cases, int j) {
  json.BeginObject();
  json.Member("index", j);
  json.Key("name");
  json.String(cases.CauseNames[j]);
  json.Member("deaths", cases.DeathsByCause[0][j]);
  json.Member("censored", cases.CauseCensored[j] == 1);
  json.EndObject();
}

void WriteOverall(JsonWriter& json, const GroupTestResults& tests, bool tested) {
  tested = tested && tests.overallTested;
  json.BeginObject();
  json.Member(json_name::kShownGroups, tests.ShownGroupCount);
  json.Key("statistic");
  TestFigure(json, tested, tests.petoStatistic);
  json.Key("p");
  TestFigure(json, tested, tests.petoP);
  json.Key("statisticText");
  TestText(json, tested, PetoStatisticText(tests.petoStatistic));
  json.Key("pText");
  TestText(json, tested, PValueText(tests.petoP));
  json.EndObject();
}

void WritePair(JsonWriter& json, const Workspace& ws, bool tested, int a, int b) {
  const PairStats& p = ws.run.tests.pairs;
  json.BeginObject();
  json.Member("a", a);
  json.Member("b", b);
  json.Key("logRankChi2");
  TestFigure(json, tested, p.LogRankChi2[a][b]);
  json.Key("logRankP");
  TestFigure(json, tested, p.LogRankP[a][b]);
  json.Key("wilcoxonChi2");
  TestFigure(json, tested, p.WilcoxonChi2[a][b]);
  json.Key("wilcoxonP");
  TestFigure(json, tested, p.WilcoxonP[a][b]);
  WriteHazardRatio(json, ws.run.figures.hazardRatios[a][b]);
  WriteReviewerPairMembers(json, ws, a, b);
  json.EndObject();
}

// The report's text is the concatenation of its runs; neither is ever held as UTF-8.
void WriteReport(JsonWriter& json, const ReportDocument& report) {
  json.BeginObject();
  json.Key("text");
  json.BeginString();
  for (const ReportDocument::Piece& piece : report.Pieces()) json.StringPart(piece.text);
  json.EndString();
  json.Key("runs");
  json.BeginArray();
  for (const ReportDocument::Run& run : report.Runs()) {
    json.BeginObject();
    json.Key("colour");
    json.String(ColourText(run.colour));
    json.Key("text");
    json.BeginString();
    for (const ReportDocument::Piece& piece : run.pieces) json.StringPart(piece.text);
    json.EndString();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

}  // namespace

std::string ColourText(Rgb colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", RedOf(colour), GreenOf(colour), BlueOf(colour));
  return text;
}

std::string ResultJson(const BatchSession& session) {
  std::string text;
  {
    OutputStream out(text);
    WriteResultJson(session, out);
  }
  return text;
}

void WriteResultJson(const BatchSession& session, OutputStream& out) {
  const Workspace& ws = session.ws;
  const CaseData& cases = ws.cases;
  const GroupTestResults& tests = ws.run.tests;
  // With fewer than two shown groups no test runs: earlier figures would be stale.
  const bool tested = tests.ShownGroupCount >= 2;

  JsonWriter json(out);
  json.BeginObject();
  json.Key(json_name::kCounters);
  json.BeginObject();
  json.Member(json_name::kTotal, cases.counters.total);
  json.Member(json_name::kCorrected, cases.counters.corrected);
  json.Member(json_name::kExcluded, cases.counters.excluded);
  // The report's notes that occurred, in the order of the rules; a note's words without its layout.
  json.Key(json_name::kNotes);
  json.BeginArray();
  for (int n = 0; n < kRowNotes; ++n) {
    const Count rows = cases.counters.notes[static_cast<std::size_t>(n)];
    if (rows == 0) continue;
    json.BeginObject();
    json.Key("note");
    json.String(RowNoteWords(n));
    json.Key("kind");
    json.String(IsExclusionNote(n) ? "excluded" : "corrected");
    json.Member(json_name::kRows, rows);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  json.Member("dataMaxWeeks", cases.dataMaxWeeks);
  json.Member("xMax", ws.geometry.xMax);
  json.Member("tickStep", ws.geometry.tickStep);
  json.Key("unitLabel");
  json.String(ws.geometry.unitLabel);

  json.Key(json_name::kGroups);
  json.BeginArray();
  for (int g = 0; g <= cases.NumGroups; ++g) WriteGroup(json, ws, g);
  json.EndArray();

  json.Key("causes");
  json.BeginArray();
  for (int j = 0; j <= cases.NumCauses; ++j) WriteCause(json, cases, j);
  json.EndArray();

  json.Key(json_name::kOverall);
  WriteOverall(json, tests, tested);

  json.Key(json_name::kPairs);
  json.BeginArray();
  for (int a = 1; a < cases.NumGroups; ++a) {
    for (int b = a + 1; b <= cases.NumGroups; ++b) WritePair(json, ws, tested, a, b);
  }
  json.EndArray();

  WriteReviewerMembers(json, ws);

  json.Key("tables");
  json.BeginObject();
  json.Key("logRank");
  TestText(json, tested, TextOf(ws, TextOutput::LogRank));
  json.Key("wilcoxon");
  TestText(json, tested, TextOf(ws, TextOutput::Wilcoxon));
  json.EndObject();

  json.Key(json_name::kCompetingRisks);
  WriteCompetingRisksJson(json, ws);

  json.Key("covariates");
  WriteCovariatesJson(json, ws);
  json.Key(json_name::kModel);
  WriteModelJson(json, ws);

  json.Key("paper");
  WritePaperJson(json, ws);

  json.Key("report");
  WriteReport(json, session.report);

  json.Key("messages");
  json.BeginArray();
  for (const std::string& text : session.boxes.texts) json.String(text);
  json.EndArray();
  json.EndObject();
  out.Write('\n');
}

}  // namespace orv::cli
