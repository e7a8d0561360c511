// The program object: the workspace, the surfaces and every Win32 handle of one run, and the
// start-up, window procedures and commands of the Windows program.
#pragma once

#include "app/win32.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "app/text_result.h"
#include "app/figure_drawing.h"
#include "app/gdi_canvas.h"
#include "app/rich_text.h"
#include "app/settings.h"
#include "dialogs/dialogs.h"
#include "platform/message_boxes.h"
#include "platform/surfaces.h"
#include "platform/view_windows.h"
#include "session/commands.h"
#include "session/workspace.h"

namespace orv::app {

class Program;

// The data file's name without its folder and extension; "orvantis" before any file.
std::string DataStem(const std::string& path);
// The system's message for an error code, with its number.
std::string SystemMessage(unsigned long error);

// Message boxes owned by the main window.
class Win32MessageBoxes : public MessageBoxes {
 public:
  explicit Win32MessageBoxes(const Program& program) : program_(program) {}
  void Show(std::string_view text, std::string_view caption, BoxIcon icon) override;

 private:
  const Program& program_;
};

class Win32ViewWindows : public ViewWindows {
 public:
  explicit Win32ViewWindows(Program& program) : program_(program) {}
  void Resize(const ViewSizes& sizes) override;

 private:
  Program& program_;
};

// The view windows, in their order of creation.
enum View : int { kLegend, kCumulative, kByCause, kRate, kReport, kLogRank, kWilcoxon, kAtRisk, kIntervals, kPaper, kIncidence, kFigure, kModel, kForest, kViewCount };

class Program {
 public:
  explicit Program(HINSTANCE instance);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  int Run();

  HWND mainWindow() const { return main_; }
  HWND view(View v) const { return views_[static_cast<std::size_t>(v)]; }
  // A load's view sizes, kept until its texts are in place: the views are then placed once,
  // each as wide as its labels and texts need (PlacePendingViews).
  void DeferViewPlacement(const ViewSizes& sizes) { pendingSizes_ = sizes; }

  static LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 private:
  // Main window.
  LRESULT OnMainMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void OnCreate(HWND hwnd);
  void OnDestroy();
  void ResizeGraph(int cx, int cy);
  void PaintGraph();
  void OnCommand(int id);
  // The test build's hooks (test_hooks.cpp); the release build handles none (no_test_hooks.cpp).
  LRESULT OnTestHook(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  void DrawPrompt();

  // View windows.
  LRESULT OnViewMessage(View v, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void CreateViewWindows();
  // A rich edit control, or with `plain` the read-only text view whose lines wrap at its width.
  HWND CreateReportControl(HWND parent, int id, const char* text, bool plain = false);
  // Shows a hidden view and brings a view to the top, active.
  void ShowViewWindow(View v);
  // Puts the shown views back above the main window when it has been activated, in their order.
  void KeepViewsAbove();
  // Moves a view once to (x, y) with the size w x h asked for, inside the work area: from a
  // cascade point it is cut to the room from there to the area's edges (when that is at least
  // half the area), otherwise it moves only as far as it must; a painted view cut short
  // scrolls over the size asked for.
  void PlaceView(View v, const RECT& work, POINT at, SIZE size, bool fromCascade);
  // The first load cascades the views; a later one leaves each where the user left it.
  void PlacePendingViews();
  void UpdateViewScroll(View v);
  void FitAdjustedViews();
  void ScrollView(View v, int bar, int code);
  void ShowComparisons(View v);
  void PaintView(View v);

  // Data files.
  bool CheckDataFile(const std::string& path);
  void ChooseDataFile();
  void DropDataFile(HDROP drop);
  void LoadShownFile(const std::string& path);
  void HideStaleComparisons();
  void SetFileTitle();

  // The paragraphs' unit and labels of the shown file, put back from the settings store after a
  // load and kept there after a change (paper_choices_store.cpp).
  void RecallPaperChoices();
  void RememberPaperChoices();

  // The life tables, the pair table and the incidence as CSV files for a spreadsheet (save_tables.cpp).
  void SaveTables();

  // The figure window "論文用の図" and the ways its figure leaves the program (figure_window.cpp).
  LRESULT OnFigureMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void PaintFigure(HWND hwnd);
  // The window's figure of the last run; none, after a box under the caption that says why,
  // before a load or with no group shown.
  std::optional<FigureLayout> FigureToExport(const char* caption);
  // Redrawn after every command and load: each may have run the analysis.
  void RefreshFigure();
  void SaveFigure();
  void CopyFigure();
  void PrintFigure();
  void ChangeFigureSettings();

  // Clipboard, help, about.
  void CopyGraphToClipboard();
  void OpenHelp();
  void ShowAbout();

  void RegisterViewClass(const char* name);

  HINSTANCE instance_;
  Workspace ws_;
  Surfaces surfaces_;
  DialogContext dialogs_;
  Win32MessageBoxes boxes_{*this};
  Win32ViewWindows viewWindows_{*this};

  std::string appTitle_ = "Orvantis";
  std::string appVersion_ = "ver. 1.2";
  std::string dataPath_;   // DataPath: the last file chosen, dropped or named
  std::string shownPath_;  // the file whose tables are shown
  std::string startupPath_;  // a file named on the command line, loaded once the views exist
  bool startupFile_ = false;

  HWND main_ = nullptr;
  std::optional<ViewSizes> pendingSizes_;
  std::array<SIZE, kViewCount> viewContent_{};  // client size of a painted view's content; 0: its client
  std::array<POINT, kViewCount> viewScroll_{};  // scroll position of a painted view
  std::array<bool, kViewCount> viewPlaced_{};   // placed by a load: the next keeps its place
  bool updatingScroll_ = false;
  std::array<HWND, kViewCount> views_{};
  std::array<HDC, kViewCount> viewDCs_{};
  HMENU menuBar_ = nullptr;
  HMENU figureMenu_ = nullptr;
  bool figureIncidence_ = false;  // the figure window shows the incidence figure when it can
  FigureSettings figureSettings_;  // read from the settings file at start, written by each change
  HFONT dialogFont_ = nullptr;
  HBRUSH dialogBrush_ = nullptr;
  HMODULE richEdit_ = nullptr;
  HDC mainDC_ = nullptr;      // MainWindowDC
  HDC graphDC_ = nullptr;     // GraphDC
  HBITMAP graphBitmap_ = nullptr;
  HGDIOBJ firstBitmap_ = nullptr;

  std::unique_ptr<GdiCanvas> graphCanvas_;
  std::unique_ptr<GdiCanvas> screenCanvas_;
  std::array<std::unique_ptr<GdiCanvas>, kViewCount> viewCanvases_;
  std::unique_ptr<RichEditReport> report_;
  std::unique_ptr<RichEditResult> logRank_;
  std::unique_ptr<RichEditResult> wilcoxon_;
  std::unique_ptr<RichEditResult> intervals_;
  std::unique_ptr<TextResult> paper_;
  std::unique_ptr<RichEditResult> model_;
  ModelChoices modelChoices_;  // the covariate choice of each data file loaded in this run
};

}  // namespace orv::app
