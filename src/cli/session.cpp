// One run of the batch command: the road of the data file and the re-entries into it.
#include "cli/session.h"

#include <algorithm>
#include <utility>

#include "cli/encoding.h"
#include "graph/number_at_risk.h"
#include "graph/survival_rate_view.h"
#include "graph/tables.h"
#include "session/analysis.h"
#include "session/commands.h"

namespace orv::cli {

void StderrMessageBoxes::Show(std::string_view text, std::string_view caption, BoxIcon) {
  texts.emplace_back(text);
  std::fprintf(err_, "%s: %s\n", ShownText(caption).c_str(), ShownText(text).c_str());
}

Rect ViewClientRect(int windowWidth, int windowHeight) {
  return {0, 0, std::max(1, windowWidth - kViewFrameWidth), std::max(1, windowHeight - kViewFrameHeight)};
}

void CanvasViewWindows::Resize(const ViewSizes& sizes) {
  legend_.SetClientRect(ViewClientRect(sizes.legendWidth, sizes.legendHeight));
  cumulative_.SetClientRect(ViewClientRect(sizes.cumulativeWidth, sizes.cumulativeHeight));
  byCause_.SetClientRect(ViewClientRect(sizes.byCauseWidth, sizes.byCauseHeight));
  survivalRate_.SetClientRect(ViewClientRect(sizes.survivalRateWidth, sizes.survivalRateHeight));
  numberAtRisk_.SetClientRect(ViewClientRect(sizes.numberAtRiskWidth, sizes.numberAtRiskHeight));
}

BatchSession::BatchSession(std::FILE* err, bool recordGraph) : boxes(err) {
  surfaces_.graph = recordGraph ? static_cast<Canvas*>(&graph) : &unrecordedGraph_;
  surfaces_.legend = &legend;
  surfaces_.cumulativeDeaths = &cumulativeDeaths;
  surfaces_.deathsByCause = &deathsByCause;
  surfaces_.survivalRate = &survivalRate;
  surfaces_.numberAtRisk = &numberAtRisk;
  surfaces_.report = &report;
  surfaces_.logRank = &logRank;
  surfaces_.wilcoxon = &wilcoxon;
  surfaces_.boxes = &boxes;
  surfaces_.views = &views_;
  // Until the first load sizes them, the view windows have their creation size.
  for (RecordingCanvas* view : {&legend, &cumulativeDeaths, &deathsByCause, &survivalRate}) {
    view->SetClientRect(ViewClientRect(480, 360));
  }
  // The main window's size handling at creation: fixed margins around the plot area.
  ws.geometry.width = static_cast<std::uint16_t>(kGraphClientWidth - 130);
  ws.geometry.height = static_cast<std::uint16_t>(kGraphClientHeight - 150);
  ws.geometry.pixelsPerWeek = static_cast<double>(ws.geometry.width) / ws.geometry.xMax;
}

void BatchSession::Load(const std::string& path, std::string bytes) {
  path_ = path;
  bytes_ = std::move(bytes);
  Reload();
}

// Linux paths are UTF-8 bytes; the report shows the path as text of the program's code page.
std::string BatchSession::ShownPath() const { return Utf8ToCp932(path_).value_or(path_); }

void BatchSession::Reload() {
  boxes.texts.clear();
  ForgetViews();
  LoadBytesAndAnalyse(ShownPath(), bytes_, ws, surfaces_);
  KeepCurrentDrawings();
}

void BatchSession::ForgetViews() {
  for (RecordingCanvas* view : {&legend, &cumulativeDeaths, &deathsByCause, &survivalRate, &numberAtRisk}) view->Reset();
}

void BatchSession::KeepCurrentDrawings() { KeepCurrentDrawing(graph); }

std::string BatchSession::CheckChoices(const CliOptions& options) const {
  const CaseData& cases = ws.cases;
  for (const std::string& name : options.censor) {
    std::optional<std::string> bytes = Utf8ToCp932(name);
    bool found = false;
    for (int j = 1; bytes && j <= cases.NumCauses; ++j) found = found || cases.CauseNames[j] == *bytes;
    if (!found) {
      std::string known;
      for (int j = 1; j <= cases.NumCauses; ++j) known += (j > 1 ? ", " : "") + Cp932ToUtf8(cases.CauseNames[j]);
      return "no cause of death '" + name + "' in the data (" + (known.empty() ? "there are no deaths" : "causes: " + known) + ")";
    }
  }
  for (const GroupFlag& flag : options.groupFlags) {
    if (flag.group < 0 || flag.group > cases.NumGroups) {
      return "no group " + (flag.group < 0 ? std::string("of that index") : std::to_string(flag.group)) +
             " in the data (groups 0 to " + std::to_string(cases.NumGroups) + ")";
    }
  }
  // The figures and tables are made in code page 932: a character it lacks would be lost there.
  const auto unwritable = [](const std::string& label) {
    return "the label '" + label + "' holds a character that code page 932 lacks (the figures and tables are written in it)";
  };
  for (const auto& [group, label] : options.labels) {
    if (ReferenceGroupOf(group) == 0) return "no group '" + group + "' in the data for a label";
    if (!Utf8ToCp932(label)) return unwritable(label);
  }
  for (const auto& [cause, label] : options.causeLabels) {
    if (CauseIndexOf(cause) == 0) return "no cause '" + cause + "' in the data for a label";
    if (!Utf8ToCp932(label)) return unwritable(label);
  }
  ModelRequest request;
  if (std::string error = ModelRequestOf(options, request); !error.empty()) return error;
  if (options.reference && ReferenceGroupOf(*options.reference) == 0) {
    return "no group '" + *options.reference + "' in the data for the reference (groups 1 to " +
           std::to_string(cases.NumGroups) + ", by number or name)";
  }
  return {};
}

namespace {

// "age, sex, stage" for the message of a name that is none of them.
std::string ColumnNames(const Covariates& covariates) {
  if (covariates.columns.empty()) {
    return covariates.refusal.empty() ? "the file has no covariate columns" : "covariates refused: " + Cp932ToUtf8(covariates.refusal);
  }
  std::string names;
  for (const CovariateColumn& column : covariates.columns) names += (names.empty() ? "" : ", ") + Cp932ToUtf8(column.name);
  return "covariates: " + names;
}

std::string LevelNames(const CovariateColumn& column) {
  std::string names;
  for (const std::string& level : column.levels) names += (names.empty() ? "" : ", ") + Cp932ToUtf8(level);
  return names;
}

}  // namespace

std::string BatchSession::ModelRequestOf(const CliOptions& options, ModelRequest& request) const {
  const Covariates& covariates = ws.cases.covariates;
  request = {};
  // The column of a name, or the error line of a name there is none of.
  const auto column = [&](const std::string& name, const char* option, int& index) -> std::string {
    const std::optional<std::string> bytes = Utf8ToCp932(name);
    for (std::size_t c = 0; bytes && c < covariates.columns.size(); ++c) {
      if (covariates.columns[c].name == *bytes) {
        index = static_cast<int>(c);
        return {};
      }
    }
    return "no covariate '" + name + "' in the data for " + option + " (" + ColumnNames(covariates) + ")";
  };
  const auto categorical = [&](const std::string& name, const char* option, int& index) -> std::string {
    if (std::string error = column(name, option, index); !error.empty()) return error;
    if (covariates.columns[static_cast<std::size_t>(index)].type == CovariateType::Categorical) return {};
    return "the covariate '" + name + "' of " + option + " is continuous; it needs a categorical one";
  };
  for (const std::string& name : options.covariates) {
    CoxCovariateChoice choice;
    if (std::string error = column(name, "--covariates", choice.column); !error.empty()) return error;
    for (const CoxCovariateChoice& before : request.covariates) {
      if (before.column == choice.column) return "the covariate '" + name + "' is named twice in --covariates";
    }
    request.covariates.push_back(choice);
  }
  if (options.strata) {
    if (std::string error = categorical(*options.strata, "--strata", request.strata); !error.empty()) return error;
    for (const CoxCovariateChoice& choice : request.covariates) {
      if (choice.column == request.strata) return "the covariate '" + *options.strata + "' cannot be both a covariate and the strata";
    }
  }
  if (options.subgroup) {
    if (std::string error = categorical(*options.subgroup, "--subgroup", request.subgroup); !error.empty()) return error;
  }
  for (const auto& [name, level] : options.levels) {
    int index = -1;
    if (std::string error = categorical(name, "--level", index); !error.empty()) return error;
    auto chosen = std::find_if(request.covariates.begin(), request.covariates.end(),
                               [index](const CoxCovariateChoice& c) { return c.column == index; });
    if (chosen == request.covariates.end()) return "the covariate '" + name + "' of --level is not among --covariates";
    const CovariateColumn& c = covariates.columns[static_cast<std::size_t>(index)];
    const std::optional<std::string> bytes = Utf8ToCp932(level);
    const auto found = bytes ? std::find(c.levels.begin(), c.levels.end(), *bytes) : c.levels.end();
    if (found == c.levels.end()) return "no level '" + level + "' of the covariate '" + name + "' (levels: " + LevelNames(c) + ")";
    chosen->referenceLevel = static_cast<int>(found - c.levels.begin());
  }
  return {};
}

int BatchSession::CauseIndexOf(const std::string& utf8) const {
  const std::optional<std::string> bytes = Utf8ToCp932(utf8);
  for (int j = 1; bytes && j <= std::min(ws.cases.NumCauses, kOverflowIndex); ++j) {
    if (ws.cases.CauseNames[static_cast<std::size_t>(j)] == *bytes) return j;
  }
  return 0;
}

int BatchSession::ReferenceGroupOf(const std::string& utf8) const {
  const int groups = LastGroup(ws.cases);
  if (!utf8.empty() && utf8.find_first_not_of("0123456789") == std::string::npos) {
    const int g = utf8.size() <= 2 ? std::stoi(utf8) : 0;
    return g >= 1 && g <= groups ? g : 0;
  }
  const std::optional<std::string> bytes = Utf8ToCp932(utf8);
  for (int g = 1; bytes && g <= groups; ++g) {
    if (ws.cases.GroupNames[static_cast<std::size_t>(g)] == *bytes) return g;
  }
  return 0;
}

void BatchSession::CensorCauses(const std::vector<std::string>& utf8Names) {
  CauseFlags censored = ws.cases.CauseCensored;
  for (const std::string& name : utf8Names) {
    std::optional<std::string> bytes = Utf8ToCp932(name);
    for (int j = 1; bytes && j <= ws.cases.NumCauses; ++j) {
      if (ws.cases.CauseNames[j] == *bytes) censored[j] = 1;
    }
  }
  if (SetCensoredCauses(ws, censored)) Reload();
}

void BatchSession::SetShownGroups(const std::vector<GroupFlag>& flags) {
  GroupSet shown = ws.shown;
  for (const GroupFlag& f : flags) shown.Set(static_cast<int>(f.group), f.shown);
  ForgetViews();
  orv::SetShownGroups(ws, surfaces_, shown);
  KeepCurrentDrawings();
}

void BatchSession::ApplyRange(RangeCommand command) {
  if (!RangeCommandApplies(ws, command)) return;
  ForgetViews();
  orv::ApplyRange(ws, surfaces_, command);
  KeepCurrentDrawings();
}

std::string BatchSession::RunChoices(const CliOptions& options) {
  if (std::string error = CheckChoices(options); !error.empty()) return error;
  if (!options.censor.empty()) CensorCauses(options.censor);
  // After the reload, which forgets the last file's request; the same bytes have the same columns.
  ModelRequestOf(options, ws.model);
  if (ws.model.Asked()) AnalyseAgain(ws);
  if (!options.groupFlags.empty()) SetShownGroups(options.groupFlags);
  for (RangeCommand command : options.ranges) ApplyRange(command);
  if (options.reference) SetReferenceGroup(ws, ReferenceGroupOf(*options.reference));
  ws.timeUnit = options.timeUnit;
  for (const auto& [group, label] : options.labels) ws.groupLabels[static_cast<std::size_t>(ReferenceGroupOf(group))] = label;
  for (const auto& [cause, label] : options.causeLabels) ws.causeLabels[static_cast<std::size_t>(CauseIndexOf(cause))] = label;
  return {};
}

}  // namespace orv::cli
