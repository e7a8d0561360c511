// The adjusted analyses as JSON and as the forest plot's files.
#include "cli/model_output.h"

#include <algorithm>
#include <cmath>

#include "cli/figure_output.h"
#include "graph/forest_plot.h"
#include "words/json_names.h"
#include "words/model_text.h"

namespace orv::cli {
namespace {

void WriteTest(JsonWriter& json, const CoxTest& t) {
  json.BeginObject();
  json.Member(json_name::kStatistic, t.statistic);
  json.Member(json_name::kDf, t.df);
  json.Member(json_name::kP, t.p);
  json.EndObject();
}

void WriteTextOrNull(JsonWriter& json, const std::string& text) {
  if (text.empty()) return json.Null();
  json.String(text);
}

// A term's figures, null throughout where it has no estimate.
void WriteTermFigures(JsonWriter& json, const CoxTerm& t) {
  json.Key("name");
  json.String(t.name);
  json.Member("estimated", t.estimated);
  json.Member("coefficient", t.estimated ? t.beta : NAN);
  json.Member("se", t.estimated ? t.se : NAN);
  json.Member(json_name::kHazardRatio, t.estimated ? t.hr : NAN);
  json.Member(json_name::kLower, t.estimated ? t.lower : NAN);
  json.Member(json_name::kUpper, t.estimated ? t.upper : NAN);
  json.Member("z", t.estimated ? t.z : NAN);
  json.Member(json_name::kP, t.estimated ? t.p : NAN);
}

// The group of a row, or null for a covariate's.
void WriteGroup(JsonWriter& json, int group) {
  json.Key("group");
  if (group > 0) return json.Integer(group);
  json.Null();
}

void WriteTerms(JsonWriter& json, const std::vector<CoxTerm>& terms) {
  json.BeginArray();
  for (const CoxTerm& t : terms) {
    json.BeginObject();
    WriteTermFigures(json, t);
    json.EndObject();
  }
  json.EndArray();
}

void WriteSubgroups(JsonWriter& json, const Subgroups& s) {
  json.BeginObject();
  json.Key("name");
  json.String(s.name);
  json.Key("refusal");
  WriteTextOrNull(json, s.refusal);
  json.Key("levels");
  json.BeginArray();
  for (const SubgroupLevel& level : s.levels) {
    json.BeginObject();
    json.Key("level");
    json.String(level.level);
    json.Member("n", level.n);
    json.Member(json_name::kEvents, level.events);
    json.Key("refusal");
    WriteTextOrNull(json, level.model.refusal);
    json.Key(json_name::kTerms);
    WriteTerms(json, level.model.terms);
    json.EndObject();
  }
  json.EndArray();
  json.Key(json_name::kInteraction);
  WriteTest(json, s.interaction);
  json.EndObject();
}

}  // namespace

void WriteModelJson(JsonWriter& json, const Workspace& ws) {
  const AdjustedAnalysis& a = ws.run.adjusted;
  if (!a.fitted) return json.Null();
  const CoxModel& m = a.model;
  const ModelRequest& request = ws.run.model;
  const auto& columns = ws.cases.covariates.columns;
  json.BeginObject();
  json.Member("referenceGroup", a.referenceGroup);
  json.Key("covariates");
  json.BeginArray();
  for (const CoxCovariateChoice& c : request.covariates) {
    const CovariateColumn& column = columns[static_cast<std::size_t>(c.column)];
    json.BeginObject();
    json.Key("name");
    json.String(column.name);
    json.Key("type");
    json.String(column.type == CovariateType::Continuous ? "continuous" : "categorical");
    json.Key("referenceLevel");
    if (column.type == CovariateType::Continuous) {
      json.Null();
    } else {
      json.String(column.levels[static_cast<std::size_t>(c.referenceLevel)]);
    }
    json.EndObject();
  }
  json.EndArray();
  json.Key("strata");
  WriteTextOrNull(json, StrataNameOf(ws));
  json.Key("refusal");
  WriteTextOrNull(json, m.refusal);
  const bool fitted = m.refusal.empty();
  const std::vector<ModelRow> rows = ModelRowsOf(ws);
  // The model's terms in its order, as the paragraphs' trace counts them, each with the row it stands for.
  json.Key(json_name::kTerms);
  json.BeginArray();
  for (std::size_t k = 0; k < m.terms.size(); ++k) {
    const auto row = std::find_if(rows.begin(), rows.end(), [k](const ModelRow& r) { return r.term == static_cast<int>(k); });
    json.BeginObject();
    WriteTermFigures(json, m.terms[k]);
    WriteGroup(json, row != rows.end() ? row->group : 0);
    json.Member("n", row != rows.end() ? row->n : m.n);
    json.Member(json_name::kEvents, row != rows.end() ? row->events : m.events);
    json.EndObject();
  }
  json.EndArray();
  // The rows the terms are set against, with their cases.
  json.Key(json_name::kReferences);
  json.BeginArray();
  for (const ModelRow& row : rows) {
    if (!row.reference) continue;
    json.BeginObject();
    json.Key("name");
    json.String(row.name);
    WriteGroup(json, row.group);
    json.Member("n", row.n);
    json.Member(json_name::kEvents, row.events);
    json.EndObject();
  }
  json.EndArray();
  json.Key(json_name::kTests);
  if (fitted) {
    json.BeginObject();
    json.Key(json_name::kLikelihoodRatio);
    WriteTest(json, m.likelihoodRatio);
    json.Key(json_name::kWald);
    WriteTest(json, m.wald);
    json.Key(json_name::kScore);
    WriteTest(json, m.score);
    json.EndObject();
  } else {
    json.Null();
  }
  json.Key(json_name::kFactorTests);
  json.BeginArray();
  for (const FactorTest& f : a.factorTests) {
    json.BeginObject();
    json.Key("name");
    json.String(f.name);
    json.Key(json_name::kLikelihoodRatio);
    WriteTest(json, f.likelihoodRatio);
    json.Key(json_name::kWald);
    WriteTest(json, f.wald);
    json.EndObject();
  }
  json.EndArray();
  json.Member("n", m.n);
  json.Member(json_name::kEvents, m.events);
  json.Member(json_name::kDropped, m.dropped);
  json.Member("concordance", fitted ? m.concordance : NAN);
  json.Member("logLik", fitted ? m.logLik : NAN);
  json.Member("logLikNull", fitted ? m.logLikNull : NAN);
  json.Member("lastWeek", ws.run.window.lastWeek);
  json.Key("note");
  WriteTextOrNull(json, m.note);
  json.Key(json_name::kStratifiedLogRank);
  if (const auto& s = a.stratifiedLogRank) {
    json.BeginObject();
    json.Key("refusal");
    WriteTextOrNull(json, s->refusal);
    const bool tested = s->refusal.empty();
    json.Member(json_name::kStatistic, tested ? s->chiSquare : NAN);
    json.Member(json_name::kDf, s->df);
    json.Member(json_name::kP, tested ? s->p : NAN);
    json.EndObject();
  } else {
    json.Null();
  }
  json.Key(json_name::kSubgroups);
  if (a.subgroups) {
    WriteSubgroups(json, *a.subgroups);
  } else {
    json.Null();
  }
  json.EndObject();
}

void WriteCovariatesJson(JsonWriter& json, const Workspace& ws) {
  const Covariates& c = ws.cases.covariates;
  if (c.columns.empty() && c.refusal.empty()) return json.Null();
  json.BeginObject();
  json.Key("columns");
  json.BeginArray();
  for (const CovariateColumn& column : c.columns) {
    json.BeginObject();
    json.Key("name");
    json.String(column.name);
    json.Key("type");
    json.String(column.type == CovariateType::Continuous ? "continuous" : "categorical");
    json.Key("levels");
    json.BeginArray();
    for (const std::string& level : column.levels) json.String(level);
    json.EndArray();
    json.Member("missing", column.missing);
    json.EndObject();
  }
  json.EndArray();
  json.Key("refusal");
  WriteTextOrNull(json, c.refusal);
  json.Key("note");
  WriteTextOrNull(json, c.note);
  json.EndObject();
}

void WriteAdjustedFineGrayJson(JsonWriter& json, const Workspace& ws) {
  const auto& f = ws.run.adjusted.fineGray;
  if (!f) return json.Null();
  json.BeginObject();
  json.Key("refusal");
  WriteTextOrNull(json, f->refusal);
  json.Key(json_name::kTerms);
  WriteTerms(json, f->terms);
  json.Member("n", f->n);
  json.Member(json_name::kEvents, f->events);
  json.Member("competing", f->competing);
  json.Member("dropped", f->dropped);
  json.Key("note");
  WriteTextOrNull(json, f->note);
  json.EndObject();
}

std::string WriteForestFiles(const Workspace& ws, const std::string& dir) {
  const ForestInput input = ForestInputOf(ws);
  if (input.rows.empty()) return {};
  return WriteFigureFiles(LayoutForestPlot(input, CairoTextWidth), dir, "forest");
}

}  // namespace orv::cli
