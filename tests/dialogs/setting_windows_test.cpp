// The setting windows of Orvantis.exe driven from outside: group selection, censored causes
// and graph settings, with their effect on the shown groups, the tables and the lines.
#include "app/win32.h"

#include <algorithm>

#include "app/gui_driver.h"

namespace orv::guitest {
namespace {

using namespace orv::app;

constexpr int kOk = 1000, kColour = 1001, kTypeBox = 1002, kWidthBox = 1003;
constexpr const char* kGroupTitle = "グラフ：選択";
constexpr const char* kCausesTitle = "打ち切り症例の選択";

// A visible setting window of the program (with this owner or title when given), once its
// run has started (its loop answers).
HWND SettingWindow(const App& app, HWND owner, const char* title = nullptr) {
  const auto wanted = [&](HWND w) {
    return Visible(w) && (!owner || GetWindow(w, GW_OWNER) == owner) && (!title || WindowText(w) == title);
  };
  HWND found = nullptr;
  WaitFor([&] { return (found = app.Find("NORMALDLG", wanted)) != nullptr; });
  DWORD_PTR result = 0;
  return found && SendMessageTimeoutA(found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) ? found : nullptr;
}

HWND Open(const App& app, int command, const char* title) {
  app.Command(command);
  return SettingWindow(app, nullptr, title);
}

// The settings of a group, opened with a double click on its line in the group list.
HWND OpenSettingsOf(const App& app, HWND groups, int x, int y) {
  PostMessageA(groups, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
  return SettingWindow(app, groups);
}

// OK (or a close request) and the command that opened the window finished.
bool End(const App& app, HWND window, bool pressOk) {
  PostMessageA(pressOk ? GetDlgItem(window, kOk) : window, pressOk ? BM_CLICK : WM_CLOSE, 0, 0);
  const bool gone = WaitFor([&] { return !IsWindow(window); });
  app.Settle();
  return gone;
}

bool Ticked(HWND parent, int id) { return SendMessageA(GetDlgItem(parent, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Click(HWND parent, int id) { SendMessageA(GetDlgItem(parent, id), BM_CLICK, 0, 0); }

// The first ticked radio button i (from..from+4, id first+i) of a group box, -1 for none.
int TickedIn(HWND settings, int box, int first, int from) {
  for (int i = from; i <= from + 4; ++i)
    if (Ticked(GetDlgItem(settings, box), first + i)) return i;
  return -1;
}

// Pixels of one client row that have the colour, as the screen shows them.
int CountPixels(HWND window, int y, COLORREF colour, int x1 = 40, int x2 = 105) {
  HDC dc = GetDC(window);
  int count = 0;
  for (int x = x1; x <= x2; ++x) count += GetPixel(dc, x, y) == colour ? 1 : 0;
  ReleaseDC(window, dc);
  return count;
}

// Both result tables; marked with a text of the test first, they show whether the next
// analysis run rewrote them.
std::string Tables(const App& app) { return ControlText(LogRankControl(app)) + ControlText(WilcoxonControl(app)); }
void MarkTables(const App& app) {
  for (HWND table : {LogRankControl(app), WilcoxonControl(app)}) SendMessageA(table, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("marked"));
}

// A and B have ten rows and are shown after loading; C has five and is not.
std::string ThreeGroupsOneSmall() {
  std::string rows;
  for (int i = 1; i <= 10; ++i) {
    rows.append("A,").append(std::to_string(20 * i)).append(i % 3 == 0 ? ",生存\r\n" : ",死亡,癌\r\n");
    rows.append("B,").append(std::to_string(90 * i)).append(i % 2 == 0 ? ",生存\r\n" : ",死亡,癌\r\n");
    if (i <= 5) rows.append("C,").append(std::to_string(45 * i)).append(",死亡,事故\r\n");
  }
  return WriteDataFile("three.csv", rows);
}

using ThreeGroups = SharedApp<ThreeGroupsOneSmall>;

// Both choice windows, without a close box and with the main window disabled while they run:
// ＯＫ applies a changed choice and reruns the analysis only when it matters, a close drops
// it, and a repaint keeps a tick not yet applied.
TEST_F(ThreeGroups, ChoicesApplyOnOkAndRerunOnlyWhenTheyMatter) {
  const std::vector<std::string> allPairs = {" 1 -  2", " 1 -  3", " 2 -  3"};
  struct Case {
    const char* name;
    int command, firstBox;
    std::vector<bool> tickedOnOpen;  // the boxes from firstBox on
    int click;                       // the box after firstBox; -1: none
    bool repaint, pressOk, rebuilt;
    std::vector<std::string> pairs;  // when rebuilt
  };
  const std::vector<Case> cases = {
      {"causes: OK without a change", kCmdCensoredCases, 9201, {false, false}, -1, false, true, false, {}},
      {"causes: a tick closed without OK", kCmdCensoredCases, 9201, {false, false}, 0, false, false, false, {}},
      {"causes: a ticked cause reruns, also after a repaint", kCmdCensoredCases, 9201, {false, false}, 0, true, true, true, {" 1 -  2"}},
      {"causes: the choice kept; unticking reruns again", kCmdCensoredCases, 9201, {true, false}, 0, false, true, true, {" 1 -  2"}},
      {"all cases ticked alone: redrawn only", kCmdChooseGroups, 9000, {false, true, true, false}, 0, false, true, false, {}},
      {"a tick closed without OK", kCmdChooseGroups, 9000, {true, true, true, false}, 1, false, false, false, {}},
      {"a small group ticked by the user takes part", kCmdChooseGroups, 9000, {true, true, true, false}, 3, false, true, true, allPairs},
      {"an unticked group leaves the pairs", kCmdChooseGroups, 9000, {true, true, true, true}, 2, false, true, true, {" 1 -  3"}},
      {"a repaint keeps a tick not yet applied", kCmdChooseGroups, 9000, {true, true, false, true}, 2, true, true, true, allPairs},
      {"the last choice is what opens", kCmdChooseGroups, 9000, {true, true, true, true}, -1, false, false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MarkTables(*app_);
    HWND window = Open(*app_, c.command, c.command == kCmdChooseGroups ? kGroupTitle : kCausesTitle);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU, 0) << "no close box";
    EXPECT_FALSE(IsWindowEnabled(app_->Main())) << "the main window waits for the run";
    for (std::size_t i = 0; i < c.tickedOnOpen.size(); ++i) {
      EXPECT_EQ(Ticked(window, c.firstBox + static_cast<int>(i)), c.tickedOnOpen[i]) << "box " << i;
    }
    if (c.click >= 0) Click(window, c.firstBox + c.click);
    if (c.repaint) SendMessageA(window, WM_PAINT, 0, 0);
    if (c.click >= 0) { EXPECT_NE(Ticked(window, c.firstBox + c.click), c.tickedOnOpen[static_cast<std::size_t>(c.click)]); }
    EXPECT_TRUE(End(*app_, window, c.pressOk));
    EXPECT_TRUE(IsWindowEnabled(app_->Main()));
    const std::string tables = Tables(*app_);
    ASSERT_EQ(tables.find("marked") == std::string::npos, c.rebuilt);
    for (const std::string& pair : c.rebuilt ? allPairs : std::vector<std::string>{}) {
      const bool listed = std::find(c.pairs.begin(), c.pairs.end(), pair) != c.pairs.end();
      EXPECT_EQ(tables.find(pair) != std::string::npos, listed) << pair << " in\n" << tables;
    }
  }
}

// After the choices above (every group shown): a double click on a group's line in the group
// list opens its settings, a nested run, and a click beside the lines nothing; the settings
// store the type and width on ＯＫ and a colour at once; closing the program inside both runs
// ends it.
TEST_F(ThreeGroups, LineSettingsOfTheGroupClicked) {
  constexpr COLORREF kRed = RGB(255, 0, 0), kChosen = RGB(10, 200, 30), kRejected = RGB(200, 10, 130);
  struct Case {
    const char* name;
    int x, y;           // of the double click
    const char* title;  // of the settings it opens; null: nothing opens
    int openType, openWidth, tickType, tickWidth;  // -1: left alone
    COLORREF answer;  // typed into the colour dialog; 0: not opened
    bool confirm, pressOk;
    COLORREF sample;  // of the group's line in the group list afterwards
  };
  const Case cases[] = {
      {"left of the lines", 39, 30},
      {"right of the lines", 111, 30},
      {"above the first line", 70, 19},
      {"below the last group", 70, 196},
      {"top of the all-cases row", 70, 20, "0:all Cases", 4, 2, -1, -1},
      {"last row of the all-cases row", 40, 64, "0:all Cases", 4, 2, -1, -1},
      {"first row of group 1, solid, width 2; OK stores dash-dot, width 5", 110, 65, "1:A", 0, 2, 3, 5, 0, false, true},
      {"closing drops a new type and width", 70, 73, "1:A", 3, 5, 1, 1},
      {"the closed window stored nothing", 70, 73, "1:A", 3, 5, -1, -1, 0, false, true},
      {"bottom of the last group", 70, 195, "3:C", 0, 2, -1, -1},
      {"group 2 starts red", 70, 118, "2:B", 0, 2, -1, -1, 0, false, false, kRed},
      {"a confirmed colour shows at once; closing keeps it", 70, 118, "2:B", 0, 2, 4, 4, kChosen, true, false, kChosen},
      {"type and width were not stored; a cancelled colour changes nothing", 70, 118, "2:B", 0, 2, -1, -1, kRejected, false,
       false, kChosen},
  };
  HWND groups = Open(*app_, kCmdLineSettings, kGroupTitle);
  ASSERT_NE(groups, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.title == nullptr) {
      // A miss is handled at once; a settings run would keep this send waiting.
      DWORD_PTR result = 0;
      EXPECT_NE(SendMessageTimeoutA(groups, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(c.x, c.y), SMTO_NORMAL, 3000, &result), 0);
      continue;
    }
    HWND settings = OpenSettingsOf(*app_, groups, c.x, c.y);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(WindowText(settings), c.title);
    EXPECT_FALSE(IsWindowEnabled(groups));
    EXPECT_EQ(TickedIn(settings, kTypeBox, 9100, 0), c.openType);
    EXPECT_EQ(TickedIn(settings, kWidthBox, 9150, 1), c.openWidth);
    if (c.tickType >= 0) Click(GetDlgItem(settings, kTypeBox), 9100 + c.tickType);
    if (c.tickWidth >= 0) Click(GetDlgItem(settings, kWidthBox), 9150 + c.tickWidth);
    if (c.tickType >= 0) { EXPECT_EQ(TickedIn(settings, kTypeBox, 9100, 0), c.tickType) << "one type at a time"; }
    if (c.answer != 0) {
      PostMessageA(GetDlgItem(settings, kColour), BM_CLICK, 0, 0);
      HWND dialog = nullptr;
      ASSERT_TRUE(WaitFor([&] { return (dialog = app_->Find("#32770", Visible)) != nullptr; }));
      for (auto [id, value] : {std::pair{706, GetRValue(c.answer)}, {707, GetGValue(c.answer)}, {708, GetBValue(c.answer)}})
        SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::to_string(value).c_str()));
      PostMessageA(GetDlgItem(dialog, c.confirm ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
      ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
      EXPECT_FALSE(IsWindowEnabled(groups)) << "the colour dialog leaves the group list disabled";
      // The type samples (type box at (5, 5), solid sample 45 rows down) take the colour.
      if (c.confirm) { EXPECT_TRUE(WaitFor([&] { return CountPixels(settings, 5 + 45, c.answer, 5 + 60, 5 + 120) > 0; })); }
    }
    const int row = 45 * (c.title[0] - '0') + 28;
    if (c.sample != 0) {
      EXPECT_TRUE(WaitFor([&] { return CountPixels(groups, row, c.sample) > 0; }));
      EXPECT_EQ(CountPixels(groups, row, kRejected), 0);
    }
    EXPECT_TRUE(End(*app_, settings, c.pressOk));
    EXPECT_TRUE(IsWindowEnabled(groups));
    EXPECT_FALSE(IsWindowEnabled(app_->Main())) << "the outer run goes on";
  }
  // Closing the program inside both runs ends it.
  ASSERT_NE(OpenSettingsOf(*app_, groups, 70, 28), nullptr);
  EXPECT_EQ(app_->Close(), 0u);
}

}  // namespace
}  // namespace orv::guitest
