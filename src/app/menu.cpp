// The main menu: ten bar entries, five of them with popups; the figure window's five commands.
#include "app/menu.h"

#include <initializer_list>
#include <iterator>

#include "app/app_ids.h"

namespace orv::app {

namespace {

struct Item {
  const char* text;  // nullptr: a separator
  int id;
};

void InsertItem(HMENU menu, const Item& item, HMENU popup) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  if (!item.text) {
    info.fMask = MIIM_FTYPE;
    info.fType = MFT_SEPARATOR;
  } else {
    info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | (popup ? MIIM_SUBMENU : 0u);
    info.fType = MFT_STRING;
    info.dwTypeData = const_cast<char*>(item.text);
    info.wID = static_cast<UINT>(item.id);
    info.hSubMenu = popup;
  }
  InsertMenuItemA(menu, 0, TRUE, &info);
}

HMENU BuildPopup(std::initializer_list<Item> items) {
  HMENU popup = CreatePopupMenu();
  for (auto it = std::rbegin(items); it != std::rend(items); ++it) InsertItem(popup, *it, nullptr);
  return popup;
}

}  // namespace

HMENU BuildMainMenu() {
  HMENU range = BuildPopup({{"＋１年", kCmdPlusOneYear},
                            {"＋５年", kCmdPlusFiveYears},
                            {nullptr, 0},
                            {"－１年", kCmdMinusOneYear},
                            {"－５年", kCmdMinusFiveYears},
                            {nullptr, 0},
                            {"　最長", kCmdLongest}});
  HMENU values = BuildPopup({{"死因別人数", kCmdDeathsByCause},
                             {"死亡者数", kCmdCumulativeDeaths},
                             {nullptr, 0},
                             {"多重検定(Log rank)", kCmdLogRankWindow},
                             {"多重検定(General Wilcoxon)", kCmdWilcoxonWindow},
                             {nullptr, 0},
                             {"読み込みデータ", kCmdReportWindow},
                             {nullptr, 0},
                             {"リスク集団数", kCmdNumberAtRisk},
                             {"信頼区間・ハザード比", kCmdIntervals},
                             {"論文用の記述", kCmdPaper},
                             {"論文用の記述の設定…", kCmdPaperWords},
                             {"表をCSVで保存…", kCmdSaveTables},
                             {nullptr, 0},
                             {"累積発生率", kCmdIncidenceView},
                             {"基準群の選択…", kCmdChooseReference},
                             {nullptr, 0},
                             {"論文用の図", kCmdFigure},
                             {"図を保存…", kCmdSaveFigure},
                             {"図をコピー", kCmdCopyFigure},
                             {"印刷…", kCmdPrintFigure},
                             {nullptr, 0},
                             {"共変量・層別…", kCmdCovariates},
                             {"多変量解析", kCmdModelWindow},
                             {"フォレストプロット", kCmdForestView}});
  HMENU groups = BuildPopup({{"描画グループ", kCmdChooseGroups}, {nullptr, 0}, {"打ち切り症例", kCmdCensoredCases}});
  HMENU graph = BuildPopup({{"コピー", kCmdCopyGraph}, {nullptr, 0}, {"線種、太さ、色の設定", kCmdLineSettings}});
  HMENU help = BuildPopup({{"Help", kCmdHelp}, {"About", kCmdAbout}});

  struct BarEntry {
    Item item;
    HMENU popup;
  };
  // A bar entry with a popup carries no command of its own.
  const BarEntry bar[] = {
      {{"ファイル開く", kCmdOpenFile}, nullptr}, {{"ラベル", kCmdLegend}, nullptr},
      {{"生存率", kCmdSurvivalRate}, nullptr},   {{"５年", kCmdFiveYears}, nullptr},
      {{"１０年", kCmdTenYears}, nullptr},       {{"観察期間", 0}, range},
      {{"データ値", 0}, values},                 {{"グループ選択", 0}, groups},
      {{"グラフ", 0}, graph},                    {{"ＨＥＬＰ", 0}, help},
  };
  HMENU menuBar = CreateMenu();
  for (auto it = std::rbegin(bar); it != std::rend(bar); ++it) InsertItem(menuBar, it->item, it->popup);
  return menuBar;
}

HMENU BuildFigureMenu() {
  const Item bar[] = {{"図を保存…", kCmdSaveFigure}, {"図をコピー", kCmdCopyFigure}, {"印刷…", kCmdPrintFigure},
                      {"累積発生率を表示", kCmdFigureIncidence}, {"図の設定…", kCmdFigureSettings}};
  HMENU menuBar = CreateMenu();
  for (auto it = std::rbegin(bar); it != std::rend(bar); ++it) InsertItem(menuBar, *it, nullptr);
  return menuBar;
}

}  // namespace orv::app
