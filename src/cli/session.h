// One run of the batch command: the workspace and the recording surfaces that stand in for
// the main window, the view windows, the report and the result windows, and the menu
// commands and setting-window choices applied to them.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/report_document.h"
#include "platform/recording.h"
#include "platform/surfaces.h"
#include "session/workspace.h"

namespace orv::cli {

// The main window's client area at its default size: a 900 x 700 window less its caption,
// borders and menu bar.
inline constexpr int kGraphClientWidth = 884;
inline constexpr int kGraphClientHeight = 642;
// A view window's client area is its size less these (borders and caption, no menu).
inline constexpr int kViewFrameWidth = 16;
inline constexpr int kViewFrameHeight = 39;

// Message boxes shown as lines on standard error (UTF-8); the texts of the current load
// are kept for the JSON result.
class StderrMessageBoxes : public MessageBoxes {
 public:
  explicit StderrMessageBoxes(std::FILE* err) : err_(err) {}
  void Show(std::string_view text, std::string_view caption, BoxIcon icon) override;
  std::vector<std::string> texts;  // Shift-JIS, as the core gave them

 private:
  std::FILE* err_;
};

// The loader tells the view windows their sizes; here they become the client rectangles of
// the canvases that stand for the windows.
class CanvasViewWindows : public ViewWindows {
 public:
  CanvasViewWindows(RecordingCanvas& legend, RecordingCanvas& cumulative, RecordingCanvas& byCause,
                    RecordingCanvas& survivalRate, RecordingCanvas& numberAtRisk)
      : legend_(legend), cumulative_(cumulative), byCause_(byCause), survivalRate_(survivalRate),
        numberAtRisk_(numberAtRisk) {}
  void Resize(const ViewSizes& sizes) override;

 private:
  RecordingCanvas& legend_;
  RecordingCanvas& cumulative_;
  RecordingCanvas& byCause_;
  RecordingCanvas& survivalRate_;
  RecordingCanvas& numberAtRisk_;
};

// The client rectangle of a view window of the given size; never smaller than one pixel.
Rect ViewClientRect(int windowWidth, int windowHeight);

class BatchSession {
 public:
  // Without `recordGraph` the main graph is drawn onto a canvas that keeps nothing: only
  // the image files need its drawing, and it is the largest one.
  explicit BatchSession(std::FILE* err, bool recordGraph = true);
  BatchSession(const BatchSession&) = delete;
  BatchSession& operator=(const BatchSession&) = delete;

  // The data file road, as a file named on the command line starts it, for the file's
  // bytes read once; a reload takes the same bytes, as a pipe cannot be read twice.
  void Load(const std::string& path, std::string bytes);
  // Empty when every cause name and group index of the options exists in the loaded data;
  // otherwise the error line.
  std::string CheckChoices(const CliOptions& options) const;
  // The job after the load: the choices checked, then the censored causes, the shown groups
  // and the range commands in the program's order. The error line of a choice the data do
  // not have, before anything is applied; else empty.
  std::string RunChoices(const CliOptions& options);
  // The adjusted analyses the options ask for, by the loaded file's covariate columns: empty
  // and `request` filled when every name and level exists and fits its role, else the error line.
  std::string ModelRequestOf(const CliOptions& options, ModelRequest& request) const;
  // The group 1..NumGroups that --reference names by number or by name; 0 for none.
  int ReferenceGroupOf(const std::string& utf8) const;
  // The index 1..NumCauses of a cause named in UTF-8; 0 when there is none.
  int CauseIndexOf(const std::string& utf8) const;
  // The censored-case window's OK: the causes ticked, and a reload when that changed a flag.
  void CensorCauses(const std::vector<std::string>& utf8Names);
  // The group selection window's OK with the given ticks changed.
  void SetShownGroups(const std::vector<GroupFlag>& flags);
  // One X range command of the menu.
  void ApplyRange(RangeCommand command);

  Workspace ws;
  ReportDocument report;
  StderrMessageBoxes boxes;
  RecordingResultText logRank{"log-rank\r\n"};
  RecordingResultText wilcoxon{"General Wilcoxon\r\n"};
  RecordingCanvas graph{{0, 0, kGraphClientWidth, kGraphClientHeight}};
  RecordingCanvas legend;
  RecordingCanvas cumulativeDeaths;
  RecordingCanvas deathsByCause;
  RecordingCanvas survivalRate;
  RecordingCanvas numberAtRisk;

 private:
  void Reload();
  std::string ShownPath() const;
  // Around each re-entry into the road: the views start empty, so that each holds what the
  // run drew, and of the graph only its current drawing is kept.
  void ForgetViews();
  void KeepCurrentDrawings();

  std::string path_;
  std::string bytes_;
  CanvasViewWindows views_{legend, cumulativeDeaths, deathsByCause, survivalRate, numberAtRisk};
  DiscardingCanvas unrecordedGraph_{graph.ClientRect()};
  Surfaces surfaces_;
};

}  // namespace orv::cli
