// The adjusted analyses' text section and CSV table.
#include "words/model_text.h"

#include <cmath>

#include "text/cp932.h"
#include "text/number_text.h"
#include "words/format.h"
#include "words/reviewer_text.h"

namespace orv {
namespace {

const std::string kDash = Utf8(u8"–");

// The shown groups other than the reference, in order: the groups of a subgroup model's terms.
std::vector<int> ComparedGroups(const AnalysisResults& r) {
  std::vector<int> groups;
  for (int g = 1; g <= LastGroup(r.cases); ++g) {
    if (r.shown.Contains(g) && g != r.run.adjusted.referenceGroup) groups.push_back(g);
  }
  return groups;
}

// "2 B" for a group's row, the term's own name for a covariate's; UTF-8.
std::string RowName(const ModelRow& row) {
  return (row.group > 0 ? std::to_string(row.group) + " " : std::string()) + Cp932ToUtf8(row.name);
}

std::string TestText(const char* name, const CoxTest& t) {
  return std::string(name) + " " + FixedFigure(t.statistic, 2) + " on " + std::to_string(t.df) + " df, " + RoundedPText(t.p);
}

std::string HrText(const CoxTerm& t) {
  if (!t.estimated) return "n/a (no estimate; see the note)";
  return IntervalText(t.hr, t.lower, t.upper, 2, kDash) + ", " + RoundedPText(t.p);
}

// "sex: categorical, 2 levels (M, F), 0 missing", "age: continuous, 5 missing".
std::string ColumnText(const CovariateColumn& column) {
  std::string out = Cp932ToUtf8(column.name) + ": ";
  if (column.type == CovariateType::Continuous) {
    out += "continuous";
  } else {
    out += "categorical, " + std::to_string(column.levels.size()) + (column.levels.size() == 1 ? " level (" : " levels (");
    for (std::size_t l = 0; l < column.levels.size(); ++l) out += (l == 0 ? "" : ", ") + Cp932ToUtf8(column.levels[l]);
    out += ")";
    // Said only where some values are numbers: the column would be continuous but for them.
    const bool someNumbers = std::any_of(column.levels.begin(), column.levels.end(),
                                         [](const std::string& level) { return !std::isnan(CovariateNumber(level)); });
    if (someNumbers && !column.firstNonNumber.empty()) out += ", not numeric from \"" + Cp932ToUtf8(column.firstNonNumber) + "\"";
  }
  return out + ", " + std::to_string(column.missing) + " missing";
}

std::string NoteLines(const std::string& note) {
  std::string out;
  for (std::size_t at = 0; at < note.size();) {
    const std::size_t end = std::min(note.find('\n', at), note.size());
    if (end > at) out += "  " + Cp932ToUtf8(note.substr(at, end - at)) + "\n";
    at = end + 1;
  }
  return out;
}

std::string Events(std::int64_t events, std::int64_t n) { return std::to_string(events) + "/" + std::to_string(n); }

// The terms of a subgroup level's model, each named by its group.
std::string SubgroupLines(const AnalysisResults& r, const SubgroupLevel& level) {
  const std::vector<int> groups = ComparedGroups(r);
  const int ref = r.run.adjusted.referenceGroup;
  const std::string against = " vs " + std::to_string(ref) + " " + Cp932ToUtf8(r.cases.GroupNames[static_cast<std::size_t>(ref)]);
  std::string out;
  if (!level.model.refusal.empty()) return "    not fitted: " + Cp932ToUtf8(level.model.refusal) + "\n";
  for (std::size_t k = 0; k < level.model.terms.size(); ++k) {
    const CoxTerm& t = level.model.terms[k];
    const std::string name = k < groups.size() && level.model.terms.size() == groups.size()
                                 ? std::to_string(groups[k]) + " " + Cp932ToUtf8(t.name)
                                 : Cp932ToUtf8(t.name);
    out += "    " + name + against + ": " + HrText(t) + "\n";
  }
  return out;
}

std::string CsvTest(const char* part, const std::string& name, const char* test, const CoxTest& t) {
  return std::string(part) + "," + CsvField(name) + "," + test + ",,,,,,,,,,,," + CsvNumber(t.statistic) + "," +
         std::to_string(t.df) + "," + CsvNumber(t.p) + "\r\n";
}

std::string CsvTerm(const char* part, const std::string& name, int group, bool reference, std::int64_t n, std::int64_t events,
                    const CoxTerm* t) {
  const auto figure = [&](double v) { return t != nullptr && t->estimated ? CsvNumber(v) : std::string(); };
  std::string out = std::string(part) + "," + CsvField(name) + ",," + (group > 0 ? std::to_string(group) : "") + "," +
                    (reference ? "1" : "0") + "," + (n >= 0 ? std::to_string(n) : "") + "," +
                    (events >= 0 ? std::to_string(events) : "") + ",";
  if (t == nullptr) return out + ",,1,,,,,,,\r\n";
  return out + figure(t->beta) + "," + figure(t->se) + "," + figure(t->hr) + "," + figure(t->lower) + "," + figure(t->upper) +
         "," + figure(t->z) + "," + figure(t->p) + ",,,\r\n";
}

}  // namespace

std::vector<ModelRow> ModelRowsOf(const AnalysisResults& r) {
  return ModelRowsOf(r.cases, r.shown, r.run.window.lastWeek, r.run.model, r.run.adjusted);
}

std::string CovariateNamesOf(const AnalysisResults& r) {
  std::string names;
  for (const CoxCovariateChoice& c : r.run.model.covariates) {
    names += (names.empty() ? "" : ", ") + r.cases.covariates.columns[static_cast<std::size_t>(c.column)].name;
  }
  return names;
}

std::string StrataNameOf(const AnalysisResults& r) {
  const int s = r.run.model.strata;
  return s < 0 ? std::string() : r.cases.covariates.columns[static_cast<std::size_t>(s)].name;
}

std::string ModelText(const AnalysisResults& r) {
  const AdjustedAnalysis& a = r.run.adjusted;
  if (!a.fitted) return {};
  const CoxModel& m = a.model;
  std::string out = "[Cox model of the shown groups";
  if (const std::string covariates = CovariateNamesOf(r); !covariates.empty()) out += ", adjusted for " + Cp932ToUtf8(covariates);
  if (const std::string strata = StrataNameOf(r); !strata.empty()) out += ", stratified by " + Cp932ToUtf8(strata);
  out += "]\n" + TestWindowText(r.run.window.lastWeek, kDash) + "; Efron ties, Wald 95 % CI\n";
  // The loader's note of the file's columns (types, levels, missing values), so that a choice
  // can be checked against what the file holds.
  if (const Covariates& c = r.cases.covariates; !c.columns.empty() || !c.refusal.empty()) {
    out += "Covariates of the file:\n";
    if (!c.refusal.empty()) out += "  none used: " + Cp932ToUtf8(c.refusal) + "\n";
    for (const CovariateColumn& column : c.columns) out += "  " + ColumnText(column) + "\n";
  }
  if (!m.refusal.empty()) return out + "Not fitted: " + Cp932ToUtf8(m.refusal) + "\n";
  out += "n = " + std::to_string(m.n) + ", " + std::to_string(m.events) + (m.events == 1 ? " event" : " events");
  if (m.dropped > 0) out += ", " + std::to_string(m.dropped) + " dropped for a missing value";
  out += "; concordance " + FixedFigure(m.concordance, 3) + "\n";
  out += "HR (events/cases), 95 % CI:\n";
  for (const ModelRow& row : ModelRowsOf(r)) {
    out += "  " + RowName(row) + (row.continuous ? " (per unit; " : " (") + Events(row.events, row.n) + "): ";
    out += row.reference ? "reference\n" : HrText(m.terms[static_cast<std::size_t>(row.term)]) + "\n";
  }
  out += "Global tests: " + TestText("likelihood ratio", m.likelihoodRatio) + "; " + TestText("Wald", m.wald) + "; " +
         TestText("score", m.score) + "\n";
  for (const FactorTest& f : a.factorTests) {
    // The group factor is the first; the others are named by their columns.
    const std::string name = &f == &a.factorTests.front() ? std::string("groups") : Cp932ToUtf8(f.name);
    out += "  " + name + ": " + TestText("likelihood ratio", f.likelihoodRatio) + "; " + TestText("Wald", f.wald) + "\n";
  }
  if (const auto& s = a.stratifiedLogRank) {
    const std::string strata = StrataNameOf(r);
    out += "Stratified log-rank test" + (strata.empty() ? std::string() : " by " + Cp932ToUtf8(strata)) + ": ";
    out += s->refusal.empty() ? "chi-square " + FixedFigure(s->chiSquare, 2) + ", " + std::to_string(s->df) + " df, " + RoundedPText(s->p) + "\n"
                              : "not tested: " + Cp932ToUtf8(s->refusal) + "\n";
  }
  if (const auto& s = a.subgroups) {
    out += "Subgroups by " + Cp932ToUtf8(s->name);
    if (!s->refusal.empty()) {
      out += ": not fitted: " + Cp932ToUtf8(s->refusal) + "\n";
    } else {
      out += " (interaction " + TestText("likelihood ratio", s->interaction) + "):\n";
      for (const SubgroupLevel& level : s->levels) {
        out += "  " + Cp932ToUtf8(level.level) + " (" + Events(level.events, level.n) + "):\n" + SubgroupLines(r, level);
      }
    }
  }
  if (const auto& f = a.fineGray) {
    out += "Adjusted Fine" + kDash + "Gray model (subdistribution HR, robust 95 % CI)";
    if (!f->refusal.empty()) {
      out += ": not fitted: " + Cp932ToUtf8(f->refusal) + "\n";
    } else {
      out += ": n = " + std::to_string(f->n) + ", " + std::to_string(f->events) + " events, " + std::to_string(f->competing) +
             " competing";
      if (f->dropped > 0) out += ", " + std::to_string(f->dropped) + " dropped for a missing value";
      out += "\n";
      for (const CoxTerm& t : f->terms) out += "  " + Cp932ToUtf8(t.name) + ": " + HrText(t) + "\n";
      out += NoteLines(f->note);
    }
  }
  if (!m.note.empty()) out += "Note:\n" + NoteLines(m.note);
  return out;
}

std::string ModelCsv(const AnalysisResults& r) {
  std::string out = "part,name,test,group,reference,n,events,beta,se,hazardRatio,lower,upper,z,p,statistic,df,testP\r\n";
  const AdjustedAnalysis& a = r.run.adjusted;
  if (!a.fitted || !a.model.refusal.empty()) return out;
  const CoxModel& m = a.model;
  for (const ModelRow& row : ModelRowsOf(r)) {
    out += CsvTerm("term", row.name, row.group, row.reference, row.n, row.events,
                   row.reference ? nullptr : &m.terms[static_cast<std::size_t>(row.term)]);
  }
  out += CsvTest("model", "", "likelihoodRatio", m.likelihoodRatio) + CsvTest("model", "", "wald", m.wald) +
         CsvTest("model", "", "score", m.score);
  for (const FactorTest& f : a.factorTests) {
    out += CsvTest("factor", f.name, "likelihoodRatio", f.likelihoodRatio) + CsvTest("factor", f.name, "wald", f.wald);
  }
  if (const auto& s = a.stratifiedLogRank; s && s->refusal.empty()) {
    out += CsvTest("stratifiedLogRank", StrataNameOf(r), "logRank", {s->chiSquare, s->df, s->p});
  }
  if (const auto& s = a.subgroups; s && s->refusal.empty()) {
    const std::vector<int> groups = ComparedGroups(r);
    for (const SubgroupLevel& level : s->levels) {
      for (std::size_t k = 0; k < level.model.terms.size(); ++k) {
        const int g = level.model.terms.size() == groups.size() ? groups[k] : 0;
        out += CsvTerm("subgroup", s->name + ": " + level.level, g, false, level.n, level.events, &level.model.terms[k]);
      }
    }
    out += CsvTest("interaction", s->name, "likelihoodRatio", s->interaction);
  }
  if (const auto& f = a.fineGray; f && f->refusal.empty()) {
    for (const CoxTerm& t : f->terms) out += CsvTerm("fineGray", t.name, 0, false, -1, -1, &t);
  }
  return out;
}

}  // namespace orv
