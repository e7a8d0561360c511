// What a clinician sees of the program: Japanese legible in every rich edit control, the
// columns of the tables lined up, and every view on screen.
#include "app/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_ids.h"
#include "gui_driver.h"
#include "text/truncate.h"

namespace orv::guitest {
namespace {

using namespace orv::app;

HWND ReportControl(const App& app) { return app.Control("NORMAL5", kReportControlId); }
HWND LogRankControl(const App& app) { return app.Control("NORMAL9", kLogRankControlId); }
HWND WilcoxonControl(const App& app) { return app.Control("NORMAL10", kWilcoxonControlId); }
HWND IntervalsControl(const App& app) { return app.Control("NORMAL11", kIntervalsControlId); }

// Japanese in the report, both pairwise tables and the intervals: character set 128.
TEST_F(Sample, JapaneseHasTheShiftJisCharacterSet) {
  std::vector<std::pair<HWND, std::string>> cases = {{ReportControl(*app_), "総データ数"},
                                                     {ReportControl(*app_), "除外データ数"},
                                                     {WilcoxonControl(*app_), " 統計量"},
                                                     {IntervalsControl(*app_), "生存期間中央値"}};
  for (HWND table : {LogRankControl(*app_), WilcoxonControl(*app_), IntervalsControl(*app_)})
    for (const char* t : {"組み合せ", "新規治療群", "標準治療群", "併用療法群", "経過観察群"}) cases.emplace_back(table, t);
  for (const auto& [control, t] : cases) EXPECT_EQ(app_->CharSetOf(control, t), SHIFTJIS_CHARSET) << t;
}

// Every column of a table, heading and footer included, starts at one x in every row: the
// tab stops suit the columns.
TEST_F(Sample, ColumnsLineUp) {
  ASSERT_NE(ControlText(LogRankControl(*app_)).find("         \t"), std::string::npos) << "blank Holm cells";
  struct Case { const char* name; HWND control; std::size_t columns; };
  const Case cases[] = {
      {"log-rank: the pair, the three adjusted p-values", LogRankControl(*app_), 4},
      {"Wilcoxon: and its statistic", WilcoxonControl(*app_), 5},
      {"intervals: median, two rates; hazard ratio", IntervalsControl(*app_), 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExpectColumnsLineUp(c.control), c.columns);
  }
}

// Every view at the load position moved inside the work area, as large as the core sized it
// where the work area allows; a painted view larger than it scrolls over its whole size.
TEST(Views, InsideTheWorkAreaAndScrolledWhenLarger) {
  const RECT work = WorkArea();
  const int viewX = TruncToInt32(static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) / 2.0f - 700.0f);
  const int viewY = TruncToInt32(static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) / 2.0f - 300.0f);
  for (const std::string& path : {SamplePath(), ManyGroupsFile(), ManyCausesFile()}) {
    App app(Quoted(path));
    app.DismissAllBoxes();
    Model model(app, path);
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
      const LONG width = std::min<LONG>(v.width, work.right - work.left), height = std::min<LONG>(v.height, work.bottom - work.top);
      EXPECT_EQ(Place(w), (Rect{std::clamp<LONG>(viewX, work.left, work.right - width),
                                std::clamp<LONG>(viewY, work.top, work.bottom - height), width, height}));
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
