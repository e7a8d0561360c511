// Orvantis.exe driven from outside under Wine: start-up, views, menu commands, files, boxes,
// the clipboard and the graph's pixels, compared with what the core gives for the same file.
#include "app/win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_ids.h"
#include "app/rich_text.h"
#include "gui_driver.h"
#include "survival/analysis.h"
#include "text/truncate.h"

namespace orv::guitest {
namespace {

using namespace orv::app;

// Two groups of 10 and 12 cases: deaths of two causes, one without a cause, a comment, an
// excluded row.
constexpr char kTwoGroups[] =
    "'group,days,outcome,cause\r\n"
    "A,35,死亡,癌\r\nA,120,死亡,肺炎\r\nA,300,生存\r\nA,410,死亡,癌\r\nA,700,死亡\r\n"
    "A,820,生存\r\nA,1000,死亡,癌\r\nA,1500,生存\r\nA,1800,死亡,肺炎\r\nA,2100,生存\r\n"
    "B,60,死亡,肺炎\r\nB,90,死亡,癌\r\nB,150,死亡,癌\r\nB,200,生存\r\nB,260,死亡,肺炎\r\n"
    "B,380,死亡,癌\r\nB,500,生存\r\nB,640,死亡,癌\r\nB,900,死亡,肺炎\r\nB,1100,生存\r\n"
    "B,1300,死亡,癌\r\nB,1600,生存\r\n"
    "C,abc,死亡\r\n";

// Only group A has 8 or more cases: one curve.
constexpr char kOneShownGroup[] =
    "A,35,死亡,癌\r\nA,120,死亡,癌\r\nA,300,生存\r\nA,410,死亡,癌\r\nA,700,死亡,癌\r\n"
    "A,820,生存\r\nA,1000,死亡,癌\r\nA,1500,生存\r\nA,1800,死亡,癌\r\n"
    "B,60,死亡,癌\r\nB,90,生存\r\n";

// Deaths until week 600 (A) and 550 (B), many of them between five and ten years.
constexpr char kLateDeaths[] =
    "A,100,死亡,癌\r\nA,900,生存\r\nA,1500,死亡,癌\r\nA,1900,死亡,癌\r\nA,2300,生存\r\n"
    "A,2600,死亡,癌\r\nA,3000,死亡,癌\r\nA,3300,生存\r\nA,3700,死亡,癌\r\nA,4200,死亡,癌\r\n"
    "B,200,死亡,癌\r\nB,700,死亡,癌\r\nB,1200,生存\r\nB,1600,死亡,癌\r\nB,2000,死亡,癌\r\n"
    "B,2200,生存\r\nB,2500,死亡,癌\r\nB,2900,死亡,癌\r\nB,3400,死亡,癌\r\nB,3850,死亡,癌\r\n";

// One period beyond 40 years: a warning during the load.
constexpr char kOverLong[] =
    "A,100,死亡,癌\r\nA,14561,死亡,癌\r\nA,300,生存\r\n";

constexpr char kReportInitial[] = "読み込みデータ\r\n読み込みデータ\r\n";

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

Model LoadedModel(const App& app, const std::string& path) {
  SIZE client = ClientSize(app.Main());
  Model model(client.cx, client.cy);
  model.Load(path);
  return model;
}

std::string ReportText(const App& app) { return ControlText(app.Control("NORMAL5", kReportControlId)); }
std::string LogRankText(const App& app) { return ControlText(app.Control("NORMAL9", kLogRankControlId)); }
std::string WilcoxonText(const App& app) { return ControlText(app.Control("NORMAL10", kWilcoxonControlId)); }

// The prompt is centred near the top of the white start-up bitmap.
bool PromptDrawn(const App& app) {
  SIZE client = ClientSize(app.Main());
  for (int y = 102; y < 116; y += 2) {
    for (int x = client.cx / 2 - 120; x < client.cx / 2 + 120; x += 2) {
      if (app.GraphPixel(x, y) != RGB(255, 255, 255)) return true;
    }
  }
  return false;
}

TEST(Startup, WindowsAsCreated) {
  App app;
  const int x = TruncToInt32(ScreenWidth() * 0.5 - 450);
  const int y = TruncToInt32(ScreenHeight() * 0.5 - 360);
  RECT r{};
  GetWindowRect(app.Main(), &r);
  EXPECT_EQ(r.left, x);
  EXPECT_EQ(r.top, y);
  EXPECT_EQ(r.right - r.left, 900);
  EXPECT_EQ(r.bottom - r.top, 700);
  EXPECT_EQ(WindowText(app.Main()), "Orvantis");
  EXPECT_TRUE(Visible(app.Main()));
  EXPECT_TRUE(GetWindowLongA(app.Main(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  EXPECT_EQ(GetWindowLongA(app.Main(), GWL_STYLE) & 0x10CF0000, 0x10CC0000) << "no minimise or maximise box";
  EXPECT_TRUE(PromptDrawn(app));
  // Before any file a resize changes the geometry only: the prompt stays.
  SetWindowPos(app.Main(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
  app.Settle();
  EXPECT_TRUE(PromptDrawn(app));

  struct View {
    const char* className;
    const char* caption;
    int width;
    int controlId;
    const char* text;
  };
  const View views[] = {
      {"NORMAL1", "LabelWnd", 480, 0, nullptr},
      {"NORMAL2", "累積死亡者数", 480, 0, nullptr},
      {"NORMAL3", "死因別", 480, 0, nullptr},
      {"NORMAL4", "生存率", 480, 0, nullptr},
      {"NORMAL5", "LogWnd", 480, kReportControlId, kReportInitial},
      {"NORMAL9", "多重比較(Log rank)", 620, kLogRankControlId, "log-rank\r\n"},
      {"NORMAL10", "多重比較(General Wilcoxon)", 620, kWilcoxonControlId, "General Wilcoxon\r\n"},
  };
  for (const View& v : views) {
    SCOPED_TRACE(v.className);
    HWND w = app.Find(v.className);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(WindowText(w), v.caption);
    EXPECT_FALSE(Visible(w));
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, v.width);
    EXPECT_EQ(r.bottom - r.top, 360);
    if (v.controlId) {
      HWND control = GetDlgItem(w, v.controlId);
      ASSERT_NE(control, nullptr);
      char cls[32] = {};
      GetClassNameA(control, cls, sizeof cls);
      EXPECT_STREQ(cls, "RichEdit20A");
      EXPECT_EQ(ControlText(control), v.text);
    }
  }
  EXPECT_EQ(app.Close(), 0u);
}

TEST(Startup, FileOnTheCommandLine) {
  const std::string spaced = WriteDataFile("two groups.csv", kTwoGroups);
  const std::string plain = WriteDataFile("two.csv", kTwoGroups);
  const std::string missing = TempDir() + "\\no-such-file.csv";
  CreateDirectoryA((TempDir() + "\\sub").c_str(), nullptr);
  WriteDataFile("sub\\rel.csv", kTwoGroups);
  struct Case {
    const char* name;
    std::string arguments;
    bool quoteProgram;
    std::string loads;  // the path as the report prints it; empty: nothing loads
    std::vector<Box> boxes;
  };
  const Case cases[] = {
      {"quoted path with blanks", "\"" + spaced + "\"", true, spaced, {}},
      {"program path without quotes", plain, false, plain, {}},
      {"relative path with forward slashes", "sub/rel.csv", true, "sub/rel.csv", {}},
      {"unterminated quote names no file", "\"" + plain, true, "", {}},
      {"empty quotes name no file", "\"\" " + plain, true, "", {}},
      {"argument shorter than five bytes", "a.cs", true, "", {}},
      {"missing file", missing, true, "", {{missing, "ファイルが見つかりません"}}},
  };
  char testDir[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, testDir);
  // Relative paths are taken from the folder the program starts in.
  SetCurrentDirectoryA(TempDir().c_str());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    App app(c.arguments, c.quoteProgram);
    std::vector<Box> boxes = app.DismissAllBoxes();
    EXPECT_EQ(boxes, c.boxes);
    EXPECT_EQ(WindowText(app.Main()), "Orvantis") << "a command-line file leaves the title";
    if (!c.loads.empty()) {
      Model model = LoadedModel(app, c.loads);
      EXPECT_EQ(ReportText(app), model.report.Text());
      EXPECT_EQ(LogRankText(app), model.logRank.Text());
      EXPECT_EQ(WilcoxonText(app), model.wilcoxon.Text());
      EXPECT_FALSE(PromptDrawn(app));
    } else {
      EXPECT_EQ(ReportText(app), kReportInitial);
      EXPECT_EQ(PromptDrawn(app), c.boxes.empty()) << "a file that fails its check leaves the area white";
    }
    EXPECT_EQ(app.Close(), 0u);
  }
  SetCurrentDirectoryA(testDir);
}

TEST(Views, ShowHideAndClose) {
  const std::string path = WriteDataFile("views.csv", kTwoGroups);
  App app("\"" + path + "\"");
  const std::string report = ReportText(app);
  const int x = TruncToInt32(static_cast<float>(ScreenWidth()) / 2.0f - 700.0f);
  const int y = TruncToInt32(static_cast<float>(ScreenHeight()) / 2.0f - 300.0f);
  // Two groups, three causes (癌, 肺炎, 不明).
  struct Case {
    int command;
    const char* className;
    int width;
    int height;
  };
  const Case cases[] = {
      {kCmdLegend, "NORMAL1", 400, 280},         {kCmdSurvivalRate, "NORMAL4", 900, 400},
      {kCmdDeathsByCause, "NORMAL3", 780, 280},  {kCmdCumulativeDeaths, "NORMAL2", 1000, 280},
      {kCmdLogRankWindow, "NORMAL9", 620, 360},  {kCmdWilcoxonWindow, "NORMAL10", 620, 360},
      {kCmdReportWindow, "NORMAL5", 500, 600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.className);
    HWND w = app.Find(c.className);
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, x);
    EXPECT_EQ(r.top, y);
    EXPECT_EQ(r.right - r.left, c.width);
    EXPECT_EQ(r.bottom - r.top, c.height);
    EXPECT_FALSE(Visible(w));
    app.Command(c.command);
    EXPECT_TRUE(Visible(w));
    if (HWND control = GetWindow(w, GW_CHILD)) {
      SIZE outer = ClientSize(w);
      GetWindowRect(control, &r);
      EXPECT_EQ(r.right - r.left, outer.cx) << "the control fills its window";
      EXPECT_EQ(r.bottom - r.top, outer.cy);
    }
    app.Command(c.command);
    EXPECT_FALSE(Visible(w));
    app.Command(c.command);
    EXPECT_TRUE(Visible(w));
    SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(Visible(w));
    EXPECT_TRUE(IsWindow(w)) << "closing hides, never destroys";
    app.Command(c.command);
    EXPECT_TRUE(Visible(w));
    app.Command(c.command);
    EXPECT_FALSE(Visible(w));
    EXPECT_EQ(app.OpenBox(), std::nullopt);
  }
  EXPECT_EQ(ReportText(app), report);
  // Closing the main window ends the program even with views shown.
  app.Command(kCmdLegend);
  EXPECT_EQ(app.Close(), 0u);
}

TEST(Views, ComparisonsNeedTwoShownGroups) {
  const std::string two = WriteDataFile("cmp-two.csv", kTwoGroups);
  const std::string one = WriteDataFile("cmp-one.csv", kOneShownGroup);
  struct Case {
    const char* name;
    std::string file;
    int command;
    const char* className;
    bool refused;
  };
  const Case cases[] = {
      {"log-rank before any file", "", kCmdLogRankWindow, "NORMAL9", true},
      {"Wilcoxon before any file", "", kCmdWilcoxonWindow, "NORMAL10", true},
      {"log-rank with one shown group", one, kCmdLogRankWindow, "NORMAL9", true},
      {"Wilcoxon with one shown group", one, kCmdWilcoxonWindow, "NORMAL10", true},
      {"log-rank with two shown groups", two, kCmdLogRankWindow, "NORMAL9", false},
      {"Wilcoxon with two shown groups", two, kCmdWilcoxonWindow, "NORMAL10", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    App app(c.file.empty() ? "" : "\"" + c.file + "\"");
    app.Command(c.command);
    std::vector<Box> boxes = app.DismissAllBoxes();
    if (c.refused) {
      EXPECT_EQ(boxes, (std::vector<Box>{{"グラフは2本以上必要です", "多重比較"}}));
      EXPECT_FALSE(Visible(app.Find(c.className)));
    } else {
      EXPECT_TRUE(boxes.empty());
      EXPECT_TRUE(Visible(app.Find(c.className)));
    }
    EXPECT_EQ(app.Close(), 0u);
  }
}

TEST(Commands, RangeOfTheGraphAndTheTests) {
  const std::string path = WriteDataFile("late.csv", kLateDeaths);
  App app("\"" + path + "\"");
  Model model = LoadedModel(app, path);
  ASSERT_EQ(model.ws.geometry.xMax, 260);
  const std::string fiveYears = LogRankText(app);
  EXPECT_EQ(fiveYears, model.logRank.Text());
  EXPECT_EQ(WilcoxonText(app), model.wilcoxon.Text());
  // Each step: the command and the range it leaves (after the fit to the data).
  struct Step {
    const char* name;
    int command;
    int xMax;
  };
  const Step steps[] = {
      {"10 years", kCmdTenYears, 520},       {"-1 year", kCmdMinusOneYear, 468},
      {"-5 years", kCmdMinusFiveYears, 208}, {"-5 years at 208 does nothing", kCmdMinusFiveYears, 208},
      {"-1 year", kCmdMinusOneYear, 156},    {"-1 year", kCmdMinusOneYear, 104},
      {"-1 year", kCmdMinusOneYear, 52},     {"-1 year at 52 does nothing", kCmdMinusOneYear, 52},
      {"+1 year", kCmdPlusOneYear, 104},     {"+5 years", kCmdPlusFiveYears, 364},
      {"longest, fitted to the last death", kCmdLongest, 624},
      {"5 years", kCmdFiveYears, 260},
  };
  std::string tenYears;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    app.Command(s.command);
    model.ws.geometry.xMax = s.xMax;
    RunAnalysis(model.ws, model.surfaces);
    ASSERT_EQ(model.ws.geometry.xMax, s.xMax);
    EXPECT_EQ(LogRankText(app), model.logRank.Text());
    EXPECT_EQ(WilcoxonText(app), model.wilcoxon.Text());
    if (s.command == kCmdTenYears) tenYears = LogRankText(app);
  }
  EXPECT_NE(tenYears, fiveYears) << "deaths between five and ten years change the tests";
  EXPECT_EQ(LogRankText(app), fiveYears);
}

TEST(Files, Drops) {
  const std::string first = WriteDataFile("drop-first.csv", kTwoGroups);
  const std::string second = WriteDataFile("drop-second.csv", kLateDeaths);
  const std::string third = WriteDataFile("drop-third.csv", kOneShownGroup);
  const std::string missing = TempDir() + "\\missing.csv";
  const std::string folder = TempDir();
  struct Step {
    const char* name;
    std::vector<std::string> paths;
    std::vector<Box> boxes;
    std::string shown;  // the file whose report and title are expected afterwards
  };
  const Step steps[] = {
      {"three files: only the first loads", {first, second, third}, {}, first},
      {"missing file", {missing}, {{missing, "ファイルが見つかりません"}, {missing, "ファイルのオープンエラー"}}, first},
      {"a folder does not open", {folder}, {{folder, "ファイルのオープンエラー"}, {folder, "ファイルのオープンエラー"}}, first},
      {"another file replaces the first", {second}, {}, second},
  };
  App app;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    app.Drop(s.paths);
    EXPECT_EQ(app.DismissAllBoxes(), s.boxes);
    Model model = LoadedModel(app, s.shown);
    EXPECT_EQ(WindowText(app.Main()), "Orvantis : " + s.shown);
    EXPECT_EQ(ReportText(app), model.report.Text());
    EXPECT_EQ(LogRankText(app), model.logRank.Text());
  }
  // After a failed drop a resize redraws the graph of the shown file.
  app.Drop({missing});
  app.DismissAllBoxes();
  SetWindowPos(app.Main(), nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
  app.Settle();
  SIZE client = ClientSize(app.Main());
  EXPECT_EQ(app.GraphPixel(80 + (client.cx - 130) / 2, 50 + client.cy - 150), RGB(0, 0, 0)) << "X axis";
  // A client narrower than the margins wraps the plot width; the graph is drawn and clipped.
  SetWindowPos(app.Main(), nullptr, 0, 0, 110, 300, SWP_NOMOVE | SWP_NOZORDER);
  app.Settle();
  EXPECT_TRUE(app.Running());
  EXPECT_EQ(app.Close(), 0u);
}

TEST(Files, OpenDialog) {
  const std::string path = WriteDataFile("chosen.csv", kTwoGroups);
  struct Case {
    const char* name;
    int button;
    std::string title;
  };
  const Case cases[] = {
      {"cancelled: nothing changes", IDCANCEL, "Orvantis"},
      {"a file chosen", IDOK, "Orvantis : " + path},
  };
  App app;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app.Command(kCmdOpenFile);
    HWND dialog = app.Find("#32770");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), "データファイルを選んで下さい");
    HWND name = GetDlgItem(dialog, 0x47C);  // the file name field
    if (!name) name = GetDlgItem(dialog, 0x480);
    EXPECT_EQ(ControlText(name), "data-sample.csv");
    EXPECT_EQ(ControlText(GetDlgItem(dialog, 0x470)), "csv(*.csv)");
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    SendMessageA(GetDlgItem(dialog, c.button), BM_CLICK, 0, 0);
    app.Settle();
    EXPECT_EQ(app.Find("#32770"), nullptr);
    EXPECT_EQ(WindowText(app.Main()), c.title);
  }
  Model model = LoadedModel(app, path);
  EXPECT_EQ(ReportText(app), model.report.Text());
  EXPECT_EQ(app.Close(), 0u);
}

TEST(Files, CensoredCausesReloadTheShownFile) {
  const std::string shown = WriteDataFile("censor-shown.csv", kTwoGroups);
  const std::string missing = TempDir() + "\\censor-missing.csv";
  App app("\"" + shown + "\"");
  app.Drop({missing});
  app.DismissAllBoxes();
  ASSERT_EQ(WindowText(app.Main()), "Orvantis") << "a failed drop leaves the title";
  // Deaths of the first cause (癌) count as censored from now on.
  app.Command(kCmdCensoredCases);
  HWND window = app.Find("NORMALDLG");
  ASSERT_NE(window, nullptr);
  SendMessageA(GetDlgItem(window, 9201), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(GetDlgItem(window, 1000), BM_CLICK, 0, 0);
  app.Settle();
  EXPECT_EQ(app.OpenBox(), std::nullopt);
  Model model = LoadedModel(app, shown);
  const std::string uncensored = model.logRank.Text();
  model.ws.cases.CauseCensored[1] = 1;
  model.Load(shown);
  EXPECT_NE(model.logRank.Text(), uncensored);
  EXPECT_EQ(ReportText(app), model.report.Text()) << "the shown file is reloaded, not the failed one";
  EXPECT_EQ(LogRankText(app), model.logRank.Text());
  EXPECT_EQ(app.Close(), 0u);
}

TEST(Commands, GroupSelectionDecidesTheComparisons) {
  const std::string path = WriteDataFile("groups.csv", kTwoGroups);
  App app("\"" + path + "\"");
  // Each step: the command, whether group 2 is ticked when OK is pressed (closed without OK
  // when none), and whether the log-rank window may then be shown.
  struct Step {
    const char* name;
    int command;
    std::optional<bool> secondShown;
    bool comparisons;
  };
  const Step steps[] = {
      {"closing the selection changes nothing", kCmdChooseGroups, std::nullopt, true},
      {"one curve left", kCmdChooseGroups, false, false},
      {"line settings with both ticked again", kCmdLineSettings, true, true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    app.Command(s.command);
    HWND window = app.Find("NORMALDLG");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(window), "グラフ：選択");
    if (s.secondShown) {
      SendMessageA(GetDlgItem(window, 9002), BM_SETCHECK, *s.secondShown ? BST_CHECKED : BST_UNCHECKED, 0);
      SendMessageA(GetDlgItem(window, 1000), BM_CLICK, 0, 0);
    } else {
      SendMessageA(window, WM_CLOSE, 0, 0);
    }
    app.Settle();
    EXPECT_EQ(app.Find("NORMALDLG"), nullptr);
    app.Command(kCmdLogRankWindow);
    std::vector<Box> boxes = app.DismissAllBoxes();
    EXPECT_EQ(boxes.empty(), s.comparisons);
    EXPECT_EQ(Visible(app.Find("NORMAL9")), s.comparisons);
    if (s.comparisons) app.Command(kCmdLogRankWindow);
  }
  // Help: without the help file beside it the shell finds nothing, and the program goes on.
  app.Command(kCmdHelp);
  EXPECT_TRUE(app.Running());
  EXPECT_EQ(app.Close(), 0u);
}

TEST(Boxes, WarningDuringALoad) {
  const std::string path = WriteDataFile("overlong.csv", kOverLong);
  App app("\"" + path + "\"");
  std::vector<Box> boxes = app.DismissAllBoxes();
  SIZE client = ClientSize(app.Main());
  Model model(client.cx, client.cy);
  model.Load(path);
  ASSERT_EQ(model.boxes.boxes.size(), 1u);
  EXPECT_EQ(model.boxes.boxes[0].caption, "データの確認！");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, model.boxes.boxes[0].caption);
  EXPECT_EQ(boxes[0].text, model.boxes.boxes[0].text);
  EXPECT_EQ(ReportText(app), model.report.Text());
  EXPECT_EQ(app.Close(), 0u);
}

TEST(Commands, AboutAndClipboard) {
  App app;
  app.Command(kCmdAbout);
  EXPECT_EQ(app.DismissAllBoxes(), (std::vector<Box>{{"Orvantis  ver. 1.2", "Orvantis"}}));

  struct Case {
    const char* name;
    const char* file;
  };
  const std::string path = WriteDataFile("clip.csv", kTwoGroups);
  for (bool loaded : {false, true}) {
    SCOPED_TRACE(loaded ? "after a load" : "before any load");
    if (loaded) app.Drop({path});
    app.Command(kCmdCopyGraph);
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP bm{};
    ASSERT_NE(bitmap, nullptr);
    GetObjectA(bitmap, sizeof bm, &bm);
    CloseClipboard();
    SIZE client = ClientSize(app.Main());
    EXPECT_EQ(bm.bmWidth, client.cx);
    EXPECT_EQ(bm.bmHeight, client.cy);
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
  EXPECT_EQ(app.Close(), 0u);
}

TEST(Graph, PixelsAtKnownPoints) {
  const std::string path = WriteDataFile("pixels.csv", kTwoGroups);
  App app("\"" + path + "\"");
  Model model = LoadedModel(app, path);
  const PlotGeometry& g = model.ws.geometry;
  const int left = g.left, top = g.top, width = g.width, height = g.height;
  const int axis = top + height;
  const int half = TruncToInt32(top + height / 2.0);
  struct Point {
    const char* name;
    int x, y;
    COLORREF colour;
  };
  std::vector<Point> points = {
      {"X axis, first row", left + width / 2, axis, RGB(0, 0, 0)},
      {"X axis, fourth row", left + width / 2, axis + 3, RGB(0, 0, 0)},
      {"below the X axis", left + width / 2 + 3, axis + 5, RGB(255, 255, 255)},
      {"Y axis", left, top + 20, RGB(0, 0, 0)},
      {"Y axis, second column", left - 1, top + 20, RGB(0, 0, 0)},
      {"left of the Y axis", left - 5, top + 20, RGB(255, 255, 255)},
      {"50 % line", left + width - 3, half, RGB(0, 0, 0)},
  };
  // A step of the last curve drawn: a horizontal run in its colour, away from the axes.
  for (const RecordingCanvas::Segment& s : model.graph.Segments()) {
    if (s.y1 == s.y2 && s.x2 - s.x1 > 8 && s.pen.colour != kBlack && s.y1 > top + 2 && s.y1 < axis - 6 &&
        s.y1 != half) {
      points.push_back({"a step of a curve", (s.x1 + s.x2) / 2, s.y1, s.pen.colour});
    }
  }
  ASSERT_GT(points.size(), 7u) << "the sample draws a coloured curve";
  points.erase(points.begin() + 7, points.end() - 1);
  for (const Point& p : points) {
    EXPECT_EQ(app.GraphPixel(p.x, p.y), p.colour) << p.name << " at " << p.x << "," << p.y;
  }
  EXPECT_EQ(app.Close(), 0u);
}

TEST(Screenshot, SampleLoaded) {
  std::string path = SamplePath();
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) path = WriteDataFile("sample.csv", kTwoGroups);
  App app("\"" + path + "\"");
  app.DismissAllBoxes();
  SetForegroundWindow(app.Main());
  app.Settle();
  Sleep(300);
  EXPECT_TRUE(SaveScreenshot(app.Main(), "orvantis-sample.bmp"));
  // The views one by one, moved into the screen.
  struct View {
    int command;
    const char* className;
    const char* file;
  };
  const View views[] = {
      {kCmdLegend, "NORMAL1", "orvantis-legend.bmp"},
      {kCmdSurvivalRate, "NORMAL4", "orvantis-survival-rate.bmp"},
      {kCmdCumulativeDeaths, "NORMAL2", "orvantis-cumulative-deaths.bmp"},
      {kCmdDeathsByCause, "NORMAL3", "orvantis-deaths-by-cause.bmp"},
  };
  for (const View& v : views) {
    app.Command(v.command);
    HWND w = app.Find(v.className);
    SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    app.Settle();
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(w, v.file)) << v.className;
    app.Command(v.command);
  }
  EXPECT_EQ(app.Close(), 0u);
}

TEST(Performance, LargeFileLoadsWhole) {
  std::string bytes = "'a large file\r\n";
  const char* groups[] = {"A", "B", "C", "D"};
  for (int i = 0; i < 100000; ++i) {
    bytes += groups[i % 4];
    bytes += ',';
    bytes += std::to_string((i * 37) % 5000 + 1);
    bytes += (i % 3 == 0) ? ",生存\r\n" : (i % 7 == 0 ? ",死亡\r\n" : ",死亡,癌\r\n");
  }
  const std::string path = WriteDataFile("large.csv", bytes);
  App app;
  DWORD start = GetTickCount();
  app.Drop({path});
  DWORD elapsed = GetTickCount() - start;
  std::printf("load of 100,000 rows, drop to idle: %lu ms\n", static_cast<unsigned long>(elapsed));
  start = GetTickCount();
  Model model = LoadedModel(app, path);
  std::printf("the same load into recording surfaces: %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
  {
    // The share of the control: the same report handed to a control of this process.
    LoadLibraryA("riched20.dll");
    HWND control = CreateWindowExA(0, "RichEdit20A", "", 0x50B000C4, 0, 0, 400, 300,
                                   CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
                                   nullptr, nullptr, nullptr);
    SendMessageA(control, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    app::RichEditReport sink(control, "");
    for (const ColourRun& run : model.report.Runs()) {
      sink.SetColour(run.colour);
      sink.Insert(run.text);
    }
    start = GetTickCount();
    sink.Flush();
    std::printf("the report into a control: %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
  }
  start = GetTickCount();
  std::string shown = ReportText(app);
  std::printf("the whole report read from the control: %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
  EXPECT_EQ(shown.size(), model.report.Text().size());
  EXPECT_TRUE(shown == model.report.Text()) << "the report control holds the whole report";
  EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace orv::guitest
