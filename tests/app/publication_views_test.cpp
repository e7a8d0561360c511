// The figures for publication in the program: the window 信頼区間・ハザード比 and the view
// リスク集団数 of the sample, and the tables saved as CSV files through the save dialog.
#include "app/win32.h"

#include <cmath>
#include <fstream>
#include <iterator>

#include "graph/incidence_view.h"
#include "gui_driver.h"
#include "session/commands.h"
#include "words/competing_text.h"
#include "words/figure_tables.h"
#include "words/reviewer_text.h"
#include "words/interval_text.h"
#include "words/model_text.h"
#include "text/cp932.h"

namespace orv::guitest {
namespace {

using namespace orv::app;

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What the batch command writes for a CSV text of the core: UTF-8 behind a byte-order mark.
std::string Utf8Csv(const std::string& cp932) { return "\xEF\xBB\xBF" + Cp932ToUtf8(cp932); }

COLORREF ColourOf(Rgb c) { return RGB(RedOf(c), GreenOf(c), BlueOf(c)); }

// A pixel of a view window moved uncovered to the top left of the screen (and sized, when a
// size is given), once Wine has painted it.
COLORREF ViewPixel(const App& app, HWND view, POINT at, SIZE size = {}) {
  SetWindowPos(view, HWND_TOP, 0, 0, size.cx, size.cy, (size.cx ? 0 : SWP_NOSIZE) | SWP_SHOWWINDOW);
  app.Settle();
  Sleep(300);
  app.Settle();
  HDC dc = GetDC(view);
  const COLORREF c = GetPixel(dc, at.x, at.y);
  ReleaseDC(view, dc);
  return c;
}

// The number-at-risk view: each shown group's line sample in its colour on its row.
TEST_F(Sample, NumberAtRiskRowsShown) {
  const Model model(*app_, SamplePath());
  HWND view = app_->Find("NORMAL6");
  for (int g = 1; g <= 4; ++g) {
    EXPECT_EQ(ViewPixel(*app_, view, {250, (g + 1) * 40 + 8}, {800, 400}), ColourOf(model.ws.styles[g].colour)) << g;
  }
}

// Fills in the save dialog the command opens and presses 保存 (OK).
void SaveAs(const App& app, const std::string& path, const char* defaultName) {
  app.Command(kCmdSaveTables);
  HWND dialog = app.Find("#32770");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(dialog), "表をCSVで保存");
  HWND name = FileNameField(dialog);
  EXPECT_EQ(ControlText(name), defaultName);
  EXPECT_EQ(ControlText(GetDlgItem(dialog, 0x470)), "CSV (*.csv)");
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  // Posted: a box the click raises (a wrong path, a file already there) must come back to
  // the test as a box, not hold its sender.
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  app.Settle();
}

// Nothing to save before a load with a valid row; then the files as the batch command writes
// them, "<name>-life-tables.csv" and beside it "-pairs.csv", "-medians.csv",
// "-hazard-ratios.csv" and "-model.csv" (the four groups' model), with one question before
// any is overwritten; a file that cannot be written (a folder in the way of the pair table: the test runs with rights no permission
// stops) is named in a box, and no file is left behind.
TEST(PublicationViews, SavedTablesEqualTheBatchCommandsFiles) {
  App app;
  const std::vector<Box> refusal = {{"保存する表がありません\r\nデータファイルを読み込んでください", "表をCSVで保存"}};
  for (const std::string& path : {WriteDataFile("empty.csv", ""), SamplePath()}) {
    app.Command(kCmdSaveTables);
    EXPECT_EQ(app.DismissAllBoxes(), refusal) << "before " << path;
    app.Drop({path});
    app.DismissAllBoxes();
  }
  Model model(app, SamplePath());
  const std::string lifeTables = TempDir() + "\\data-sample-life-tables.csv", pairs = TempDir() + "\\data-sample-pairs.csv";
  const std::string medians = TempDir() + "\\data-sample-medians.csv", ratios = TempDir() + "\\data-sample-hazard-ratios.csv";
  const std::string groupModel = TempDir() + "\\data-sample-model.csv";
  struct Step { const char* name; std::vector<std::string> there; int button; bool written; };
  const Step steps[] = {
      {"neither there: no question", {}, IDOK, true},
      {"the pair table there: asked, cancelled", {pairs}, IDCANCEL, false},
      {"both there: asked once, overwritten", {lifeTables, pairs}, IDOK, true},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    for (const std::string& path : {lifeTables, pairs, medians, ratios, groupModel}) DeleteFileA(path.c_str());
    std::string asked;
    for (const std::string& path : step.there) WriteDataFile(path.substr(TempDir().size() + 1), "old"), asked += path + "\r\n";
    SaveAs(app, lifeTables, "data-sample-life-tables.csv");
    const std::vector<Box> question = {{asked + "は既にあります。上書きしますか？", "表をCSVで保存"}};
    EXPECT_EQ(app.DismissAllBoxes(step.button), asked.empty() ? std::vector<Box>{} : question);
    // Cancelled: the pair table as it was, no life tables.
    EXPECT_TRUE(FileBytes(lifeTables) == (step.written ? Utf8Csv(LifeTablesCsv(model.ws)) : "")) << FileBytes(lifeTables).substr(0, 200);
    EXPECT_TRUE(FileBytes(pairs) == (step.written ? Utf8Csv(PairsCsv(model.ws)) : "old")) << FileBytes(pairs).substr(0, 200);
    EXPECT_TRUE(FileBytes(medians) == (step.written ? Utf8Csv(MediansCsv(model.ws)) : "")) << FileBytes(medians).substr(0, 200);
    EXPECT_TRUE(FileBytes(ratios) == (step.written ? Utf8Csv(HazardRatiosCsv(model.ws)) : "")) << FileBytes(ratios).substr(0, 200);
    EXPECT_TRUE(FileBytes(groupModel) == (step.written ? Utf8Csv(ModelCsv(model.ws)) : "")) << FileBytes(groupModel).substr(0, 200);
  }

  const std::string blocked = TempDir() + "\\blocked.csv", inTheWay = TempDir() + "\\blocked-pairs.csv";
  CreateDirectoryA(inTheWay.c_str(), nullptr);
  SaveAs(app, blocked, "data-sample-life-tables.csv");
  EXPECT_EQ(app.DismissAllBoxes(), (std::vector<Box>{{inTheWay + "\r\nは既にあります。上書きしますか？", "表をCSVで保存"},
                                                    {inTheWay, "ファイルの書き込みエラー"}}));
  EXPECT_EQ(GetFileAttributesA(blocked.c_str()), INVALID_FILE_ATTRIBUTES) << "the life tables are not left alone";
  EXPECT_EQ(app.Close(), 0u);
}

// Deaths of cause 1 counted as censored, in the suite's program: the interval window as the
// core writes it for the same file, before and after group 3 becomes the reference (and the
// paper's paragraphs after it) (the
// reference in force ticked when the window opens); the incidence view with the last shown
// group's curve at its level; the incidence table saved beside the other two; the view cleared
// by the run that follows when no cause is selected any more.
TEST_F(Sample, CompetingRisksAndReferenceGroup) {
  const App& app = *app_;
  app.Tick(kCmdCensoredCases, {9201}, true);
  Model model(app, SamplePath());
  model.ws.cases.CauseCensored[1] = 1;
  model.Load(SamplePath());
  ASSERT_TRUE(model.ws.run.competing.active);
  const std::string before = ControlText(IntervalsControl(app));
  EXPECT_EQ(before, IntervalsText(model.ws, model.ws.run.reviewer, model.ws.run.competing));
  app.Command(kCmdChooseReference);
  HWND window = app.Find("NORMALDLG");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), "基準群の選択");
  EXPECT_EQ(IsDlgButtonChecked(window, 9401), BST_CHECKED);
  SendMessageA(GetDlgItem(window, 9403), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(window, 1000), BM_CLICK, 0, 0);
  app.Settle();
  SetReferenceGroup(model.ws, model.surfaces, 3);
  const std::string after = ControlText(IntervalsControl(app));
  EXPECT_NE(after, before);
  EXPECT_EQ(after, IntervalsText(model.ws, model.ws.run.reviewer, model.ws.run.competing));
  EXPECT_EQ(ControlText(PaperControl(app)), model.paper.Text()) << "the paragraphs name the reference too";

  // The last curve drawn lies over the others: its longest step, read at its middle.
  const FigureLayout layout = IncidenceViewLayout(model.ws, model.ws.run.competing, model.ws.styles, model.ws.geometry.xMax);
  const LineStyle& last = model.ws.styles[LastGroup(model.ws.cases)];
  ASSERT_EQ(last.style, 0) << "a solid line";
  const FigureLine* curve = nullptr;
  for (const FigureLine& line : layout.lines) {
    if (line.colour == last.colour && (!curve || line.points.size() > curve->points.size())) curve = &line;
  }
  ASSERT_NE(curve, nullptr);
  FigurePoint from{}, to{};
  for (std::size_t i = 1; i < curve->points.size(); ++i) {
    const FigurePoint a = curve->points[i - 1], b = curve->points[i];
    if (a.y == b.y && a.y < layout.plotBottom && b.x - a.x > to.x - from.x) from = a, to = b;
  }
  const auto px = [](double dots) { return static_cast<int>(std::floor(dots * kIncidenceViewScale + 0.5)); };
  const POINT step{(px(from.x) + px(to.x)) / 2, px(from.y)};
  app.Command(kCmdIncidenceView);
  // Uncovered: a load places the views in their cascade again.
  EXPECT_EQ(ViewPixel(app, app.Find("NORMAL13"), step), ColourOf(last.colour));
  SaveScreen("orvantis-incidence.bmp");

  const std::string stem = TempDir() + "\\competing", incidence = stem + "-cumulative-incidence.csv";
  DeleteFileA(incidence.c_str());
  SaveAs(app, stem + "-life-tables.csv", "data-sample-life-tables.csv");
  EXPECT_EQ(app.DismissAllBoxes(), std::vector<Box>{});
  EXPECT_TRUE(FileBytes(incidence) == Utf8Csv(CumulativeIncidenceCsv(model.ws, model.ws.run.competing)));

  app.Tick(kCmdCensoredCases, {9201}, false);
  EXPECT_EQ(ViewPixel(app, app.Find("NORMAL13"), step), RGB(255, 255, 255)) << "the message alone";
}

// 21 groups of 58-byte names with deaths of the first cause counted as censored: the incidence
// view opens as large as its figure needs, group 3's legend sample in its colour beside the
// plot where the layout puts it. The screen is saved for a person to look at; the sample is
// loaded again for the suite's next test.
TEST_F(Sample, IncidenceViewOfLongNames) {
  const App& app = *app_;
  app.Drop({LongNamesFile()});
  app.DismissAllBoxes();
  app.Tick(kCmdCensoredCases, {9201}, true);
  while (app.Settle()) {}
  Model model(app, LongNamesFile());
  model.ws.cases.CauseCensored[1] = 1;
  model.Load(LongNamesFile());
  ASSERT_TRUE(model.ws.run.competing.active);
  const FigureLayout layout = IncidenceViewLayout(model.ws, model.ws.run.competing, model.ws.styles, model.ws.geometry.xMax);
  const Rgb blue = model.ws.styles[3].colour;
  const FigureLine* sample = nullptr;
  for (const FigureLine& line : layout.lines) {
    if (line.colour == blue && line.style == 0 && line.points.size() == 2 && line.points[0].x > layout.plotRight) sample = &line;
  }
  ASSERT_NE(sample, nullptr) << "no legend beside the plot";
  const auto px = [](double dots) { return static_cast<int>(std::floor(dots * kIncidenceViewScale + 0.5)); };
  app.Command(kCmdIncidenceView);
  const POINT middle{(px(sample->points[0].x) + px(sample->points[1].x)) / 2, px(sample->points[0].y)};
  EXPECT_EQ(ViewPixel(app, app.Find("NORMAL13"), middle), ColourOf(blue));
  SaveScreen("orvantis-incidence-long-names.bmp");
  app.Command(kCmdIncidenceView);
  app.Tick(kCmdCensoredCases, {9201}, false);
  app.Drop({SamplePath()});
  app.DismissAllBoxes();
}

}  // namespace
}  // namespace orv::guitest
