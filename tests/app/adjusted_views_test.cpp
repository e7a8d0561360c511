// The covariate window and the views of the adjusted analyses, driven as a user would: the
// columns listed with their kinds, the choice applied to the window "多変量解析" exactly as the
// core writes it, kept for the file when it is loaded again (and not for a file whose columns
// were renamed), and a file without covariate columns.
#include "app/win32.h"

#include <string>

#include "app/settings.h"
#include "gui_driver.h"
#include "session/analysis.h"
#include "session/commands.h"

namespace orv::guitest {
namespace {

using namespace orv::app;

// Two groups of 12, a continuous age with one missing value, a three-level stage and two
// centres; ten deaths in the first five years.
constexpr char kCovariateFile[] =
    "'共変量: 年齢, 病期, 施設\r\n"
    "標準,693,生存,,70,III,A\r\n標準,178,生存,,51,II,A\r\n標準,1069,死亡,癌,50,II,B\r\n標準,173,死亡,癌,80,II,A\r\n"
    "標準,1188,死亡,癌,59,III,A\r\n標準,1211,死亡,癌,48,I,A\r\n標準,1170,生存,,63,II,A\r\n標準,1137,死亡,癌,64,III,A\r\n"
    "標準,241,死亡,癌,57,II,A\r\n標準,1151,生存,,48,III,A\r\n標準,1046,生存,,72,II,B\r\n標準,1229,生存,,68,II,A\r\n"
    "新規,398,生存,,60,I,B\r\n新規,1105,死亡,癌,66,III,B\r\n新規,619,死亡,癌,49,I,B\r\n新規,367,生存,,54,II,B\r\n"
    "新規,110,生存,,,III,B\r\n新規,726,生存,,76,III,B\r\n新規,170,生存,,62,II,A\r\n新規,154,生存,,64,III,B\r\n"
    "新規,612,生存,,67,I,B\r\n新規,757,死亡,癌,52,II,A\r\n新規,476,生存,,53,III,A\r\n新規,844,死亡,癌,76,I,A\r\n";

constexpr int kFirstBox = 9600, kFirstLevelList = 9700, kStrataList = 9690, kSubgroupList = 9691;

HWND ModelControl(const App& app) { return app.Control("NORMAL15", kModelControlId); }

LRESULT Selected(HWND window, int id) { return SendDlgItemMessageA(window, id, CB_GETCURSEL, 0, 0); }

// The window of the command, open; closed by Esc as the dialog keys deliver it.
HWND OpenCovariates(const App& app) {
  app.Command(kCmdCovariates);
  HWND window = app.Find("NORMALDLG");
  EXPECT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), "共変量・層別");
  return window;
}
void Escape(const App& app, HWND window) {
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  app.Settle();
}

TEST(Covariates, ChosenShownAndKeptForTheFile) {
  App app;
  const std::string path = WriteDataFile("covariates.csv", kCovariateFile);
  app.Drop({path});

  HWND window = OpenCovariates(app);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(IsDlgButtonChecked(window, kFirstBox + i), BST_UNCHECKED) << i;
  EXPECT_EQ(GetDlgItem(window, kFirstBox + 3), nullptr) << "one box per column";
  EXPECT_EQ(GetDlgItem(window, kFirstLevelList), nullptr) << "a continuous column has no reference level";
  EXPECT_EQ(SendDlgItemMessageA(window, kFirstLevelList + 1, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(Selected(window, kFirstLevelList + 1), 0) << "the first level until another is chosen";
  EXPECT_EQ(SendDlgItemMessageA(window, kStrataList, CB_GETCOUNT, 0, 0), 3) << "なし and the two categorical columns";
  // Age ticked by a click on its name, stage by its box; stage against II, strata by centre.
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(40, 40));
  SendMessageA(GetDlgItem(window, kFirstBox + 1), BM_CLICK, 0, 0);
  SendDlgItemMessageA(window, kFirstLevelList + 1, CB_SETCURSEL, 1, 0);
  SendDlgItemMessageA(window, kStrataList, CB_SETCURSEL, 2, 0);
  EXPECT_EQ(IsDlgButtonChecked(window, kFirstBox), BST_CHECKED) << "ticked by its name";
  SaveScreen("orvantis-covariates.bmp");
  // Centre both a covariate and the strata: said, and the window stays for the choice.
  SendMessageA(GetDlgItem(window, kFirstBox + 2), BM_CLICK, 0, 0);
  PostMessageA(GetDlgItem(window, 1000), BM_CLICK, 0, 0);
  app.Settle();
  EXPECT_EQ(app.DismissAllBoxes(), (std::vector<Box>{{"「施設」は共変量と層の両方には使えません", "共変量・層別"}}));
  ASSERT_TRUE(IsWindow(window));
  SendMessageA(GetDlgItem(window, kFirstBox + 2), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(window, 1000), BM_CLICK, 0, 0);
  app.Settle();
  EXPECT_EQ(app.Find("NORMALDLG"), nullptr);

  const ModelRequest asked{.covariates = {{0, 0}, {1, 1}}, .strata = 2};
  Model model(app, path);
  SetModel(model.ws, model.surfaces, asked);
  const std::string expected = TextOf(model.ws, TextOutput::Model);
  ASSERT_NE(expected.find("調整した共変量: 年齢, 病期 (基準: II)\r\n層: 施設\r\n症例数 23、イベント数 10、欠測で除外 1"),
            std::string::npos)
      << expected;
  app.Command(kCmdModelWindow);
  EXPECT_EQ(ControlText(ModelControl(app)), expected);
  SaveScreen("orvantis-model.bmp");
  app.Command(kCmdForestView);
  EXPECT_TRUE(Visible(app.Find("NORMAL16")));
  SaveScreen("orvantis-forest.bmp");

  // Another file: nothing to choose, and its model adjusts for nothing.
  app.Drop({WriteDataFile("no-covariates.csv", kTwoGroups)});
  window = OpenCovariates(app);
  EXPECT_EQ(GetDlgItem(window, kFirstBox), nullptr);
  EXPECT_EQ(GetDlgItem(window, kStrataList), nullptr);
  EXPECT_NE(GetDlgItem(window, 1000), nullptr);
  SaveScreen("orvantis-no-covariates.bmp");
  Escape(app, window);
  EXPECT_NE(ControlText(ModelControl(app)).find("調整した共変量: なし\r\n"), std::string::npos);

  // The first file again: its choice is back, in the view and in the window.
  app.Drop({path});
  EXPECT_EQ(ControlText(ModelControl(app)), expected);
  window = OpenCovariates(app);
  EXPECT_EQ(IsDlgButtonChecked(window, kFirstBox), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(window, kFirstBox + 2), BST_UNCHECKED);
  EXPECT_EQ(Selected(window, kFirstLevelList + 1), 1);
  EXPECT_EQ(Selected(window, kStrataList), 2);
  EXPECT_EQ(Selected(window, kSubgroupList), 0);
  Escape(app, window);
  EXPECT_EQ(ControlText(ModelControl(app)), expected) << "a close applies nothing";

  // Thirty columns, the most a file may have: every row and ＯＫ inside the screen.
  std::string wide;
  for (int i = 0; i < 16; ++i) wide += (i < 8 ? "A," : "B,") + std::to_string(100 + 50 * i) + ",死亡,癌" + std::string(30, ',') + "\r\n";
  app.Drop({WriteDataFile("thirty.csv", wide)});
  window = OpenCovariates(app);
  ASSERT_NE(GetDlgItem(window, kFirstBox + 29), nullptr);
  RECT ok{};
  GetWindowRect(GetDlgItem(window, 1000), &ok);
  EXPECT_LE(ok.bottom, GetSystemMetrics(SM_CYSCREEN)) << "ＯＫ on the screen";
  Escape(app, window);

  // The same file with a column renamed: the choice is not its own any more.
  std::string renamed = kCovariateFile;
  renamed.replace(renamed.find("施設"), std::string_view("施設").size(), "地域");
  WriteDataFile("covariates.csv", renamed);
  app.Drop({path});
  EXPECT_NE(ControlText(ModelControl(app)).find("調整した共変量: なし\r\n"), std::string::npos);
}

// In-process: a file named two ways is one key; a recall makes a file the most recently used;
// past 32 files the least recently used is forgotten, and a choice made again replaces its own.
TEST(ModelChoices, KeptForTheFilesUsedLast) {
  ModelChoices choices;
  const auto file = [](int i) { return "C:\\data\\f" + std::to_string(i) + ".csv"; };
  for (int i = 0; i < 32; ++i) choices.Remember(file(i), {"age"}, {.strata = i});
  ASSERT_TRUE(choices.Recall("C:\\data\\..\\data\\f0.csv"));
  choices.Remember(file(32), {"age"}, {.strata = 32});
  choices.Remember(file(0), {"age", "sex"}, {.subgroup = 1});
  EXPECT_FALSE(choices.Recall(file(1))) << "the least recently used went";
  for (int i : {0, 2, 31, 32}) ASSERT_TRUE(choices.Recall(file(i))) << i;
  EXPECT_EQ(choices.Recall(file(0))->columns, (std::vector<std::string>{"age", "sex"}));
  EXPECT_EQ(choices.Recall(file(0))->request, (ModelRequest{.subgroup = 1}));
  EXPECT_EQ(choices.Recall(file(31))->request.strata, 31);
}

}  // namespace
}  // namespace orv::guitest
