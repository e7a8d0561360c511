// Tests of the compiled help file Orvantis.chm: a complete container in Japanese, every page
// stored, readable by the system's help storage as Shift-JIS, links that lead somewhere, and
// the program's own texts (the loader's notes, the menu) quoted exactly.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/menu.h"
#include "chm_directory.h"
#include "data/loader.h"
#include "data/workspace.h"
#include "help_storage.h"
#include "platform/recording.h"

namespace orv::dist {
namespace {

// The test runs in the folder of Orvantis.exe, where the build puts the help file.
const std::string kHelpFile = "Orvantis.chm";

const std::vector<std::string> kPages = {"index.htm",   "datafile.htm", "rules.htm",   "report.htm",
                                         "menu.htm",    "graph.htm",    "views.htm",   "survival.htm",
                                         "tests.htm",   "multiple.htm", "settings.htm", "limits.htm"};

const ChmDirectory& Directory() {
  static const ChmDirectory directory = [] {
    std::string error;
    const auto bytes = ReadWholeFile(kHelpFile);
    if (!bytes) return ChmDirectory{};
    auto dir = ReadChmDirectory(*bytes, error);
    if (!dir) ADD_FAILURE() << "not a help file: " << error;
    return dir.value_or(ChmDirectory{});
  }();
  return directory;
}

std::string Page(const std::string& name) {
  static std::map<std::string, std::string> read;
  if (auto it = read.find(name); it != read.end()) return it->second;
  const auto bytes = ReadHelpPage(kHelpFile, "/" + name);
  if (!bytes) ADD_FAILURE() << "the help storage cannot read " << name;
  return read[name] = bytes.value_or("");
}

TEST(HelpFile, IsACompleteJapaneseContainer) {
  ASSERT_TRUE(ReadWholeFile(kHelpFile)) << "no " << kHelpFile << " beside Orvantis.exe";
  const ChmDirectory& dir = Directory();
  EXPECT_EQ(dir.version, 3u);
  EXPECT_EQ(dir.language, 0x0411u) << "the viewer would not read the contents as code page 932";
  struct Case {
    const char* what;
    const char* entry;
  };
  const Case cases[] = {
      {"system data with the title and default page", "/#SYSTEM"},
      {"the compressed content section", "::DataSpace/Storage/MSCompressed/Content"},
      {"the table of contents", "/toc.hhc"},
      {"the keyword index", "/index.hhk"},
      {"the style sheet", "/orvantis.css"},
      {"the full-text search index", "/$FIftiMain"},
  };
  for (const Case& c : cases) EXPECT_NE(dir.Find(c.entry), nullptr) << c.what << ": " << c.entry;
}

TEST(HelpFile, DirectoryReaderRefusesDamagedContainers) {
  const auto intact = ReadWholeFile(kHelpFile);
  ASSERT_TRUE(intact);
  const std::size_t listing = intact->find("PMGL");
  ASSERT_NE(listing, std::string::npos);
  struct Case {
    const char* name;
    std::string bytes;
  };
  auto with = [&](std::size_t at, std::string_view patch) {
    std::string b = *intact;
    b.replace(at, patch.size(), patch);
    return b;
  };
  const Case cases[] = {
      {"cut after the header", intact->substr(0, 0x70)},
      {"cut inside the listing", intact->substr(0, listing + 40)},
      {"cut before the end of the stored files", intact->substr(0, intact->size() / 2)},
      {"wrong signature", with(0, "ITSX")},
      {"directory beyond the end", with(0x48, std::string("\xFF\xFF\xFF\x7F", 4))},
      {"listing without its signature", with(listing, "PMGX")},
      {"listing with more free space than room", with(listing + 4, std::string("\xFF\xFF\x00\x00", 4))},
  };
  std::string error;
  EXPECT_TRUE(ReadChmDirectory(*intact, error)) << error;
  for (const Case& c : cases) EXPECT_FALSE(ReadChmDirectory(c.bytes, error)) << c.name;
}

TEST(HelpFile, StoresEveryPageAsShiftJisWithItsTitle) {
  struct Case {
    const char* page;
    const char* title;
  };
  const Case cases[] = {
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
  ASSERT_EQ(std::size(cases), kPages.size());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    EXPECT_NE(Directory().Find(std::string("/") + c.page), nullptr);
    const std::string page = Page(c.page);
    EXPECT_TRUE(IsShiftJis(page));
    EXPECT_NE(page.find("charset=Shift_JIS"), std::string::npos);
    EXPECT_NE(page.find(std::string("<title>") + c.title + "</title>"), std::string::npos);
  }
}

TEST(HelpFile, EveryLinkLeadsToAStoredPage) {
  // Links of the pages, and the Local values of the contents tree and the index.
  const std::regex link(R"re((?:href|value)="([A-Za-z0-9_-]+\.(?:htm|css))")re");
  std::vector<std::string> sources = kPages;
  sources.push_back("toc.hhc");
  sources.push_back("index.hhk");
  for (const std::string& source : sources) {
    SCOPED_TRACE(source);
    const std::string text = Page(source);
    EXPECT_TRUE(IsShiftJis(text));
    int links = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it, ++links)
      EXPECT_NE(Directory().Find("/" + (*it)[1].str()), nullptr) << "dead link to " << (*it)[1].str();
    EXPECT_GT(links, 0);
  }
  // Every page can be reached from the contents tree.
  const std::string toc = Page("toc.hhc");
  for (const std::string& page : kPages)
    EXPECT_NE(toc.find("\"" + page + "\""), std::string::npos) << page << " is missing from the contents";
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
  struct Case {
    const char* rule;
    const char* row;
  };
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
  for (int i = 0; i < GetMenuItemCount(bar); ++i) {
    char text[128] = {};
    GetMenuStringA(bar, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    labels.insert(text);
    if (HMENU popup = GetSubMenu(bar, i)) {
      for (int j = 0; j < GetMenuItemCount(popup); ++j) {
        char item[128] = {};
        if (GetMenuStringA(popup, static_cast<UINT>(j), item, sizeof item, MF_BYPOSITION) > 0) labels.insert(item);
      }
    }
  }
  DestroyMenu(bar);
  EXPECT_GE(labels.size(), 26u) << "ten bar entries and their popup items";
  for (const std::string& label : labels)
    EXPECT_NE(menu.find(">" + label + "</td>"), std::string::npos) << "menu.htm lacks " << label;
}

TEST(HelpFile, StatesTheLimits) {
  struct Case {
    const char* page;
    const char* text;
  };
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
