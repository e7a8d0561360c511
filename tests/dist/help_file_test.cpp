// Tests of the compiled help file Orvantis.chm: every page readable by the system's help storage
// as Shift-JIS, links that lead somewhere, and the program's own texts quoted exactly.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/menu.h"
#include "data/loader.h"
#include "help_storage.h"
#include "platform/recording.h"

namespace orv::dist {
namespace {

// The texts pages must hold: the limits, and the program's own words.
const std::map<std::string, std::vector<const char*>> kTexts = {
    {"datafile.htm", {"先頭が半角のアポストロフィ", "8 例以上"}},
    {"index.htm", {"「フォルダーです。データファイルを選んでください」", "「ほかのプログラムが使用中で開けません」"}},
    {"tests.htm", {"Logrank( Peto &amp; Peto ) χ2 = ", "<code>p&lt;0.001 </code>"}},
    {"multiple.htm", {"<code>BonFerroni</code>", "<code>Saidak     </code>"}},
    {"figures.htm", {"「グラフは2本以上必要です」", "見出し「ファイルの書き込みエラー」"}},
    {"paper.htm", {"データ形式はカンマ区切りです 1行", "<code>p &lt; 0.001</code>"}},
    {"reference.htm", {"HR (群 vs 基準群)", "<code>未到達 (7y 6m - 未到達)</code>"}},
    {"incidence.htm", {"「競合する死因が選ばれていません（グループ選択 → 打ち切り症例 で選びます）」", "<code>名前-cumulative-incidence.csv</code>"}},
    {"adjusted.htm", {"「このファイルには共変量の列がありません」", "<code>C統計量 (concordance)</code>"}},
    {"limits.htm", {"1 週は 7 日", "2,080 週（40 年、14,560 日）", "名前の付いた群は 19 まで", "名前の付いた死因は 19 まで", "「20 over」"}},
};

// A stored file as the help viewer's own storage reads it; a failure when it cannot. The test
// runs in the folder of Orvantis.exe, where the build puts the help file.
std::string Page(const std::string& name) {
  const auto bytes = ReadHelpPage("Orvantis.chm", "/" + name);
  if (!bytes) ADD_FAILURE() << "the help storage cannot read " << name;
  return bytes.value_or("");
}

// The contents, the index and every page of the contents are Shift-JIS; each page declares it;
// the pages above are in the contents with their texts; every link and every Local value
// leads to a stored file.
TEST(HelpFile, PagesWithTheirTextsAndLinks) {
  const std::regex link(R"re((?:href|value)="([A-Za-z0-9_-]+\.(?:htm|css))")re");
  const std::string toc = Page("toc.hhc");
  std::set<std::string> sources = {"toc.hhc", "index.hhk"};
  for (std::sregex_iterator it(toc.begin(), toc.end(), link), end; it != end; ++it) sources.insert((*it)[1].str());
  for (const auto& [page, texts] : kTexts) EXPECT_TRUE(sources.contains(page)) << page << " not in contents";
  for (const std::string& source : sources) {
    SCOPED_TRACE(source);
    const std::string text = Page(source);
    EXPECT_TRUE(IsShiftJis(text));
    EXPECT_TRUE(!source.ends_with(".htm") || text.find("charset=Shift_JIS") != std::string::npos) << "no charset";
    if (kTexts.contains(source)) {
      for (const char* t : kTexts.at(source)) EXPECT_NE(text.find(t), std::string::npos) << t;
    }
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it)
      EXPECT_FALSE(Page((*it)[1].str()).empty()) << "dead link to " << (*it)[1].str();
  }
}

// The notes of the loader, in the colours it writes them, with the tabs and line breaks of
// the report layout removed.
std::vector<std::string> NotesOf(std::string_view rows, RecordingMessageBoxes& boxes) {
  RecordingRichText report;
  LoadCases("notes.csv", rows, CauseFlags{}, report, boxes);
  std::vector<std::string> notes;
  for (const ColourRun& run : report.Runs()) {
    const auto first = run.text.find_first_not_of("\t\r\n"), last = run.text.find_last_not_of("\t\r\n");
    if ((run.colour == kRed || run.colour == kOrange) && first != std::string::npos)
      notes.push_back(run.text.substr(first, last - first + 1));
  }
  return notes;
}

TEST(HelpFile, QuotesTheNoteOfEveryRowRuleExactly) {
  struct Case { const char* rule; const char* row; };
  const Case cases[] = {
      {"rule 1, no comma", "12\r\n"}, {"rule 2, empty group", ",12,死亡\r\n"}, {"rule 3, empty days", "A,,死亡\r\n"},
      {"rule 4, days not half-width digits", "A,１２,死亡\r\n"}, {"rule 5, more than 40 years", "A,15000,死亡,癌\r\n"},
      {"rule 6, empty outcome", "A,12\r\n"}, {"rule 7, death without cause", "A,100,死亡\r\n"},
      // Plain ASCII besides the character, so that the row stays UTF-8 in this Shift-JIS build.
      {"UTF-8 character outside code page 932", "\xEF\xBB\xBF" "A\xF0\x9F\x98\x80,100,alive\r\n"},
  };
  const std::string rules = Page("rules.htm");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    RecordingMessageBoxes boxes;
    const auto notes = NotesOf(c.row, boxes);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(rules.find("<code>" + notes[0] + "</code>"), std::string::npos) << notes[0];
    for (const RecordedBox& box : boxes.boxes) {
      EXPECT_NE(rules.find(box.caption), std::string::npos) << box.caption;
      EXPECT_NE(rules.find(box.text), std::string::npos) << box.text;
    }
  }
}

// The menu as text: items joined by '|', an id after '=', a popup's items in brackets, '-' a
// separator, '!' before an item that is disabled or checked; the labels are gathered.
std::string MenuText(HMENU menu, std::set<std::string>& labels) {
  std::string out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64] = {};
    MENUITEMINFOA info{sizeof info, MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_SUBMENU | MIIM_STATE};
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
    out += std::string(i ? "|" : "") + (info.fState & (MFS_DISABLED | MFS_CHECKED) ? "!" : "");
    if (info.fType & MFT_SEPARATOR) out += "-";
    else if (info.hSubMenu) out.append(text).append("[").append(MenuText(info.hSubMenu, labels)).append("]");
    else out.append(text).append("=").append(std::to_string(info.wID));
    if (text[0]) labels.insert(text);
  }
  return out;
}

// The menu reads in the order of its table, and the help describes every entry of it.
TEST(HelpFile, DescribesEveryMenuCommand) {
  HMENU bar = orv::app::BuildMainMenu();
  std::set<std::string> labels;
  EXPECT_EQ(MenuText(bar, labels),
            "ファイル開く=1004|ラベル=1005|生存率=1006|５年=1007|１０年=1008"
            "|観察期間[＋１年=1009|＋５年=1010|-|－１年=1011|－５年=1012|-|　最長=1013]"
            "|データ値[死因別人数=1014|死亡者数=1015|-|多重検定(Log rank)=1016|多重検定(General Wilcoxon)=1024|-"
            "|読み込みデータ=1017|-|リスク集団数=1025|信頼区間・ハザード比=1026|論文用の記述=1028|論文用の記述の設定…=1036|表をCSVで保存…=1027|-|累積発生率=1029|基準群の選択…=1030|-|論文用の図=1031|図を保存…=1032|図をコピー=1033|印刷…=1034"
            "|-|共変量・層別…=1061|多変量解析=1062|フォレストプロット=1063]"
            "|グループ選択[描画グループ=1018|-|打ち切り症例=1019]|グラフ[コピー=1020|-|線種、太さ、色の設定=1021]"
            "|ＨＥＬＰ[Help=1022|About=1023]");
  DestroyMenu(bar);
  const std::string menu = Page("menu.htm");
  for (const std::string& label : labels)
    EXPECT_NE(menu.find(">" + label + "</td>"), std::string::npos) << "menu.htm lacks " << label;
}

}  // namespace
}  // namespace orv::dist
