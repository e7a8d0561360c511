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
#include "workspace/workspace.h"
#include "help_storage.h"
#include "platform/recording.h"

namespace orv::dist {
namespace {

// The test runs in the folder of Orvantis.exe, where the build puts the help file.
const std::string kHelpFile = "Orvantis.chm";

struct PageTitle { const char* page; const char* title; };
const PageTitle kPages[] = {
    {"index.htm", "Orvantis ヘルプ"},
    {"datafile.htm", "データファイルの作り方"},
    {"rules.htm", "行の検査、修正と除外"},
    {"report.htm", "読み込みデータ（検査結果の一覧）"},
    {"menu.htm", "メニューのコマンド"},
    {"graph.htm", "グラフ（メインウィンドウ）"},
    {"views.htm", "ラベル、累積死亡者数、死因別のウィンドウ"},
    {"survival.htm", "生存率表の見方"},
    {"tests.htm", "検定の見方"},
    {"multiple.htm", "多重比較表"},
    {"settings.htm", "設定のウィンドウ"},
    {"limits.htm", "制限事項"},
};

// A stored file as the help viewer's own storage reads it; a failure when it cannot.
std::string Page(const std::string& name) {
  static std::map<std::string, std::string> read;
  if (auto it = read.find(name); it != read.end()) return it->second;
  const auto bytes = ReadHelpPage(kHelpFile, "/" + name);
  if (!bytes) ADD_FAILURE() << "the help storage cannot read " << name;
  return read[name] = bytes.value_or("");
}

TEST(HelpFile, StoresEveryPageAsShiftJisWithItsTitle) {
  for (const PageTitle& c : kPages) {
    SCOPED_TRACE(c.page);
    const std::string page = Page(c.page);
    EXPECT_TRUE(IsShiftJis(page));
    EXPECT_NE(page.find("charset=Shift_JIS"), std::string::npos);
    EXPECT_NE(page.find(std::string("<title>") + c.title + "</title>"), std::string::npos);
  }
}

TEST(HelpFile, EveryLinkLeadsToAStoredPage) {
  // Links of the pages, and the Local values of the contents tree and the index.
  const std::regex link(R"re((?:href|value)="([A-Za-z0-9_-]+\.(?:htm|css))")re");
  std::vector<std::string> sources = {"toc.hhc", "index.hhk"};
  for (const PageTitle& c : kPages) sources.push_back(c.page);
  const std::string toc = Page("toc.hhc");
  for (const std::string& source : sources) {
    SCOPED_TRACE(source);
    const std::string text = Page(source);
    EXPECT_TRUE(IsShiftJis(text));
    int links = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it, ++links)
      EXPECT_FALSE(Page((*it)[1].str()).empty()) << "dead link to " << (*it)[1].str();
    EXPECT_GT(links, 0);
    if (source.ends_with(".htm")) { EXPECT_NE(toc.find("\"" + source + "\""), std::string::npos) << "not in contents"; }
  }
}

// The notes of the loader, in the colours it writes them, with the tabs and line breaks of
// the report layout removed.
std::vector<std::string> NotesOf(std::string_view rows, std::vector<RecordedBox>& boxes) {
  Workspace ws;
  RecordingRichText report;
  RecordingMessageBoxes recorded;
  LoadDataBytes("notes.csv", rows, ws, report, recorded);
  boxes = recorded.boxes;
  std::vector<std::string> notes;
  for (const ColourRun& run : report.Runs()) {
    if (run.colour != kRed && run.colour != kOrange) continue;
    const auto first = run.text.find_first_not_of("\t\r\n");
    const auto last = run.text.find_last_not_of("\t\r\n");
    if (first != std::string::npos) notes.push_back(run.text.substr(first, last - first + 1));
  }
  return notes;
}

TEST(HelpFile, QuotesTheNoteOfEveryRowRuleExactly) {
  struct Case { const char* rule; const char* row; };
  const Case cases[] = {
      {"rule 1, no comma", "12\r\n"},
      {"rule 2, empty group", ",12,死亡\r\n"},
      {"rule 3, empty days", "A,,死亡\r\n"},
      {"rule 4, days not half-width digits", "A,１２,死亡\r\n"},
      {"rule 5, more than 40 years", "A,15000,死亡,癌\r\n"},
      {"rule 6, empty outcome", "A,12\r\n"},
      {"rule 7, death without cause", "A,100,死亡\r\n"},
      // Plain ASCII besides the character, so that the row stays UTF-8 in this Shift-JIS build.
      {"UTF-8 character outside code page 932", "\xEF\xBB\xBF" "A\xF0\x9F\x98\x80,100,alive\r\n"},
  };
  const std::string rules = Page("rules.htm");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    std::vector<RecordedBox> boxes;
    const auto notes = NotesOf(c.row, boxes);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(rules.find("<code>" + notes[0] + "</code>"), std::string::npos) << notes[0];
    for (const RecordedBox& box : boxes) {
      EXPECT_NE(rules.find(box.caption), std::string::npos) << box.caption;
      EXPECT_NE(rules.find(box.text), std::string::npos) << box.text;
    }
  }
}

TEST(HelpFile, DescribesEveryMenuCommand) {
  HMENU bar = orv::app::BuildMainMenu();
  ASSERT_NE(bar, nullptr);
  const std::string menu = Page("menu.htm");
  std::set<std::string> labels;
  // The bar's entries and the items of their popups; separators have no text.
  const auto addAll = [&](HMENU m, auto&& self) -> void {
    for (int i = 0; i < GetMenuItemCount(m); ++i) {
      char text[128] = {};
      if (GetMenuStringA(m, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION) > 0) labels.insert(text);
      if (HMENU popup = GetSubMenu(m, i)) self(popup, self);
    }
  };
  addAll(bar, addAll);
  DestroyMenu(bar);
  EXPECT_GE(labels.size(), 26u) << "ten bar entries and their popup items";
  for (const std::string& label : labels)
    EXPECT_NE(menu.find(">" + label + "</td>"), std::string::npos) << "menu.htm lacks " << label;
}

TEST(HelpFile, StatesTheLimits) {
  struct Case { const char* page; const char* text; };
  const Case cases[] = {
      {"limits.htm", "1 週は 7 日"},
      {"limits.htm", "2,080 週（40 年、14,560 日）"},
      {"limits.htm", "名前の付いた群は 19 まで"},
      {"limits.htm", "名前の付いた死因は 19 まで"},
      {"limits.htm", "「20 over」"},
      {"datafile.htm", "先頭が半角のアポストロフィ"},
      {"datafile.htm", "8 例以上"},
      {"tests.htm", "Logrank( Peto &amp; Peto ) χ2 = "},
      {"tests.htm", "<code>p&lt;0.001 </code>"},
      {"multiple.htm", "<code>BonFerroni</code>"},
      {"multiple.htm", "<code>Saidak     </code>"},
  };
  for (const Case& c : cases) EXPECT_NE(Page(c.page).find(c.text), std::string::npos) << c.page << ": " << c.text;
}

}  // namespace
}  // namespace orv::dist
