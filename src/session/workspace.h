// The state of one run of the program, owned by the program and passed by reference: the
// loaded case data, the user's settings, the last analysis run and what was last presented.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "data/case_data.h"
#include "data/group_set.h"
#include "graph/line_styles.h"
#include "graph/plot_geometry.h"
#include "platform/view_windows.h"
#include "stats/analysis_run.h"
#include "words/analysis_results.h"
#include "words/paper_text.h"
#include "words/summary_texts.h"

namespace orv {

struct Workspace {
  CaseData cases;
  std::string dataPath;  // the loaded file as the raw data report names it (code page 932)
  // The user's settings. geometry.xMax is the range asked for; each run puts its window's
  // axis there, which the next range command starts from.
  GroupSet shown;          // drawn, pooled into group 0 and compared
  int referenceGroup = 0;  // of the hazard ratios; 0: none chosen, the first shown group
  ModelRequest model;      // what the adjusted analyses adjust for
  // A request kept for the file about to be loaded, with the names of the covariate columns it
  // was made for: the load takes it only when the file's columns still have those names.
  struct KeptModel {
    std::vector<std::string> columns;
    ModelRequest request;
  };
  std::optional<KeptModel> keptModel;
  TimeUnit timeUnit = TimeUnit::Months;  // of the paragraphs for the paper
  // English labels of the groups and causes for the English paragraph (UTF-8; empty: the name).
  std::array<std::string, kGroupSlots> groupLabels;
  std::array<std::string, kCauseSlots> causeLabels;
  PlotGeometry geometry;
  LineStyles styles;
  ViewSizes viewSizes;
  // The last analysis run, and the groups' row texts as the graph was last drawn.
  AnalysisRun run;
  SummaryTexts texts;

  Workspace();  // start-up values everywhere, line styles included

  // What the texts and views read of the last analysis run; a workspace is read as its
  // results wherever those are asked for.
  AnalysisResults Results() const { return ResultsOf(cases, run, shown, texts); }
  operator AnalysisResults() const { return Results(); }
  // What the paragraphs for the paper read of the last analysis run.
  PaperSources PaperInput() const { return {cases, shown, run.survival, run.figures, run.reviewer, run.competing, dataPath, timeUnit, groupLabels, causeLabels, &run.model, &run.adjusted}; }
};

}  // namespace orv
