// What a clinician sees of the program: Japanese legible in every rich edit control, the
// columns of the pairwise tables lined up, no table of an earlier file left on screen, the X
// range kept across a run without a shown group, every view on screen, and a file without a
// valid row told.
#include "app/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/app_ids.h"
#include "gui_driver.h"

namespace orv::guitest {
namespace {

using namespace orv::app;

// Two groups of 10 cases, both shown, with deaths in both between five and ten years.
constexpr char kTwoArms[] =
    "A,35,死亡,癌\r\nA,120,死亡,肺炎\r\nA,300,生存\r\nA,410,死亡,癌\r\nA,700,死亡\r\nA,820,生存\r\n"
    "A,1000,死亡,癌\r\nA,2000,死亡,肺炎\r\nA,2500,死亡,肺炎\r\nA,3300,生存\r\nB,60,死亡,肺炎\r\nB,90,死亡,癌\r\n"
    "B,150,死亡,癌\r\nB,200,生存\r\nB,260,死亡,肺炎\r\nB,380,死亡,癌\r\nB,500,生存\r\nB,640,死亡,癌\r\n"
    "B,2900,死亡,肺炎\r\nB,3400,生存\r\n";
// The first bytes of a PNG picture: no row of it has a comma.
constexpr char kPicture[] = "\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR\x00\x00\x01\x00\x08\x06\x00\x00\x00\x5c\x72\xa8";

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }
std::string SamplePath() {
  std::string sample = "Z:" ORVANTIS_SOURCE_DIR "/examples/data-sample.csv";
  std::replace(sample.begin(), sample.end(), '/', '\\');
  return sample;
}
HWND LogRankControl(const App& app) { return app.Control("NORMAL9", kLogRankControlId); }
HWND WilcoxonControl(const App& app) { return app.Control("NORMAL10", kWilcoxonControlId); }

// Japanese before any load, in both tables after one and in the report: character set 128.
TEST(Legibility, JapaneseTextHasTheShiftJisCharacterSet) {
  App app;
  HWND report = app.Control("NORMAL5", kReportControlId);
  EXPECT_EQ(app.CharSet(report, 0, 7), SHIFTJIS_CHARSET) << "the first 読み込みデータ";
  EXPECT_EQ(app.CharSet(report, 8, 15), SHIFTJIS_CHARSET) << "the second";
  app.Drop({SamplePath()});
  app.DismissAllBoxes();
  report = app.Control("NORMAL5", kReportControlId);
  std::vector<std::pair<HWND, std::string>> cases = {{report, "総データ数"}, {report, "除外データ数"},
                                                     {WilcoxonControl(app), " 統計量"}};
  for (HWND table : {LogRankControl(app), WilcoxonControl(app)})
    for (const char* t : {"組み合せ", "新規治療群", "標準治療群", "併用療法群", "経過観察群"}) cases.emplace_back(table, t);
  for (const auto& [control, t] : cases) {
    SCOPED_TRACE(t);
    const std::string text = ControlText(control);
    const std::size_t at = text.find(t);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(app.CharSet(control, CharIndex(text, at), CharIndex(text, at + t.size())), SHIFTJIS_CHARSET);
  }
  EXPECT_EQ(app.Close(), 0u);
}

// Every column of a table, heading and footer included, starts at one x in every row.
TEST(Legibility, PairwiseColumnsLineUp) {
  App app(Quoted(SamplePath()));
  app.DismissAllBoxes();
  app.Command(kCmdLogRankWindow);
  app.Command(kCmdWilcoxonWindow);
  for (HWND control : {LogRankControl(app), WilcoxonControl(app)}) {
    const std::string text = ControlText(control);
    SCOPED_TRACE(text);
    ASSERT_NE(text.find("         \t"), std::string::npos) << "the sample has blank Holm cells";
    std::map<int, int> columnX;  // by the number of tabs before the column
    int columns = 0;
    for (std::size_t line = 0, tabs = 0, i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') line = i + 1, tabs = 0;
      if (text[i] == '\t') ++tabs;
      if (i == line || text[i] == '\t' || text[i] == '\r' || text[i - 1] != '\t') continue;
      const int x = static_cast<short>(LOWORD(SendMessageA(control, EM_POSFROMCHAR, static_cast<WPARAM>(CharIndex(text, i)), 0)));
      ++columns;
      EXPECT_EQ(x, columnX.emplace(static_cast<int>(tabs), x).first->second) << "column after " << tabs << " tabs, byte " << i;
    }
    EXPECT_GE(columnX.size(), 4u) << "the pair, the three adjusted p-values; the Wilcoxon statistic";
    EXPECT_GT(columns, 20);
  }
  EXPECT_EQ(app.Close(), 0u);
}

// A drop after the pairwise windows were open: a load without a valid row is told in a box
// owned by the main window, with the report shown; a run left with fewer than two shown
// groups empties and hides both pairwise windows (and their menu command refuses); a drop
// that does not open keeps them. Unticking a group takes the same way (Views in gui_test).
TEST(Files, DropAfterTheComparisonsWereShown) {
  const std::string missing = TempDir() + "\\missing.csv";
  struct Case { const char* name; std::string path; bool told, kept; std::vector<Box> boxes; };
  const Case cases[] = {
      {"an empty file", WriteDataFile("empty.csv", ""), true, false},
      {"a picture", WriteDataFile("picture.png", std::string(kPicture, sizeof kPicture - 1)), true, false},
      {"only rows without days", WriteDataFile("nodays.csv", "'comment\r\nA,,死亡\r\nB,abc,生存\r\n"), true, false},
      {"one valid row, no shown group", WriteDataFile("one.csv", "A,,死亡\r\nB,10,生存\r\n"), false, false},
      {"a missing file", missing, false, true, {{missing, "ファイルが見つかりません"}, {missing, "ファイルのオープンエラー"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    App app(Quoted(WriteDataFile("arms.csv", kTwoArms)));
    app.Command(kCmdLogRankWindow);
    app.Command(kCmdWilcoxonWindow);
    const std::string logRank = ControlText(LogRankControl(app)), wilcoxon = ControlText(WilcoxonControl(app));
    ASSERT_NE(logRank.find(" 1 -  2"), std::string::npos);
    app.Drop({c.path});
    if (HWND box = app.Find("#32770"); box && c.told) {
      EXPECT_EQ(GetWindow(box, GW_OWNER), app.Main());
      EXPECT_TRUE(Visible(app.Find("NORMAL5"))) << "the report is shown with the box";
    }
    std::vector<Box> boxes = c.boxes;
    if (c.told) boxes.push_back({"有効なデータがありません\r\n" + c.path, "データの確認！"});
    EXPECT_EQ(app.DismissAllBoxes(), boxes);
    EXPECT_EQ(Visible(app.Find("NORMAL5")), c.told);
    EXPECT_EQ(WindowText(app.Main()), c.kept ? "Orvantis" : "Orvantis : " + c.path);
    for (auto [className, before] : {std::pair{"NORMAL9", logRank}, {"NORMAL10", wilcoxon}}) {
      SCOPED_TRACE(className);
      EXPECT_EQ(Visible(app.Find(className)), c.kept);
      EXPECT_EQ(ControlText(GetWindow(app.Find(className), GW_CHILD)), c.kept ? before : "");
    }
    app.Command(kCmdLogRankWindow);
    const std::vector<Box> refused = {{"グラフは2本以上必要です", "多重比較"}};
    EXPECT_EQ(app.DismissAllBoxes(), c.kept ? std::vector<Box>{} : refused) << "the menu command agrees";
    EXPECT_EQ(app.Close(), 0u);
  }
}

// Hiding every group and showing them again leaves the range and every test as they were.
TEST(Commands, NoShownGroupKeepsTheRange) {
  App app(Quoted(WriteDataFile("arms.csv", kTwoArms)));
  app.Command(kCmdTenYears);
  const std::string tenYears = ControlText(LogRankControl(app));
  app.Command(kCmdFiveYears);
  ASSERT_NE(ControlText(LogRankControl(app)), tenYears) << "a death after five years changes the tests";
  app.Command(kCmdTenYears);
  for (int tick : {BST_UNCHECKED, BST_CHECKED}) {
    app.Command(kCmdChooseGroups);
    HWND window = app.Find("NORMALDLG");
    ASSERT_NE(window, nullptr);
    for (int g = 1; g <= 2; ++g) SendMessageA(GetDlgItem(window, 9000 + g), BM_SETCHECK, static_cast<WPARAM>(tick), 0);
    SendMessageA(GetDlgItem(window, 1000), BM_CLICK, 0, 0);
    app.Settle();
  }
  EXPECT_EQ(ControlText(LogRankControl(app)), tenYears);
  EXPECT_EQ(app.Close(), 0u);
}

// Every view inside the work area; a painted view larger than it scrolls over its whole size.
TEST(Views, InsideTheWorkAreaAndScrolledWhenLarger) {
  const RECT work = WorkArea();
  for (const std::string& path : {SamplePath(), ManyGroupsFile(), ManyCausesFile()}) {
    App app(Quoted(path));
    app.DismissAllBoxes();
    Model model(ClientSize(app.Main()).cx, ClientSize(app.Main()).cy);
    model.Load(path);
    ASSERT_TRUE(model.views.last);
    const ViewSizes& s = *model.views.last;
    struct View { const char* className; int width, height; bool painted; };
    const View views[] = {
        {"NORMAL1", s.legendWidth, s.legendHeight, true},       {"NORMAL2", s.cumulativeWidth, s.cumulativeHeight, true},
        {"NORMAL3", s.byCauseWidth, s.byCauseHeight, true},     {"NORMAL4", s.survivalRateWidth, s.survivalRateHeight, true},
        {"NORMAL5", s.reportWidth, s.reportHeight, false},      {"NORMAL9", s.logRankWidth, s.logRankHeight, false},
        {"NORMAL10", s.wilcoxonWidth, s.wilcoxonHeight, false},  {"NORMAL6", s.numberAtRiskWidth, s.numberAtRiskHeight, true},
        {"NORMAL11", s.intervalsWidth, s.intervalsHeight, false},
    };
    for (const View& v : views) {
      SCOPED_TRACE(path + ", " + v.className);
      HWND w = app.Find(v.className);
      const Rect place = Place(w);
      EXPECT_GE(place[0], work.left);
      EXPECT_GE(place[1], work.top);
      EXPECT_EQ(place[2], std::min<LONG>(v.width, work.right - work.left));
      EXPECT_EQ(place[3], std::min<LONG>(v.height, work.bottom - work.top));
      EXPECT_LE(place[0] + place[2], work.right);
      EXPECT_LE(place[1] + place[3], work.bottom);
      if (!v.painted) continue;
      RECT frame{0, 0, 0, 0};
      AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)) & ~(WS_HSCROLL | WS_VSCROLL), FALSE, 0);
      const long content[2] = {v.width - (frame.right - frame.left), v.height - (frame.bottom - frame.top)};
      const long page[2] = {ClientSize(w).cx, ClientSize(w).cy};
      for (int bar : {SB_HORZ, SB_VERT}) {
        SCOPED_TRACE(bar == SB_HORZ ? "across" : "down");
        EXPECT_EQ(app.ScrollOf(w, bar), (App::Scroll{content[bar], page[bar], 0}));
        const LONG style = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
        EXPECT_EQ((GetWindowLongA(w, GWL_STYLE) & style) != 0, content[bar] > page[bar]) << "a bar only when larger";
        // The last row and column can be reached.
        PostMessageA(w, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, SB_BOTTOM, 0);
        app.Settle();
        EXPECT_EQ(app.ScrollOf(w, bar).pos, std::max(content[bar] - page[bar], 0L));
      }
    }
  }
}

}  // namespace
}  // namespace orv::guitest
