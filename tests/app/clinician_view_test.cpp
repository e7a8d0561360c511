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
#include "app/test_hooks.h"
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
  struct Case { const char* name; HWND control; std::vector<std::string> texts; };
  std::vector<std::string> groups;
  for (const char* g : {"新規治療群", "標準治療群", "併用療法群", "経過観察群"}) groups.push_back(g);
  const Case cases[] = {
      {"log-rank", LogRankControl(app), groups},
      {"Wilcoxon", WilcoxonControl(app), groups},
      {"report", app.Control("NORMAL5", kReportControlId), {"総データ数"}},
  };
  for (const Case& c : cases) {
    const std::string text = ControlText(c.control);
    std::vector<std::string> texts = c.texts;
    texts.push_back(c.texts.size() == 1 ? "除外データ数" : "組み合せ");
    if (c.control == WilcoxonControl(app)) texts.push_back(" 統計量");
    for (const std::string& t : texts) {
      SCOPED_TRACE(std::string(c.name) + ": " + t);
      const std::size_t at = text.find(t);
      ASSERT_NE(at, std::string::npos);
      EXPECT_EQ(app.CharSet(c.control, CharIndex(text, at), CharIndex(text, at + t.size())), SHIFTJIS_CHARSET);
    }
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
    for (std::size_t line = 0, next; line < text.size(); line = next + 2) {
      next = text.find("\r\n", line);
      if (next == std::string::npos) next = text.size();
      int tabs = 0;
      for (std::size_t i = line; i < next; ++i) {
        if (text[i] == '\t') { ++tabs; continue; }
        if (i == line || text[i - 1] != '\t') continue;
        const auto at = static_cast<WPARAM>(CharIndex(text, i));
        const int x = static_cast<short>(LOWORD(SendMessageA(control, EM_POSFROMCHAR, at, 0)));
        auto [it, first] = columnX.emplace(tabs, x);
        ++columns;
        EXPECT_EQ(x, it->second) << "column after " << tabs << " tabs, at byte " << i - line << " of line " << text.substr(line, next - line);
      }
    }
    EXPECT_GE(columnX.size(), 4u) << "the pair, the three adjusted p-values; the Wilcoxon statistic";
    EXPECT_GT(columns, 20);
  }
  EXPECT_EQ(app.Close(), 0u);
}

// A run that leaves fewer than two shown groups empties and hides both pairwise windows; a
// drop that does not open keeps them.
TEST(Staleness, ComparisonsOfAnEarlierRunDoNotStay) {
  const std::string missing = TempDir() + "\\missing.csv";
  struct Case { const char* name; std::string drop; bool untickSecond; bool kept; };
  const Case cases[] = {
      {"an empty file dropped", WriteDataFile("empty.csv", ""), false, false},
      {"a picture dropped", WriteDataFile("picture.png", std::string(kPicture, sizeof kPicture - 1)), false, false},
      {"the second group unticked", "", true, false},
      {"a missing file dropped", missing, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    App app(Quoted(WriteDataFile("arms.csv", kTwoArms)));
    app.Command(kCmdLogRankWindow);
    app.Command(kCmdWilcoxonWindow);
    const std::string logRank = ControlText(LogRankControl(app)), wilcoxon = ControlText(WilcoxonControl(app));
    ASSERT_NE(logRank.find(" 1 -  2"), std::string::npos);
    if (c.untickSecond) {
      app.Command(kCmdChooseGroups);
      HWND window = app.Find("NORMALDLG");
      SendMessageA(GetDlgItem(window, 9002), BM_SETCHECK, BST_UNCHECKED, 0);
      SendMessageA(GetDlgItem(window, 1000), BM_CLICK, 0, 0);
      app.Settle();
    } else {
      app.Drop({c.drop});
    }
    app.DismissAllBoxes();
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
  struct Case { const char* name; std::string path; };
  const Case cases[] = {{"the sample", SamplePath()}, {"25 groups", ManyGroupsFile()}, {"25 causes", ManyCausesFile()}};
  for (const Case& c : cases) {
    App app(Quoted(c.path));
    app.DismissAllBoxes();
    Model model(ClientSize(app.Main()).cx, ClientSize(app.Main()).cy);
    model.Load(c.path);
    ASSERT_TRUE(model.views.last);
    const ViewSizes& s = *model.views.last;
    struct View { const char* className; int width, height; bool painted; };
    const View views[] = {
        {"NORMAL1", s.legendWidth, s.legendHeight, true},       {"NORMAL2", s.cumulativeWidth, s.cumulativeHeight, true},
        {"NORMAL3", s.byCauseWidth, s.byCauseHeight, true},     {"NORMAL4", s.survivalRateWidth, s.survivalRateHeight, true},
        {"NORMAL5", s.reportWidth, s.reportHeight, false},      {"NORMAL9", s.logRankWidth, s.logRankHeight, false},
        {"NORMAL10", s.wilcoxonWidth, s.wilcoxonHeight, false},
    };
    for (const View& v : views) {
      SCOPED_TRACE(std::string(c.name) + ", " + v.className);
      HWND w = app.Find(v.className);
      const Rect place = Place(w);
      EXPECT_GE(place[0], work.left);
      EXPECT_GE(place[1], work.top);
      EXPECT_LE(place[0] + place[2], work.right);
      EXPECT_LE(place[1] + place[3], work.bottom);
      EXPECT_EQ(place[2], std::min<LONG>(v.width, work.right - work.left));
      EXPECT_EQ(place[3], std::min<LONG>(v.height, work.bottom - work.top));
      if (!v.painted) continue;
      RECT frame{0, 0, 0, 0};
      AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)) & ~(WS_HSCROLL | WS_VSCROLL), FALSE, 0);
      const SIZE client = ClientSize(w);
      const long content[2] = {v.width - (frame.right - frame.left), v.height - (frame.bottom - frame.top)};
      const long page[2] = {client.cx, client.cy};
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

// A load in which no row is valid is told in a box, and the report shows each row's note.
TEST(Files, NoValidRowIsTold) {
  struct Case { const char* name; std::string path; bool told; };
  const Case cases[] = {
      {"an empty file", WriteDataFile("empty.csv", ""), true},
      {"a picture", WriteDataFile("picture.png", std::string(kPicture, sizeof kPicture - 1)), true},
      {"only rows without days", WriteDataFile("nodays.csv", "'comment\r\nA,,死亡\r\nB,abc,生存\r\n"), true},
      {"one valid row", WriteDataFile("one.csv", "A,,死亡\r\nB,10,生存\r\n"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    App app;
    app.Drop({c.path});
    std::vector<Box> boxes;
    HWND box = app.Find("#32770");
    if (box) {
      EXPECT_EQ(GetWindow(box, GW_OWNER), app.Main());
      EXPECT_TRUE(Visible(app.Find("NORMAL5"))) << "the report is shown with the box";
    }
    if (c.told) boxes.push_back({"有効なデータがありません\r\n" + c.path, "データの確認！"});
    EXPECT_EQ(app.DismissAllBoxes(), boxes);
    EXPECT_EQ(Visible(app.Find("NORMAL5")), c.told);
    EXPECT_EQ(WindowText(app.Main()), "Orvantis : " + c.path);
    EXPECT_EQ(app.Close(), 0u);
  }
}

}  // namespace
}  // namespace orv::guitest
