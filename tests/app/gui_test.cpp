// Orvantis.exe driven from outside under Wine: start-up, views, menu commands, files, boxes,
// the clipboard and the graph's pixels, compared with what the core gives for the same file.
#include "app/win32.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/test_hooks.h"
#include "gui_driver.h"
#include "session/analysis.h"
#include "session/commands.h"
#include "text/truncate.h"

namespace orv::guitest {
namespace {

using namespace orv::app;

// Deaths until week 600 (A) and 550 (B), many of them between five and ten years.
constexpr char kLateDeaths[] =
    "A,100,死亡,癌\r\nA,900,生存\r\nA,1500,死亡,癌\r\nA,1900,死亡,癌\r\nA,2300,生存\r\nA,2600,死亡,癌\r\n"
    "A,3000,死亡,癌\r\nA,3300,生存\r\nA,3700,死亡,癌\r\nA,4200,死亡,癌\r\nB,200,死亡,癌\r\nB,700,死亡,癌\r\n"
    "B,1200,生存\r\nB,1600,死亡,癌\r\nB,2000,死亡,癌\r\nB,2200,生存\r\nB,2500,死亡,癌\r\nB,2900,死亡,癌\r\n"
    "B,3400,死亡,癌\r\nB,3850,死亡,癌\r\n";

// Only group A has 8 or more cases: one curve.
const std::string kOneShownGroup = std::string(kLateDeaths, std::string_view(kLateDeaths).find("B,")) + "B,60,死亡,癌\r\n";

constexpr char kReportInitial[] = "読み込みデータ\r\n読み込みデータ\r\n";
constexpr char kNotFound[] = "ファイルが見つかりません";

// A file that exists and does not open: its path and why, under the heading of the failure.
Box OpenError(const std::string& path, const char* reason) { return {path + "\r\n" + reason, "ファイルのオープンエラー"}; }
constexpr char kFolder[] = "フォルダーです。データファイルを選んでください";

std::string ReportText(const App& app) { return ControlText(ReportControl(app)); }

// The title and the report name the file shown, and the report is the core's for it; "": no
// file, the report as created.
void ExpectShown(const App& app, const std::string& path) {
  EXPECT_EQ(WindowText(app.Main()), path.empty() ? "Orvantis" : "Orvantis : " + path);
  EXPECT_EQ(ReportText(app), path.empty() ? kReportInitial : Model(app, path).report.Text());
}

void Resize(const App& app, int width, int height) {
  SetWindowPos(app.Main(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  app.Settle();
}

// The main window as created; every view created hidden and owned by the main window, its
// control holding its heading; after a load each command shows its view, and again after the
// view's close box hid it, and keeps it shown when used again. The about box and the graph
// copied to the clipboard, in the same program (the help command is the release package test's).
TEST(Startup, WindowsAsCreatedAndShownByTheirCommands) {
  App app;
  const int x = TruncToInt32(GetSystemMetrics(SM_CXSCREEN) * 0.5 - 450);
  const int y = TruncToInt32(GetSystemMetrics(SM_CYSCREEN) * 0.5 - 360);
  EXPECT_EQ(Place(app.Main()), (Rect{x, y, 900, 700}));
  EXPECT_TRUE(GetWindowLongA(app.Main(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  EXPECT_EQ(GetWindowLongA(app.Main(), GWL_STYLE) & 0x10CF0000, 0x10CC0000) << "no minimise or maximise box";
  app.Command(kCmdAbout);
  EXPECT_EQ(app.DismissAllBoxes(), (std::vector<Box>{{"Orvantis  ver. 1.2", "Orvantis"}}));
  // The graph copied as a bitmap of the client's size, before a load and after.
  const auto expectCopied = [&] {
    app.Command(kCmdCopyGraph);
    ASSERT_TRUE(OpenClipboard(nullptr));
    BITMAP bm{};
    GetObjectA(GetClipboardData(CF_BITMAP), sizeof bm, &bm);
    CloseClipboard();
    EXPECT_EQ((Rect{bm.bmWidth, bm.bmHeight}), (Rect{ClientSize(app.Main()).cx, ClientSize(app.Main()).cy}));
  };
  expectCopied();

  struct View { const char* className; const char* caption; int controlId; const char* text; int command; };
  const View views[] = {
      {"NORMAL1", "LabelWnd", 0, nullptr, kCmdLegend},        {"NORMAL2", "累積死亡者数", 0, nullptr, kCmdCumulativeDeaths},
      {"NORMAL3", "死因別", 0, nullptr, kCmdDeathsByCause},  {"NORMAL4", "生存率", 0, nullptr, kCmdSurvivalRate},
      {"NORMAL5", "LogWnd", kReportControlId, kReportInitial, kCmdReportWindow},
      {"NORMAL9", "多重比較(Log rank)", kLogRankControlId, "log-rank\r\n", kCmdLogRankWindow},
      {"NORMAL10", "多重比較(General Wilcoxon)", kWilcoxonControlId, "General Wilcoxon\r\n", kCmdWilcoxonWindow},
      {"NORMAL6", "リスク集団数", 0, nullptr, kCmdNumberAtRisk}, {"NORMAL13", "累積発生率", 0, nullptr, kCmdIncidenceView},
      {"NORMAL11", "信頼区間・ハザード比", kIntervalsControlId, "信頼区間・ハザード比\r\n", kCmdIntervals},
      {"NORMAL12", "論文用の記述", kPaperControlId, "論文用の記述\r\n", kCmdPaper},
      {"NORMAL15", "多変量解析", kModelControlId, "多変量解析\r\n", kCmdModelWindow},
      {"NORMAL16", "フォレストプロット", 0, nullptr, kCmdForestView},
  };
  for (const View& v : views) {
    SCOPED_TRACE(v.className);
    HWND w = app.Find(v.className);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(WindowText(w), v.caption);
    EXPECT_FALSE(Visible(w));
    EXPECT_EQ(GetWindow(w, GW_OWNER), app.Main());
    if (!v.controlId) continue;
    EXPECT_EQ(ControlText(GetDlgItem(w, v.controlId)), v.text);
    // Japanese already in the heading: legible before any load.
    if (v.text[0] & 0x80) { EXPECT_EQ(app.CharSetOf(GetDlgItem(w, v.controlId), std::string_view(v.text).substr(0, 20)), SHIFTJIS_CHARSET); }
  }

  app.Drop({WriteDataFile("views.csv", kTwoGroups)});
  expectCopied();
  for (const View& v : views) {
    SCOPED_TRACE(v.className);
    HWND w = app.Find(v.className);
    EXPECT_FALSE(Visible(w));
    app.Command(v.command);
    EXPECT_TRUE(Visible(w));
    if (HWND control = GetWindow(w, GW_CHILD)) {
      EXPECT_EQ(Place(control), (Rect{0, 0, ClientSize(w).cx, ClientSize(w).cy})) << "the control fills its window";
    }
    SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(Visible(w));
    app.Command(v.command);
    EXPECT_TRUE(Visible(w));
    app.Command(v.command);
    EXPECT_TRUE(Visible(w)) << "a second use keeps it";
    EXPECT_EQ(app.Find("#32770"), nullptr) << "no box";
  }
  // A clipboard held by another program: the copy gives up and leaves it alone.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
  lstrcpyA(static_cast<char*>(GlobalLock(text)), "held");
  GlobalUnlock(text);
  SetClipboardData(CF_TEXT, text);
  app.Command(kCmdCopyGraph);
  CloseClipboard();
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  app.Command(kCmdLegend);
  EXPECT_EQ(app.Close(), 0u) << "closing the main window ends the program even with views shown";
}

// A click of the left button at a point of the screen, as the mouse gives it.
void ClickAt(POINT p) {
  SetCursorPos(p.x, p.y);
  INPUT click[2]{};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
}

// The shown windows of the program from the highest, by class, once the X server's exposures
// that reorder them are in.
std::vector<std::string> Stack(const App& app) {
  Sleep(300);
  app.Settle();
  std::vector<HWND> all;  // one list of the order, taken at once
  EnumWindows([](HWND w, LPARAM lp) { return reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w), TRUE; },
              reinterpret_cast<LPARAM>(&all));
  std::vector<std::string> classes;
  for (HWND w : all) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    if (Visible(w) && app.Find(name) == w) classes.emplace_back(name);
  }
  return classes;
}

// Three views over the left of the main window: a click on its client area, and one on the
// free end of its menu bar, leave them above it in their order; a view's menu item brings the
// one buried under the others to the top and keeps it shown.
TEST(Views, AboveTheMainWindowAndRaisedByTheirMenuItems) {
  App app(Quoted(WriteDataFile("views.csv", kTwoGroups)));
  const Rect main = Place(app.Main());
  for (const auto& [className, command, x] : {std::tuple{"NORMAL1", kCmdLegend, 0}, {"NORMAL2", kCmdCumulativeDeaths, 60},
                                              {"NORMAL3", kCmdDeathsByCause, 120}}) {
    app.Command(command);
    SetWindowPos(app.Find(className), nullptr, main[0] + x, main[1] + 60 + x, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const std::vector<std::string> order = {"NORMAL3", "NORMAL2", "NORMAL1", "NORMAL0"};
  ASSERT_EQ(Stack(app), order);
  POINT client{ClientSize(app.Main()).cx - 20, ClientSize(app.Main()).cy - 20};
  ClientToScreen(app.Main(), &client);
  const POINT menuBar{main[0] + main[2] - 30, client.y - ClientSize(app.Main()).cy + 20 - GetSystemMetrics(SM_CYMENU) / 2};
  for (const auto& [name, at] : {std::pair{"client area", client}, {"menu bar", menuBar}}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(WindowFromPoint(at), app.Main());
    ClickAt(at);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.Main(); }));
    EXPECT_EQ(Stack(app), order);
  }
  app.Command(kCmdLegend);
  EXPECT_EQ(Stack(app), (std::vector<std::string>{"NORMAL1", "NORMAL3", "NORMAL2", "NORMAL0"}));
}

// The parsing of the line itself is covered case by case in CommandLine.DataFileArgument; a
// relative path is taken from the folder the program starts in.
TEST(Startup, FileOnTheCommandLine) {
  CreateDirectoryA((TempDir() + "\\sub dir").c_str(), nullptr);
  WriteDataFile("sub dir\\two groups.csv", kTwoGroups);
  const std::string missing = TempDir() + "\\no-such-file.csv";
  struct Case { const char* name; std::string arguments, loads; std::vector<Box> boxes; };  // loads "": nothing loads
  const Case cases[] = {
      {"quoted relative path with blanks and forward slashes", Quoted("sub dir/two groups.csv"), "sub dir/two groups.csv", {}},
      {"the same unquoted", "sub dir/two groups.csv", "sub dir/two groups.csv", {}},
      {"missing file", missing, "", {{missing, kNotFound}}},
      {"a folder", TempDir(), "", {OpenError(TempDir(), kFolder)}},
  };
  char testDir[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, testDir);
  SetCurrentDirectoryA(TempDir().c_str());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    App app(c.arguments);
    EXPECT_EQ(app.DismissAllBoxes(), c.boxes);
    ExpectShown(app, c.loads);
  }
  SetCurrentDirectoryA(testDir);
}

// Each range command of the menu as the core applies it (its limits are the batch command's
// tests'): the log-rank table over the weeks it leaves.
TEST(Commands, RangeOfTheGraphAndTheTests) {
  const std::string path = WriteDataFile("late.csv", kLateDeaths);
  App app(Quoted(path));
  Model model(app, path);
  struct Step { const char* name; int command; int xMax; };  // the range left, after the fit to the data
  const Step steps[] = {
      {"10 years", kCmdTenYears, 520},       {"-1 year", kCmdMinusOneYear, 468},
      {"-5 years", kCmdMinusFiveYears, 208}, {"-1 year", kCmdMinusOneYear, 156},
      {"-1 year", kCmdMinusOneYear, 104},    {"-1 year", kCmdMinusOneYear, 52},
      {"-1 year at 52 does nothing", kCmdMinusOneYear, 52},
      {"+1 year", kCmdPlusOneYear, 104},     {"+5 years", kCmdPlusFiveYears, 364},
      {"longest, fitted to the last death", kCmdLongest, 624},
      {"5 years", kCmdFiveYears, 260},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    app.Command(s.command);
    model.ws.geometry.xMax = s.xMax;
    RunAnalysis(model.ws, model.surfaces);
    EXPECT_EQ(ControlText(LogRankControl(app)), model.logRank.Text());
  }
}

// Files chosen in the open dialog or dropped, each over a file of two shown groups whose
// comparison windows are open, each told in one box at most. The log-rank and Wilcoxon windows
// show only with two or more groups on the graph: their command refuses before any file and
// after a run left fewer, and such a run empties and hides them, while another file of two
// groups fills them anew. A load without a valid row is told in a box owned by the main window,
// with the report shown in front; a file that does not open, dropped or chosen, is told with
// the reason and keeps everything, also the start screen before. Then what a failed drop leaves
// for a resize (the axes' pixels) and for the censored-case selection, whose reload repeats no
// warning of the load.
TEST(Files, ChosenOrDroppedAndTheComparisonsLeft) {
  const std::string two = WriteDataFile("two.csv", kTwoGroups), late = WriteDataFile("late.csv", kLateDeaths);
  const std::string capped = WriteDataFile("capped.csv", std::string(kTwoGroups) + "B,20000,生存\r\n");
  const std::string missing = TempDir() + "\\missing.csv", folder = TempDir(), empty = WriteDataFile("empty.csv", "");
  const std::string noDays = WriteDataFile("nodays.csv", "'comment\r\nA,,死亡\r\nB,abc,生存\r\n");
  const std::string one = WriteDataFile("one.csv", "A,,死亡\r\nB,10,生存\r\n"), oneShown = WriteDataFile("one-shown.csv", kOneShownGroup);
  // Held open by this test without sharing, as a spreadsheet program holds a file it shows.
  const std::string held = WriteDataFile("held.csv", kTwoGroups);
  HANDLE holding = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holding, INVALID_HANDLE_VALUE);
  App app;
  // The start screen stays: no title, the report as created, and a resize draws no empty axes.
  app.Drop({folder});
  EXPECT_EQ(app.DismissAllBoxes(), std::vector<Box>{OpenError(folder, kFolder)});
  ExpectShown(app, "");
  Resize(app, 880, 680);
  const SIZE client = ClientSize(app.Main());
  EXPECT_EQ(app.GraphPixel(80 + (client.cx - 130) / 2, 50 + client.cy - 150), RGB(255, 255, 255)) << "no X axis";
  std::vector<Box> cut;  // the warning of the period cut to 40 years
  for (const RecordedBox& b : Model(app, capped).boxes.boxes) cut.push_back({b.text, b.caption});
  ASSERT_EQ(cut.size(), 1u);
  const auto noData = [](const std::string& path) { return Box{"有効なデータがありません\r\n" + path, "データの確認！"}; };
  enum Tables { kKept, kFilled, kHidden };  // the comparison windows afterwards
  struct Step {
    const char* name;
    int button;  // of the file-open dialog, which gets the first path; 0: the paths are dropped; -1: group 2 unticked
    std::vector<std::string> paths;
    std::vector<Box> boxes;
    std::string shown;  // the file of the title and the report afterwards
    Tables tables;
    bool told = false;  // without a valid row: the report shown with the box
  };
  const Step steps[] = {
      {"dialog cancelled: nothing changes", IDCANCEL, {late}, {}, two, kKept},
      {"a file chosen in the dialog", IDOK, {late}, {}, late, kFilled},
      {"of three dropped files only the first loads", 0, {capped, late, folder}, cut, capped, kFilled},
      {"a missing file", 0, {missing}, {{missing, kNotFound}}, two, kKept},
      {"an empty file", 0, {empty}, {noData(empty)}, empty, kHidden, true},
      {"only rows without days", 0, {noDays}, {noData(noDays)}, noDays, kHidden, true},
      {"one valid row, no shown group", 0, {one},
       {{"表示できる群がありません\r\nどの群も 8 例未満です（8 例以上の群を表示します）\r\n" + one, "データの確認！"}}, one, kHidden},
      {"one group of 8 or more cases", 0, {oneShown}, {}, oneShown, kHidden},
      {"the second unticked in the group selection", -1, {}, {}, two, kHidden},
      {"a folder does not open", 0, {folder}, {OpenError(folder, kFolder)}, two, kKept},
      {"a file another program holds", 0, {held}, {OpenError(held, "ほかのプログラムが使用中で開けません")}, two, kKept},
      {"the same chosen in the dialog", IDOK, {held}, {OpenError(held, "ほかのプログラムが使用中で開けません")}, two, kKept},
  };
  const auto expectRefused = [&](bool refused) {
    for (int command : {kCmdLogRankWindow, kCmdWilcoxonWindow}) {
      app.Command(command);
      const std::vector<Box> refusal = {{"グラフは2本以上必要です", "多重比較"}};
      EXPECT_EQ(app.DismissAllBoxes(), refused ? refusal : std::vector<Box>{}) << command;
    }
  };
  expectRefused(true);
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    app.Drop({two});
    expectRefused(false);
    const std::string logRank = ControlText(LogRankControl(app)), wilcoxon = ControlText(WilcoxonControl(app));
    ASSERT_TRUE(Visible(app.Find("NORMAL9")) && Visible(app.Find("NORMAL10")) && logRank.find(" 1 -  2") != std::string::npos);
    if (s.button > 0) {
      app.Command(kCmdOpenFile);
      HWND dialog = app.Find("#32770");
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(WindowText(dialog), "データファイルを選んで下さい");
      HWND name = FileNameField(dialog);
      EXPECT_EQ(ControlText(name), "data-sample.csv");
      EXPECT_EQ(ControlText(GetDlgItem(dialog, 0x470)), "csv(*.csv)");
      SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.paths[0].c_str()));
      SendMessageA(GetDlgItem(dialog, s.button), BM_CLICK, 0, 0);
      app.Settle();
    } else if (s.button == 0) {
      app.Drop(s.paths);
    } else {
      app.Tick(kCmdChooseGroups, {9002}, false);
    }
    if (HWND box = app.Find("#32770"); box && s.told) { EXPECT_EQ(GetWindow(box, GW_OWNER), app.Main()); }
    EXPECT_EQ(app.DismissAllBoxes(), s.boxes);
    EXPECT_EQ(Visible(app.Find("NORMAL5")), s.told) << "the report is shown with the box";
    if (s.told) { EXPECT_TRUE(Above(app.Find("NORMAL5"), app.Main())) << "and stays in front after it"; }
    SendMessageA(app.Find("NORMAL5"), WM_CLOSE, 0, 0);
    ExpectShown(app, s.shown);
    const Model model(app, s.shown);
    for (auto [className, before, filled] : {std::tuple{"NORMAL9", logRank, model.logRank.Text()},
                                             {"NORMAL10", wilcoxon, model.wilcoxon.Text()}}) {
      SCOPED_TRACE(className);
      EXPECT_EQ(Visible(app.Find(className)), s.tables != kHidden);
      EXPECT_EQ(ControlText(GetWindow(app.Find(className), GW_CHILD)), s.tables == kKept ? before : s.tables == kFilled ? filled : "");
    }
    expectRefused(s.tables == kHidden);
    // The intervals and the paragraphs for the paper are not pair tables: one group still has its own.
    if (s.tables == kHidden && !s.told && s.button == 0) {
      EXPECT_EQ(ControlText(IntervalsControl(app)), model.intervals.Text());
      EXPECT_EQ(ControlText(PaperControl(app)), model.paper.Text());
    }
  }
  // After a failed drop over a file whose load warned, a resize redraws the graph of the shown
  // file, its axes drawn with the pens' widths.
  app.Drop({capped});
  app.DismissAllBoxes();
  app.Drop({folder});
  app.DismissAllBoxes();
  Resize(app, 800, 600);
  Model model(app, capped);
  const PlotGeometry& g = model.ws.geometry;
  const int left = g.left, top = g.top, mid = g.left + g.width / 2, axis = g.top + g.height;
  constexpr COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
  struct Point { const char* name; int x, y; COLORREF colour; };
  const Point points[] = {
      {"X axis, first row", mid, axis, black},         {"X axis, fourth row", mid, axis + 3, black},
      {"below the X axis", mid + 3, axis + 5, white},  {"Y axis", left, top + 20, black},
      {"Y axis, second column", left - 1, top + 20, black}, {"left of the Y axis", left - 5, top + 20, white},
      {"50 % line", left + g.width - 3, TruncToInt32(top + g.height / 2.0), black},
  };
  for (const Point& p : points) EXPECT_EQ(app.GraphPixel(p.x, p.y), p.colour) << p.name << " at " << p.x << "," << p.y;
  // Deaths of the first cause (癌) count as censored from now on: the shown file reloads.
  app.Tick(kCmdCensoredCases, {9201}, true);
  EXPECT_EQ(app.Find("#32770"), nullptr);
  model.ws.cases.CauseCensored[1] = 1;
  model.Load(capped);
  EXPECT_EQ(ReportText(app), model.report.Text()) << "the shown file is reloaded, not the failed one";
  EXPECT_EQ(ControlText(LogRankControl(app)), model.logRank.Text());
  // A client narrower than the margins wraps the plot width; the graph is drawn and clipped.
  Resize(app, 110, 300);
  EXPECT_TRUE(app.Running());
  CloseHandle(holding);
}


double Seconds() { return static_cast<double>(GetTickCount64()) / 1000; }

double CpuSeconds(const App& app) { return static_cast<double>(SendMessageA(app.Main(), kCpuMilliseconds, 0, 0)) / 1000; }

// Large reports as a user meets them: the figures are printed, not judged (the machine's load
// moves them), but the text must reach the control whole, a read during the fill must give what
// is there so far, and a small file dropped during a fill replaces the report at once. A shown
// report of lines wider than its window keeps their beginnings in sight through the fill, and
// has its scroll bars.
TEST(Report, LargeFileFill) {
  App app;
  std::string large;
  for (int rows : {10000, 100000}) {
    std::string bytes = "'a large file\r\n";
    for (int i = 0; i < rows; ++i) {
      bytes.append(1, "ABCD"[i % 4]).append(1, ',').append(std::to_string((i * 37) % 5000 + 1));
      bytes += (i % 3 == 0) ? ",生存\r\n" : (i % 7 == 0 ? ",死亡\r\n" : ",死亡,癌\r\n");
    }
    large = WriteDataFile("large.csv", bytes);
    const std::string expected = Model(app, large).report.Text();
    const double cpu = CpuSeconds(app), start = Seconds();
    app.Drop({large}, false);
    // The first ping waits for the load and the analysis; the fill follows.
    bool filling = app.Settle();
    const double loaded = Seconds() - start;
    double longestGap = 0, readSeconds = -1;
    while (filling) {
      const double before = Seconds();
      filling = app.Settle();
      const double pinged = Seconds();
      longestGap = std::max(longestGap, pinged - before);
      if (!filling || readSeconds >= 0) continue;
      const std::string partial = ReportText(app);
      readSeconds = Seconds() - pinged;
      EXPECT_TRUE(partial.size() < expected.size() && expected.starts_with(partial)) << "what is there so far";
    }
    std::printf("[ fill     ] %d rows: loaded in %.2f s, filled in %.2f s, %.2f s of CPU in all, longest ping during the "
                "fill %.3f s, read during the fill %.3f s\n",
                rows, loaded, Seconds() - start, CpuSeconds(app) - cpu, longestGap, readSeconds);
    EXPECT_TRUE(ReportText(app) == expected) << "the whole report";
  }
  app.Drop({large}, false);
  app.Drop({WriteDataFile("small.csv", kTwoGroups)});
  EXPECT_EQ(ReportText(app), Model(app, TempDir() + "\\small.csv").report.Text());

  std::string wide;
  const std::string cause(160, 'x');
  for (int i = 0; i < 4000; ++i) wide += std::string(1, "ABCD"[i % 4]) + "," + std::to_string(i % 3000 + 1) + ",死亡," + cause + "\r\n";
  app.Command(kCmdReportWindow);
  app.Drop({WriteDataFile("wide.csv", wide)}, false);
  for (bool filling = app.Settle(); filling; filling = app.Settle()) {
    EXPECT_EQ(app.ScrollOf(ReportControl(app), SB_HORZ).pos, 0) << "scrolled away from the lines' beginnings";
  }
  EXPECT_EQ(GetWindowLongA(ReportControl(app), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
}

// Range clicks with every view and text window open, with the long-name file and the sample,
// then with the text windows closed: the processor time of each, until the program is idle, is
// printed, not judged. After each series the text windows (opened again) hold the core's texts
// for the range it ended on, each with its caret at the start, and the last written or opened
// has the focus, also where a text was left as it was.
TEST(Range, ClicksWithEveryWindowOpen) {
  App app;
  for (int command : {kCmdReportWindow, kCmdLegend, kCmdSurvivalRate, kCmdDeathsByCause, kCmdCumulativeDeaths,
                      kCmdNumberAtRisk, kCmdIncidenceView, kCmdIntervals, kCmdPaper}) {
    app.Command(command);
  }
  constexpr int kClicks = 20;
  struct Pair { const char* name; int command[2]; RangeCommand range[2]; };
  const Pair pairs[] = {{"5/10 years", {kCmdFiveYears, kCmdTenYears}, {RangeCommand::FiveYears, RangeCommand::TenYears}},
                        {"+/-1 year", {kCmdPlusOneYear, kCmdMinusOneYear}, {RangeCommand::PlusOneYear, RangeCommand::MinusOneYear}}};
  const char* const textWindows[] = {"NORMAL9", "NORMAL10", "NORMAL11", "NORMAL12"};
  for (const std::string& file : {LongNamesFile(), SamplePath()}) {
    app.Drop({file});
    app.DismissAllBoxes();
    while (app.Settle()) {}
    app.Command(kCmdLogRankWindow);
    app.Command(kCmdWilcoxonWindow);
    Model model(app, file);
    const HWND controls[] = {LogRankControl(app), WilcoxonControl(app), IntervalsControl(app), PaperControl(app)};
    for (bool closed : {false, true}) {
      for (const Pair& pair : pairs) {
        const std::string name = std::string(pair.name) + (closed ? ", text windows closed" : "");
        for (HWND control : controls) SendMessageA(control, EM_SETSEL, 5, 5);
        if (closed) {
          for (const char* window : textWindows) SendMessageA(app.Find(window), WM_CLOSE, 0, 0);
        }
        SetForegroundWindow(app.Main());
        const double cpu = CpuSeconds(app), start = Seconds();
        for (int i = 0; i < kClicks; ++i) app.Command(pair.command[i % 2]);
        std::printf("[ range    ] %s, %d groups, %s alternating: %.3f s of CPU and %.3f s per click\n",
                    file.substr(file.find_last_of('\\') + 1).c_str(), model.ws.cases.NumGroups, name.c_str(),
                    (CpuSeconds(app) - cpu) / kClicks, (Seconds() - start) / kClicks);
        if (closed) {
          for (int command : {kCmdLogRankWindow, kCmdWilcoxonWindow, kCmdIntervals, kCmdPaper}) app.Command(command);
        }
        for (RangeCommand range : pair.range) ApplyRange(model.ws, model.surfaces, range);
        EXPECT_EQ(ControlText(controls[0]), model.logRank.Text()) << name;
        EXPECT_EQ(ControlText(controls[1]), model.wilcoxon.Text()) << name;
        EXPECT_EQ(ControlText(controls[2]), model.intervals.Text()) << name;
        EXPECT_EQ(ControlText(controls[3]), model.paper.Text()) << name;
        for (HWND control : controls) EXPECT_EQ(SendMessageA(control, EM_GETSEL, 0, 0), 0) << name;
        EXPECT_EQ(GetForegroundWindow(), app.Find("NORMAL12")) << name << ": the last window written";
      }
    }
  }
}

// The whole screen with the long-name file loaded and every view open, laid out as a user
// would drag them so that each shows its caption and most of its content, saved as a BMP in
// the build tree for a person to look at; the main window shows the pixels of the program's
// graph. The sample is loaded again for the suite's next test.
TEST_F(Sample, ScreenshotOfEveryView) {
  app_->Drop({LongNamesFile()});
  app_->DismissAllBoxes();
  // The end of the report's fill focuses the report: it comes before the layout.
  while (app_->Settle()) {}
  struct Layout { const char* className; int x, y, w, h; };
  const Layout layouts[] = {
      {"NORMAL0", 0, 0, 640, 500},     {"NORMAL11", 640, 0, 640, 390},   {"NORMAL6", 0, 500, 640, 330},
      {"NORMAL4", 0, 830, 640, 194},   {"NORMAL9", 640, 390, 640, 300},  {"NORMAL10", 640, 690, 640, 334},
      {"NORMAL5", 670, 720, 610, 304}, {"NORMAL3", 700, 750, 580, 274},  {"NORMAL2", 730, 780, 550, 244},
      {"NORMAL1", 760, 810, 520, 214},
  };
  // The views stay above the main window: the incidence view, blank without a censored cause and
  // shown by the suite's test before, is closed.
  SendMessageA(app_->Find("NORMAL13"), WM_CLOSE, 0, 0);
  for (const Layout& l : layouts) SetWindowPos(app_->Find(l.className), HWND_TOP, l.x, l.y, l.w, l.h, SWP_SHOWWINDOW);
  // The tables scrolled as far as the ends of the labels, so that their columns show too.
  for (const char* table : {"NORMAL6", "NORMAL4"}) {
    for (int line = 0; line < 8; ++line) PostMessageA(app_->Find(table), WM_HSCROLL, SB_LINEDOWN, 0);
  }
  app_->Settle();
  // Wine paints asynchronously through the X server: give it a moment to settle.
  Sleep(500);
  app_->Settle();
  const SIZE client = ClientSize(app_->Main());
  POINT axis{80 + (client.cx - 130) / 2, 50 + client.cy - 150}, onScreen = axis;
  ClientToScreen(app_->Main(), &onScreen);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, onScreen.x, onScreen.y), app_->GraphPixel(axis.x, axis.y));
  ReleaseDC(nullptr, screen);
  SaveScreen("orvantis-windows.bmp");
  app_->Drop({SamplePath()});
  app_->DismissAllBoxes();
}

}  // namespace
}  // namespace orv::guitest
