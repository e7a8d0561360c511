// The setting windows of Orvantis.exe driven from outside: group selection, censored causes,
// graph settings and covariates, with their effect on the shown groups, the tables and the lines.
#include "app/win32.h"

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

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

// How many points of the dark right and bottom frame lines of both group boxes of the graph
// settings (150 x 230 at (5, 5) and (160, 5)) the screen shows white.
int WhiteOnFrames(HWND settings) {
  HDC dc = GetDC(settings);
  int white = 0;
  for (int box : {5, 160}) {
    white += GetPixel(dc, box + 150 - 2, 5 + 150) == RGB(255, 255, 255);
    white += GetPixel(dc, box + 100, 5 + 230 - 2) == RGB(255, 255, 255);
  }
  ReleaseDC(settings, dc);
  return white;
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
  // Two covariate columns after the fourth field: an age and a stage, for the covariate window.
  for (int i = 1; i <= 10; ++i) {
    std::string covariates(",");
    covariates.append(std::to_string(50 + i)).append(i % 2 ? ",I\r\n" : ",II\r\n");
    rows.append("A,").append(std::to_string(20 * i)).append(i % 3 == 0 ? ",生存," : ",死亡,癌").append(covariates);
    rows.append("B,").append(std::to_string(90 * i)).append(i % 2 == 0 ? ",生存," : ",死亡,癌").append(covariates);
    if (i <= 5) rows.append("C,").append(std::to_string(45 * i)).append(",死亡,事故").append(covariates);
  }
  return WriteDataFile("three.csv", rows);
}

using ThreeGroups = SharedApp<ThreeGroupsOneSmall>;

// Both choice windows, with the main window disabled while they run:
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

// A key as the keyboard gives it to the window in front, with Shift held for Shift+Tab.
void Press(WORD key, bool shift = false) {
  std::vector<INPUT> input;
  const auto add = [&](WORD k, DWORD flags) { input.push_back({INPUT_KEYBOARD, {.ki = {k, 0, flags, 0, 0}}}); };
  if (shift) add(VK_SHIFT, 0);
  add(key, 0);
  add(key, KEYEVENTF_KEYUP);
  if (shift) add(VK_SHIFT, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// The id of the control that has the keyboard in a window of the program; 0 for none.
int FocusIn(HWND window) {
  GUITHREADINFO info{sizeof info};
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus && IsChild(window, info.hwndFocus) ? GetDlgCtrlID(info.hwndFocus) : 0;
}

// Each setting window used as a dialog is: the keyboard starts at its first control (a group of
// radio buttons at its choice); Tab, Shift+Tab and the arrows move between the controls (an
// arrow among radio buttons ticks the one it reaches); a click on a box's name clicks the box;
// Esc closes without applying, Enter presses ＯＫ (also with the keyboard on a radio button),
// which applies, and the close box closes without applying, as the window opened again shows.
TEST(SettingWindows, KeysAndNamesAsInADialog) {
  App app(Quoted(ThreeGroupsOneSmall()));
  struct Key { WORD key; bool shift; int focus; };  // and the control that has the keyboard after it
  struct Case {
    const char* name;
    int command;  // 0: the graph settings of group 1, by a double click on its line in the group list
    int start;    // the control with the keyboard at the start
    std::vector<Key> keys;
    POINT label;         // on the name of `box`; x 0: none
    int box, boxParent;  // the box that changes, and the group box that holds it (0: none)
  };
  const Case cases[] = {
      {"group selection", kCmdChooseGroups, 9000, {{VK_TAB, false, 9001}, {VK_DOWN, false, 9002}, {VK_TAB, true, 9001}},
       {125, 45 * 2 + 25}, 9002, 0},
      {"censored causes", kCmdCensoredCases, 9201, {{VK_TAB, false, 9202}, {VK_TAB, false, kOk}, {VK_DOWN, false, 9201}},
       {45, 40 * 2 + 25}, 9202, 0},
      {"reference group", kCmdChooseReference, 9401, {{VK_TAB, false, kOk}, {VK_TAB, false, 9401}, {VK_TAB, true, kOk}},
       {45, 40 * 1 + 25}, 9402, 0},
      // The unit's radio buttons, then the labels' edit boxes (groups A, B, C; Enter in one is ＯＫ);
      // the name 年 ticks its button.
      {"paper's unit and labels", kCmdPaperWords, 9501, {{VK_DOWN, false, 9502}, {VK_TAB, false, 9511}, {VK_TAB, false, 9512}, {VK_TAB, true, 9511}},
       {100 + 120 + 18 + 4, 14 + 5}, 9503, 0},
      {"covariates", kCmdCovariates, 9600, {{VK_TAB, false, 9601}, {VK_DOWN, false, 9701}, {VK_TAB, true, 9601}},
       {40, 36 + 5}, 9600, 0},
      {"graph settings", 0, 9100,
       {{VK_DOWN, false, 9101}, {VK_TAB, false, 9152}, {VK_TAB, false, kOk}, {VK_TAB, false, kColour}, {VK_TAB, false, 9101}},
       {0, 0}, 9101, kTypeBox},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND groups = nullptr;  // the group list behind the graph settings
    const auto open = [&] {
      if (c.command) return Open(app, c.command, nullptr);
      groups = Open(app, kCmdChooseGroups, kGroupTitle);
      return groups ? OpenSettingsOf(app, groups, 70, 45 + 28) : nullptr;
    };
    const auto ticked = [&](HWND window) { return Ticked(c.boxParent ? GetDlgItem(window, c.boxParent) : window, c.box); };
    std::optional<bool> stored;  // the box as the program holds it
    for (int end : {VK_ESCAPE, VK_RETURN, 0}) {
      HWND window = open();
      ASSERT_NE(window, nullptr);
      EXPECT_EQ(ticked(window), stored.value_or(ticked(window)));
      stored = ticked(window);
      if (end != 0) {
        EXPECT_EQ(FocusIn(window), c.start);
        for (const Key& k : c.keys) {
          Press(k.key, k.shift);
          EXPECT_TRUE(WaitFor([&] { return FocusIn(window) == k.focus; })) << "key " << k.key << ": " << FocusIn(window);
        }
        if (c.label.x) PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.label.x, c.label.y));
        EXPECT_TRUE(WaitFor([&] { return ticked(window) != *stored; })) << "by its name or an arrow";
        Press(static_cast<WORD>(end));
      } else {
        EXPECT_NE(GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU, 0) << "a close box";
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }));
      if (groups) {
        EXPECT_TRUE(End(app, groups, false));
      }
      app.Settle();
      if (end == VK_RETURN) stored = !*stored;
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
      Sleep(200);
      EXPECT_EQ(WhiteOnFrames(settings), 0) << "the previews filled over the frames of the boxes";
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

// The paragraphs' unit and an English label, chosen in their window, rewrite the paper's text at
// once and are remembered per data file: another file gets its own (months, the file's names),
// the first file loaded again its choices, which its window then shows. Catches choices applied
// by a close, kept across files, forgotten on a reload, or put on another group.
TEST(PaperWords, RememberedPerDataFile) {
  const std::string first = WriteDataFile("paper-words-1.csv", kTwoGroups), other = WriteDataFile("paper-words-2.csv", kTwoGroups);
  App app(Quoted(first));
  app.DismissAllBoxes();
  const auto paper = [&] { return ControlText(PaperControl(app)); };
  const auto open = [&] { return Open(app, kCmdPaperWords, "論文用の記述の設定"); };
  constexpr int kMonths = 9501, kYears = 9503, kLabelOfA = 9511, kLabelOfCancer = 9541;
  HWND window = open();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(Ticked(window, kMonths));
  EXPECT_EQ(ControlText(GetDlgItem(window, kLabelOfA)), "");
  Click(window, kYears);
  SendMessageA(GetDlgItem(window, kLabelOfA), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(" arm A "));
  SendMessageA(GetDlgItem(window, kLabelOfCancer), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("cancer"));
  app.Settle();
  SaveScreen("orvantis-paper-words.bmp");
  ASSERT_TRUE(End(app, window, true));

  const struct { const char* name; std::string file; bool chosen; } loads[] = {
      {"at once", "", true}, {"another file", other, false}, {"the first file again", first, true}};
  for (const auto& l : loads) {
    SCOPED_TRACE(l.name);
    if (!l.file.empty()) app.Drop({l.file});
    const std::string text = paper();
    EXPECT_NE(text.find(l.chosen ? "Times are given in years" : "Times are given in months"), std::string::npos) << text;
    EXPECT_NE(text.find(l.chosen ? "In the arm A group, " : "In the A group, "), std::string::npos);
    EXPECT_NE(text.find("In the B group, "), std::string::npos);
    // The Japanese paragraph keeps the file's names.
    EXPECT_NE(text.find("Aでは"), std::string::npos);
  }
  window = open();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(Ticked(window, kYears));
  EXPECT_EQ(std::tuple(ControlText(GetDlgItem(window, kLabelOfA)), ControlText(GetDlgItem(window, kLabelOfCancer))),
            std::tuple("arm A", "cancer"));
  EXPECT_TRUE(End(app, window, false));
  EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace orv::guitest
