// The figures for publication in the program: the menu items, the window 信頼区間・ハザード比
// (its text equal to the core's for the same load), the view リスク集団数 on screen, and the
// tables saved as CSV files through the save dialog.
#include "app/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/app_ids.h"
#include "app/menu.h"
#include "gui_driver.h"
#include "stats/figure_tables.h"
#include "stats/interval_text.h"
#include "survival/analysis.h"

namespace orv::guitest {
namespace {

using namespace orv::app;

std::string SamplePath() {
  std::string sample = "Z:" ORVANTIS_SOURCE_DIR "/examples/data-sample.csv";
  std::replace(sample.begin(), sample.end(), '/', '\\');
  return sample;
}

Model LoadedModel(const App& app, const std::string& path) {
  Model model(ClientSize(app.Main()).cx, ClientSize(app.Main()).cy);
  model.Load(path);
  return model;
}

HWND IntervalsControl(const App& app) { return app.Control("NORMAL11", kIntervalsControlId); }

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What the batch command writes for a CSV text of the core: UTF-8 behind a byte-order mark.
std::string Utf8Csv(const std::string& cp932) {
  const int n = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), wide.data(), n);
  std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  return "\xEF\xBB\xBF" + out;
}

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// The popup "データ値": the existing items, then the three of the figures.
TEST(PublicationViews, MenuItemsFollowTheDataValues) {
  HMENU bar = BuildMainMenu();
  HMENU values = GetSubMenu(bar, 6);
  std::vector<std::string> items;
  for (int i = 0; i < GetMenuItemCount(values); ++i) {
    char text[64] = {};
    GetMenuStringA(values, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    items.push_back(std::string(text) + "=" + std::to_string(static_cast<int>(GetMenuItemID(values, i))));
  }
  DestroyMenu(bar);
  EXPECT_EQ(items, (std::vector<std::string>{"死因別人数=1014", "死亡者数=1015", "=0", "多重検定(Log rank)=1016",
                                             "多重検定(General Wilcoxon)=1024", "=0", "読み込みデータ=1017", "=0",
                                             "リスク集団数=1025", "信頼区間・ハザード比=1026", "表をCSVで保存…=1027"}));
}

// Every column after a tab starts at one x in all rows of both tables: no cell reaches the
// next stop.
void ExpectColumnsOnOneX(const App& app, const std::string& text) {
  std::map<int, int> columnX;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i - 1] != '\t') continue;
    const std::size_t lineStart = text.rfind('\n', i) + 1;
    const int tabs = static_cast<int>(std::count(text.begin() + static_cast<long>(lineStart), text.begin() + static_cast<long>(i), '\t'));
    const int x = static_cast<short>(LOWORD(SendMessageA(IntervalsControl(app), EM_POSFROMCHAR, CharIndex(text, i), 0)));
    auto [it, first] = columnX.emplace(tabs, x);
    EXPECT_EQ(x, it->second) << "column " << tabs << " of " << text.substr(lineStart, text.find('\r', i) - lineStart);
  }
  EXPECT_EQ(columnX.size(), 3u);
}

// Created hidden; after a load the text is the core's, in Shift-JIS, its columns on the tab
// stops; toggled by its command; rewritten by a range command; with one shown group the line
// in place of the pair table.
TEST(PublicationViews, IntervalWindowShowsTheCoresText) {
  const std::string sample = SamplePath();
  App app;
  HWND window = app.Find("NORMAL11");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), "信頼区間・ハザード比");
  EXPECT_EQ(WindowText(app.Find("NORMAL6")), "リスク集団数");
  EXPECT_EQ(ControlText(IntervalsControl(app)), "信頼区間・ハザード比\r\n");
  app.Drop({sample});
  app.DismissAllBoxes();
  Model model = LoadedModel(app, sample);
  const std::string text = ControlText(IntervalsControl(app));
  EXPECT_EQ(text, IntervalsText(model.ws));
  ASSERT_NE(text.find("新規治療群"), std::string::npos);
  for (const char* t : {"生存期間中央値", "新規治療群", "組み合せ"}) {
    const std::size_t at = text.find(t);
    EXPECT_EQ(app.CharSet(IntervalsControl(app), CharIndex(text, at), CharIndex(text, at + std::string(t).size())),
              SHIFTJIS_CHARSET) << t;
  }

  ExpectColumnsOnOneX(app, text);
  // 19 long group names and "20 over": the first stop moves right of the longest label.
  const std::string many = ManyGroupsFile();
  app.Drop({many});
  app.DismissAllBoxes();
  const std::string manyText = ControlText(IntervalsControl(app));
  EXPECT_EQ(manyText, LoadedModel(app, many).intervals.Text());
  ExpectColumnsOnOneX(app, manyText);
  app.Drop({sample});
  app.DismissAllBoxes();
  EXPECT_EQ(ControlText(IntervalsControl(app)), text) << "the sample again: its stops again";

  app.Command(kCmdIntervals);
  EXPECT_TRUE(Visible(window));
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(Visible(window));
  app.Command(kCmdIntervals);
  EXPECT_TRUE(Visible(window));
  app.Command(kCmdIntervals);
  EXPECT_FALSE(Visible(window));

  app.Command(kCmdTenYears);
  model.ws.geometry.xMax = 520;
  RunAnalysis(model.ws, model.surfaces);
  EXPECT_EQ(ControlText(IntervalsControl(app)), IntervalsText(model.ws)) << "rewritten by the run";
  EXPECT_EQ(ControlText(IntervalsControl(app)), model.intervals.Text());

  const std::string one = WriteDataFile("one-arm.csv", "A,100,死亡,癌\r\nA,200,生存\r\nA,300,死亡,癌\r\nA,400,死亡,癌\r\n"
                                                       "A,500,生存\r\nA,600,死亡,癌\r\nA,700,死亡,癌\r\nA,800,生存\r\nB,50,死亡,癌\r\n");
  app.Drop({one});
  const std::string oneText = ControlText(IntervalsControl(app));
  EXPECT_EQ(oneText, LoadedModel(app, one).intervals.Text());
  EXPECT_TRUE(oneText.ends_with("ハザード比 (95 % 信頼区間)\r\nグラフは2本以上必要です\r\n")) << oneText;
  EXPECT_EQ(app.Close(), 0u);
}

// The view on top of the screen: each shown group's line sample in its colour on its row,
// figures in its first column, white between the rows.
TEST(PublicationViews, NumberAtRiskViewShowsTheRows) {
  const std::string sample = SamplePath();
  App app("\"" + sample + "\"");
  app.DismissAllBoxes();
  Model model = LoadedModel(app, sample);
  HWND view = app.Find("NORMAL6");
  app.Command(kCmdNumberAtRisk);
  ASSERT_TRUE(Visible(view));
  SetWindowPos(view, HWND_TOP, 0, 0, 800, 400, 0);
  app.Settle();
  Sleep(300);
  app.Settle();
  HDC dc = GetDC(view);
  const auto darkIn = [&](int x1, int y1, int x2, int y2) {
    for (int y = y1; y < y2; ++y)
      for (int x = x1; x < x2; ++x)
        if (GetPixel(dc, x, y) == RGB(0, 0, 0)) return true;
    return false;
  };
  for (int g = 1; g <= 4; ++g) {
    SCOPED_TRACE(g);
    const Rgb colour = model.ws.styles[g].colour;
    const COLORREF expected = RGB(RedOf(colour), GreenOf(colour), BlueOf(colour));
    EXPECT_EQ(GetPixel(dc, 250, (g + 1) * 40 + 8), expected) << "line sample";
    EXPECT_EQ(GetPixel(dc, 250, (g + 1) * 40 + 20), RGB(255, 255, 255)) << "below it";
    EXPECT_TRUE(darkIn(330, (g + 1) * 40, 370, (g + 1) * 40 + 16)) << "the figure of year 0";
  }
  EXPECT_TRUE(darkIn(330, 260, 370, 276)) << "the totals";
  EXPECT_FALSE(darkIn(330, 220, 370, 256)) << "nothing between the rows and the totals";
  ReleaseDC(view, dc);
  app.Command(kCmdNumberAtRisk);
  EXPECT_FALSE(Visible(view));
  EXPECT_EQ(app.Close(), 0u);
}

// Fills in the save dialog the command opens and presses 保存 (OK).
void SaveAs(const App& app, const std::string& path, const char* defaultName) {
  app.Command(kCmdSaveTables);
  HWND dialog = app.Find("#32770");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(dialog), "表をCSVで保存");
  HWND name = GetDlgItem(dialog, 0x47C);
  if (!name) name = GetDlgItem(dialog, 0x480);
  EXPECT_EQ(ControlText(name), defaultName);
  EXPECT_EQ(ControlText(GetDlgItem(dialog, 0x470)), "CSV (*.csv)");
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  // Posted: a box the click raises (a wrong path, a file already there) must come back to
  // the test as a box, not hold its sender.
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  app.Settle();
}

// Both files as the batch command writes them; a file that cannot be written (a folder in
// the way of the pair table: the test runs with rights no permission stops) is named in a
// box, and neither file is left behind.
TEST(PublicationViews, SavedTablesEqualTheBatchCommandsFiles) {
  const std::string sample = SamplePath();
  App app("\"" + sample + "\"");
  app.DismissAllBoxes();
  Model model = LoadedModel(app, sample);
  const std::string saved = TempDir() + "\\tables.csv";
  SaveAs(app, saved, "data-sample-life-tables.csv");
  EXPECT_EQ(app.DismissAllBoxes(), std::vector<Box>{});
  const std::string lifeTables = FileBytes(saved), pairs = FileBytes(TempDir() + "\\tables-pairs.csv");
  EXPECT_TRUE(lifeTables == Utf8Csv(LifeTablesCsv(model.ws))) << lifeTables.substr(0, 200);
  EXPECT_TRUE(pairs == Utf8Csv(PairsCsv(model.ws))) << pairs.substr(0, 200);
  EXPECT_TRUE(lifeTables.starts_with("\xEF\xBB\xBFgroup,name,week,atRisk,"));
  EXPECT_NE(lifeTables.find(Utf8(u8"\r\n1,新規治療群,0,96,")), std::string::npos);
  EXPECT_NE(pairs.find(Utf8(u8"\r\n1,2,新規治療群,標準治療群,")), std::string::npos);

  const std::string blocked = TempDir() + "\\blocked.csv", inTheWay = TempDir() + "\\blocked-pairs.csv";
  CreateDirectoryA(inTheWay.c_str(), nullptr);
  SaveAs(app, blocked, "data-sample-life-tables.csv");
  EXPECT_EQ(app.DismissAllBoxes(), (std::vector<Box>{{inTheWay, "ファイルの書き込みエラー"}}));
  EXPECT_EQ(GetFileAttributesA(blocked.c_str()), INVALID_FILE_ATTRIBUTES) << "the life tables are not left alone";
  EXPECT_TRUE(app.Running());
  EXPECT_EQ(ControlText(IntervalsControl(app)), IntervalsText(model.ws)) << "nothing else changes";
  EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace orv::guitest
