// The setting windows of Orvantis.exe driven from outside: group selection, censored causes
// and graph settings, with their effect on the shown groups, the tables and the lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/gui_driver.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

constexpr int kChooseGroups = 1018;
constexpr int kCensoredCases = 1019;
constexpr int kLineSettings = 1021;
constexpr int kOk = 1000;
constexpr int kColour = 1001;
constexpr const char* kGroupTitle = "グラフ：選択";
constexpr const char* kCausesTitle = "打ち切り症例の選択";

// Two groups of ten; causes in order of first appearance: 癌 1, 肺炎 2, 事故 3.
std::string TwoGroupsThreeCauses() {
  std::string rows = "'group,days,outcome,cause\r\n";
  for (int week = 1; week <= 6; ++week) rows += "A," + std::to_string(7 * week) + ",死亡,癌\r\n";
  rows += "A,210,死亡,肺炎\r\nA,280,死亡,肺炎\r\nA,1400,生存\r\nA,1500,生存\r\n";
  rows += "B,350,死亡,事故\r\nB,420,死亡,肺炎\r\nB,490,死亡,事故\r\nB,560,死亡,肺炎\r\nB,630,死亡,事故\r\n";
  rows += "B,700,死亡,肺炎\r\nB,800,生存\r\nB,900,生存\r\nB,1000,生存\r\nB,1100,生存\r\n";
  return rows;
}

// Groups A and B of ten rows are shown after loading; C has five and is not.
std::string ThreeGroupsOneSmall() {
  std::string rows;
  for (int i = 1; i <= 10; ++i) rows += "A," + std::to_string(20 * i) + (i % 3 == 0 ? ",生存\r\n" : ",死亡,癌\r\n");
  for (int i = 1; i <= 10; ++i) rows += "B," + std::to_string(90 * i) + (i % 2 == 0 ? ",生存\r\n" : ",死亡,癌\r\n");
  for (int i = 1; i <= 5; ++i) rows += "C," + std::to_string(45 * i) + ",死亡,事故\r\n";
  return rows;
}

std::string BothTables(const RunningProgram& app) { return app.ResultText("NORMAL9") + app.ResultText("NORMAL10"); }

// Marks both result tables so that the next analysis run shows by replacing them.
void MarkTables(const RunningProgram& app) {
  app.SetResultText("NORMAL9", "untouched");
  app.SetResultText("NORMAL10", "untouched");
}

bool TablesRewritten(const RunningProgram& app) { return BothTables(app).find("untouched") == std::string::npos; }

class ProgramSuite : public testing::Test {
 protected:
  static void Start(const char* fileName, const std::string& bytes) {
    program_ = std::make_unique<RunningProgram>(WriteTempFile(fileName, bytes));
  }
  static void TearDownTestSuite() { program_.reset(); }
  void SetUp() override { ASSERT_TRUE(program_ && program_->Started()) << "Orvantis.exe did not start"; }
  static std::unique_ptr<RunningProgram> program_;
};
std::unique_ptr<RunningProgram> ProgramSuite::program_;

class TwoGroups : public ProgramSuite {
 protected:
  static void SetUpTestSuite() { Start("two-groups.csv", TwoGroupsThreeCauses()); }
};

class ThreeGroups : public ProgramSuite {
 protected:
  static void SetUpTestSuite() { Start("three-groups.csv", ThreeGroupsOneSmall()); }
};

TEST_F(TwoGroups, WindowSizesAndButtons) {
  struct Case {
    const char* name;
    int command;
    const char* title;
    int width, height;
    int okX, okY;
    int firstBox, lastBox;
    int boxX, boxPitch;
  };
  const Case cases[] = {
      {"group selection with two groups", kChooseGroups, kGroupTitle, 300, 280, 70, 200, 9000, 9002, 20, 45},
      {"censored causes with three causes", kCensoredCases, kCausesTitle, 300, 320, 50, 240, 9201, 9203, 8, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND window = program_->OpenSettingWindow(c.command, c.title);
    ASSERT_NE(window, nullptr);
    const RECT r = WindowRect(window);
    EXPECT_EQ(r.left, 650);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, c.width);
    EXPECT_EQ(r.bottom - r.top, c.height);
    const RECT ok = ChildRect(GetDlgItem(window, kOk));
    EXPECT_EQ(ok.left, c.okX);
    EXPECT_EQ(ok.top, c.okY);
    EXPECT_EQ(ok.right - ok.left, 70);
    EXPECT_EQ(ok.bottom - ok.top, 25);
    for (int id = c.firstBox; id <= c.lastBox; ++id) {
      HWND box = GetDlgItem(window, id);
      ASSERT_NE(box, nullptr) << "check box " << id;
      const RECT b = ChildRect(box);
      EXPECT_EQ(b.left, c.boxX) << "check box " << id;
      EXPECT_EQ(b.top, c.boxPitch * (id % 100) + 20) << "check box " << id;
    }
    EXPECT_EQ(GetDlgItem(window, c.lastBox + 1), nullptr);
    EXPECT_FALSE(IsWindowEnabled(program_->Main())) << "the main window takes no input during the run";
    EXPECT_TRUE(program_->CloseAndWaitGone(window));
    EXPECT_TRUE(IsWindowEnabled(program_->Main()));
  }
}

TEST_F(TwoGroups, DoubleClickOpensGraphSettingsOfTheGroupUnderIt) {
  struct Case {
    const char* name;
    int x, y;
    const char* title;  // of the graph settings window; null: nothing opens
  };
  const Case cases[] = {
      {"top edge of the all-cases line", 70, 20, "0:all Cases"},
      {"last row of the all-cases line", 40, 64, "0:all Cases"},
      {"first row of group 1", 110, 65, "1:A"},
      {"last row of the last group", 70, 150, "2:B"},
      {"just left of the lines", 39, 30, nullptr},
      {"just right of the lines", 111, 30, nullptr},
      {"just above the first line", 70, 19, nullptr},
      {"just below the last group", 70, 151, nullptr},
  };
  HWND groups = program_->OpenSettingWindow(kLineSettings, kGroupTitle);
  ASSERT_NE(groups, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LPARAM point = MAKELPARAM(c.x, c.y);
    if (c.title == nullptr) {
      // Handled at once when it opens nothing; a settings run would keep the send waiting.
      DWORD_PTR result = 0;
      EXPECT_NE(SendMessageTimeoutA(groups, WM_LBUTTONDBLCLK, MK_LBUTTON, point, SMTO_NORMAL, 3000, &result), 0);
      EXPECT_EQ(program_->FindWindowOf("NORMALDLG", "グラフ設定"), nullptr);
      continue;
    }
    PostMessageA(groups, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    HWND settings = program_->WaitForOwned(groups, "NORMALDLG");
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(WindowTitle(settings), c.title);
    const RECT r = WindowRect(settings);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 330);
    EXPECT_EQ(r.bottom - r.top, 320);
    EXPECT_FALSE(IsWindowEnabled(groups)) << "the group list waits for the settings";
    PostMessageA(settings, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitGone(settings));
    DWORD_PTR result = 0;
    SendMessageTimeoutA(groups, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &result);
    EXPECT_TRUE(IsWindowEnabled(groups));
    EXPECT_FALSE(IsWindowEnabled(program_->Main())) << "the outer run goes on";
  }
  EXPECT_TRUE(program_->PressAndWaitGone(groups, kOk));
  EXPECT_TRUE(IsWindowEnabled(program_->Main()));
  EXPECT_TRUE(program_->Sync()) << "the program's own loop still runs";
}

// Opens the graph settings of a group from the open group list.
HWND OpenSettingsOf(const RunningProgram& app, HWND groups, int group) {
  PostMessageA(groups, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(70, 45 * group + 28));
  return app.WaitForOwned(groups, "NORMALDLG");
}

int TickedType(HWND settings) {
  HWND box = GetDlgItem(settings, 1002);
  for (int i = 0; i <= 4; ++i) {
    if (IsTicked(box, 9100 + i)) return i;
  }
  return -1;
}

int TickedWidth(HWND settings) {
  HWND box = GetDlgItem(settings, 1003);
  for (int i = 1; i <= 5; ++i) {
    if (IsTicked(box, 9150 + i)) return i;
  }
  return -1;
}

TEST_F(TwoGroups, GraphSettingsStoreTypeAndWidthOnOkOnly) {
  struct Case {
    const char* name;
    int openType, openWidth;  // ticked when the window opens
    int tickType, tickWidth;  // -1: left alone
    bool pressOk;
  };
  const Case cases[] = {
      {"group 1 opens solid, width 2; OK stores dash-dot, width 5", 0, 2, 3, 5, true},
      {"the stored line is ticked; closing drops a new choice", 3, 5, 1, 1, false},
      {"the closed window stored nothing", 3, 5, -1, -1, true},
  };
  HWND groups = program_->OpenSettingWindow(kChooseGroups, kGroupTitle);
  ASSERT_NE(groups, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND settings = OpenSettingsOf(*program_, groups, 1);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(WindowTitle(settings), "1:A");
    EXPECT_EQ(TickedType(settings), c.openType);
    EXPECT_EQ(TickedWidth(settings), c.openWidth);
    if (c.tickType >= 0) {
      Click(GetDlgItem(settings, 1002), 9100 + c.tickType);
      EXPECT_EQ(TickedType(settings), c.tickType) << "one type at a time";
    }
    if (c.tickWidth >= 0) Click(GetDlgItem(settings, 1003), 9150 + c.tickWidth);
    if (c.pressOk) {
      PostMessageA(GetDlgItem(settings, kOk), BM_CLICK, 0, 0);
    } else {
      PostMessageA(settings, WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(WaitGone(settings));
  }
  EXPECT_TRUE(program_->PressAndWaitGone(groups, kOk));
}

// Confirms or cancels the colour dialog that the settings window opened, after typing the
// colour into its red, green and blue fields.
bool AnswerColourDialog(const RunningProgram& app, HWND settings, COLORREF colour, bool confirm) {
  PostMessageA(GetDlgItem(settings, kColour), BM_CLICK, 0, 0);
  HWND dialog = app.WaitForOwned(settings, "#32770");
  if (dialog == nullptr) return false;
  const int fields[3][2] = {{706, GetRValue(colour)}, {707, GetGValue(colour)}, {708, GetBValue(colour)}};
  for (const auto& field : fields) {
    SendMessageA(GetDlgItem(dialog, field[0]), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(std::to_string(field[1]).c_str()));
  }
  PostMessageA(GetDlgItem(dialog, confirm ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
  return WaitGone(dialog);
}

TEST_F(TwoGroups, ConfirmedColourStaysWhenTheSettingsAreClosed) {
  constexpr int kGroup = 2;           // red, solid, width 2 until changed here
  constexpr int kSampleRow = 45 * kGroup + 28;
  constexpr COLORREF kChosen = RGB(10, 200, 30);
  constexpr COLORREF kRejected = RGB(200, 10, 130);
  HWND groups = program_->OpenSettingWindow(kChooseGroups, kGroupTitle);
  ASSERT_NE(groups, nullptr);
  ASSERT_TRUE(WaitForColour(groups, kSampleRow, 40, 105, RGB(255, 0, 0))) << "group 2 starts red";

  struct Case {
    const char* name;
    COLORREF answer;
    bool confirm;
    bool paintFirst;  // the settings window repaints after the new ticks
  };
  // The pen of a confirmed colour takes the type ticked at the last paint: dash-dot-dot
  // here, which leaves gaps in the sample row.
  const Case cases[] = {
      {"a confirmed colour shows in the group list at once", kChosen, true, true},
      {"a cancelled colour dialog changes nothing", kRejected, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND settings = OpenSettingsOf(*program_, groups, kGroup);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(TickedType(settings), 0);
    EXPECT_EQ(TickedWidth(settings), 2);
    // A new type and width, then the colour, then the window closed without OK.
    Click(GetDlgItem(settings, 1002), 9104);
    Click(GetDlgItem(settings, 1003), 9154);
    if (c.paintFirst) SendMessageA(settings, WM_PAINT, 0, 0);
    ASSERT_TRUE(AnswerColourDialog(*program_, settings, c.answer, c.confirm));
    EXPECT_TRUE(WaitForColour(groups, kSampleRow, 40, 105, kChosen));
    EXPECT_LT(CountPixels(groups, kSampleRow, 40, 105, kChosen), 66) << "dash-dot-dot, not solid";
    EXPECT_EQ(CountPixels(groups, kSampleRow, 40, 105, kRejected), 0);
    PostMessageA(settings, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitGone(settings));
  }

  SCOPED_TRACE("closing kept the colour but neither type nor width");
  HWND settings = OpenSettingsOf(*program_, groups, kGroup);
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(TickedType(settings), 0);
  EXPECT_EQ(TickedWidth(settings), 2);
  // The solid type sample, 45 rows into the type box, which stands at (5, 5).
  EXPECT_TRUE(WaitForColour(settings, 5 + 45, 5 + 60, 5 + 120, kChosen)) << "the type samples";
  PostMessageA(settings, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitGone(settings));
  RedrawWindow(groups, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  EXPECT_TRUE(WaitForColour(groups, kSampleRow, 40, 105, kChosen));
  EXPECT_TRUE(program_->PressAndWaitGone(groups, kOk));
}

TEST_F(TwoGroups, CensoredCausesReloadOnlyWhenTheChoiceChanged) {
  struct Case {
    const char* name;
    bool tickedOnOpen;  // cause 1 (癌)
    bool clickCause;
    bool pressOk;
    bool reloads;
  };
  const Case cases[] = {
      {"OK without a change", false, false, true, false},
      {"a tick closed without OK", false, true, false, false},
      {"a ticked cause reloads", false, true, true, true},
      {"the reload kept the choice; OK again", true, false, true, false},
      {"unticking reloads again", true, true, true, true},
  };
  const std::string original = BothTables(*program_);
  ASSERT_NE(original.find(" 1 -  2"), std::string::npos) << original;
  std::string afterCensoring;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MarkTables(*program_);
    HWND window = program_->OpenSettingWindow(kCensoredCases, kCausesTitle);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(IsTicked(window, 9201), c.tickedOnOpen);
    EXPECT_FALSE(IsTicked(window, 9202));
    if (c.clickCause) Click(window, 9201);
    if (c.pressOk) {
      EXPECT_TRUE(program_->PressAndWaitGone(window, kOk));
    } else {
      EXPECT_TRUE(program_->CloseAndWaitGone(window));
    }
    EXPECT_EQ(TablesRewritten(*program_), c.reloads);
    if (c.reloads && !c.tickedOnOpen) afterCensoring = BothTables(*program_);
  }
  EXPECT_NE(afterCensoring, original) << "cancer deaths counted as censored change the statistics";
  EXPECT_EQ(BothTables(*program_), original) << "the same flags give the same tables again";
}

TEST_F(TwoGroups, ClosingTheProgramDuringASettingWindowEndsIt) {
  HWND groups = program_->OpenSettingWindow(kChooseGroups, kGroupTitle);
  ASSERT_NE(groups, nullptr);
  PostMessageA(groups, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(70, 30));
  ASSERT_NE(program_->WaitForOwned(groups, "NORMALDLG"), nullptr);
  EXPECT_EQ(program_->CloseAndExitCode(), 0) << "two nested runs hand the program's quit on";
}

TEST_F(ThreeGroups, ShownFlagsChangeOnOkAndRebuildTheTablesOnlyForRealGroups) {
  const std::vector<const char*> allPairs = {" 1 -  2", " 1 -  3", " 2 -  3"};
  struct Case {
    const char* name;
    std::vector<bool> tickedOnOpen;  // groups 0..3
    std::vector<int> clicks;         // group indexes
    bool repaintBeforeOk;
    bool pressOk;
    bool recomputed;
    std::vector<const char*> pairs;  // listed when recomputed
  };
  const std::vector<Case> cases = {
      {"all cases ticked alone: redrawn, tables untouched", {false, true, true, false}, {0}, false, true, false, {}},
      {"a tick closed without OK", {true, true, true, false}, {1}, false, false, false, {}},
      {"the small group ticked by the user takes part", {true, true, true, false}, {3}, false, true, true, allPairs},
      {"an unticked group leaves the pairs", {true, true, true, true}, {2}, false, true, true, {" 1 -  3"}},
      {"all cases unticked alone: tables untouched", {true, true, false, true}, {0}, false, true, false, {}},
      {"a repaint keeps the ticks not yet applied", {false, true, false, true}, {2}, true, true, true, allPairs},
      {"the last choice is what opens", {false, true, true, true}, {}, false, false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MarkTables(*program_);
    HWND window = program_->OpenSettingWindow(kChooseGroups, kGroupTitle);
    ASSERT_NE(window, nullptr);
    for (int g = 0; g <= 3; ++g) EXPECT_EQ(IsTicked(window, 9000 + g), c.tickedOnOpen[g]) << "group " << g;
    for (int g : c.clicks) Click(window, 9000 + g);
    if (c.repaintBeforeOk) {
      SendMessageA(window, WM_PAINT, 0, 0);
      for (int g : c.clicks) EXPECT_NE(IsTicked(window, 9000 + g), c.tickedOnOpen[g]) << "group " << g;
    }
    if (c.pressOk) {
      EXPECT_TRUE(program_->PressAndWaitGone(window, kOk));
    } else {
      EXPECT_TRUE(program_->CloseAndWaitGone(window));
    }
    ASSERT_EQ(TablesRewritten(*program_), c.recomputed);
    if (!c.recomputed) continue;
    const std::string tables = BothTables(*program_);
    for (const char* pair : allPairs) {
      const bool expected = std::find(c.pairs.begin(), c.pairs.end(), std::string_view(pair)) != c.pairs.end();
      EXPECT_EQ(tables.find(pair) != std::string::npos, expected) << pair << " in\n" << tables;
    }
  }
}

}  // namespace
}  // namespace orv::test
