// The competing-risks figures as JSON and as files of --out.
#include "cli/competing_output.h"

#include <algorithm>
#include <cmath>

#include "cli/csv_output.h"
#include "cli/figure_output.h"
#include "cli/model_output.h"
#include "cli/output_stream.h"
#include "graph/incidence_figure.h"
#include "words/competing_text.h"
#include "words/json_names.h"
#include "text/truncate.h"

namespace orv::cli {
namespace {

void WriteIncidenceAt(JsonWriter& json, const std::optional<IncidenceAtYear>& at) {
  if (!at) return json.Null();
  json.BeginObject();
  json.Member(json_name::kIncidence, at->incidence);
  json.Member(json_name::kLower, at->lower);
  json.Member(json_name::kUpper, at->upper);
  json.Member("naive", at->naive);
  json.EndObject();
}

void WriteIncidenceGroup(JsonWriter& json, const GroupIncidence& group, int g) {
  const IncidenceEstimates& e = group.estimates;
  json.BeginObject();
  json.Member("index", g);
  json.Key(json_name::kWeeks);
  json.BeginArray();
  for (std::size_t w = 0; w < e.incidence.size(); ++w) {
    json.BeginObject();
    json.Member("week", static_cast<int>(w));
    json.Member("competing", TruncToInt64(group.competing[w]));
    json.Member(json_name::kCif, e.incidence[w]);
    json.Member("stdErr", e.stdErr[w]);
    json.Member("lower", e.lower[w]);
    json.Member("upper", e.upper[w]);
    json.EndObject();
  }
  json.EndArray();
  json.Key(json_name::kAt5y);
  WriteIncidenceAt(json, e.at5y);
  json.Key("at10y");
  WriteIncidenceAt(json, e.at10y);
  json.EndObject();
}

// null where there is no test.
void WriteGrayTest(JsonWriter& json, const GrayTest& t) {
  if (!t.tested) return json.Null();
  json.BeginObject();
  json.Member("statistic", t.statistic);
  json.Member("df", t.df);
  json.Member(json_name::kP, t.p);
  json.EndObject();
}

void WriteCompetingPair(JsonWriter& json, const CompetingRisks& c, int a, int b) {
  const GrayTest& t = c.pairTests[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
  const SubHazardRatio& h = c.ratios[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
  json.BeginObject();
  json.Member("a", a);
  json.Member("b", b);
  json.Member("grayStatistic", t.tested ? t.statistic : NAN);
  json.Member("grayP", t.tested ? t.p : NAN);
  json.Member(json_name::kSubHazardRatio, h.estimated ? h.hr : NAN);
  json.Member(json_name::kLower, h.estimated ? h.lower : NAN);
  json.Member(json_name::kUpper, h.estimated ? h.upper : NAN);
  json.Member(json_name::kP, h.estimated ? h.p : NAN);
  json.EndObject();
}

}  // namespace

void WriteCompetingRisksJson(JsonWriter& json, const Workspace& ws) {
  const CompetingRisks& c = ws.run.competing;
  if (!c.active) return json.Null();
  const CaseData& cases = ws.cases;
  json.BeginObject();
  json.Key("competingCauses");
  json.BeginArray();
  for (int j = 1; j <= std::min(cases.NumCauses, kOverflowIndex); ++j) {
    if (cases.CauseCensored[static_cast<std::size_t>(j)] == 1) json.String(cases.CauseNames[static_cast<std::size_t>(j)]);
  }
  json.EndArray();
  json.Key(json_name::kGroups);
  json.BeginArray();
  for (int g = 0; g <= LastGroup(cases); ++g) WriteIncidenceGroup(json, c.groups[static_cast<std::size_t>(g)], g);
  json.EndArray();
  json.Key(json_name::kGrayTest);
  WriteGrayTest(json, c.overall);
  json.Key(json_name::kPairs);
  json.BeginArray();
  for (int a = 1; a < LastGroup(cases); ++a) {
    for (int b = a + 1; b <= LastGroup(cases); ++b) WriteCompetingPair(json, c, a, b);
  }
  json.EndArray();
  json.Key(json_name::kAdjusted);
  WriteAdjustedFineGrayJson(json, ws);
  json.EndObject();
}

std::string WriteCompetingRisksFiles(const Workspace& ws, const FigureSettings& settings, const std::string& dir) {
  if (!ws.run.competing.active) return {};
  return WriteFigureFiles(IncidenceFigureLayout(ws, settings), dir, "cumulative-incidence");
}

}  // namespace orv::cli
