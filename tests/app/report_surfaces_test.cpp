// The Win32 report surfaces in this process: a batched report leaves the control as the
// insertions one by one would; the command line and the settings file path.
#include "app/win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_ids.h"
#include "app/command_line.h"
#include "app/menu.h"
#include "app/rich_text.h"
#include "gui_driver.h"

namespace orv::app {
namespace {

struct Op {
  enum Kind { Clear, Colour, Height, Insert, ToStart } kind;
  Rgb colour = 0;
  std::string text;
};

Op Ins(std::string text) { return {Op::Insert, 0, std::move(text)}; }
Op Col(Rgb colour) { return {Op::Colour, colour, {}}; }

void Apply(RichTextSink& sink, const std::vector<Op>& ops) {
  for (const Op& op : ops) {
    switch (op.kind) {
      case Op::Clear: sink.Clear(); break;
      case Op::Colour: sink.SetColour(op.colour); break;
      case Op::Height: sink.SetHeight(240); break;
      case Op::Insert: sink.Insert(op.text); break;
      case Op::ToStart: sink.CaretToStart(); break;
    }
  }
  sink.Flush();
}

std::vector<COLORREF> CharColours(HWND control) {
  GETTEXTLENGTHEX gtl{GTL_NUMCHARS, 1200};
  auto n = static_cast<int>(SendMessageA(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gtl), 0));
  std::vector<COLORREF> colours;
  for (int i = 0; i < n; ++i) {
    SendMessageA(control, EM_SETSEL, static_cast<WPARAM>(i), i + 1);
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    colours.push_back(cf.crTextColor);
  }
  return colours;
}

// Some 24 KB of lines whose pairs, brackets and line ends fall on every byte offset, in
// colour runs of a few lines, and a summary inserted at the start at the end.
std::vector<Op> LongReport() {
  const Rgb colours[] = {kBlack, MakeRgb(255, 0, 0), MakeRgb(0, 0, 255)};
  std::vector<Op> ops = {{Op::Clear}};
  for (int i = 0; i < 900; ++i) {
    if (i % 7 == 0) ops.push_back(Col(colours[(i / 7) % 3]));
    ops.push_back(Ins(std::string(static_cast<std::size_t>(i % 3), 'x') + "行 表示ソ予 {x}\\ 十\t\r\n"));
  }
  ops.push_back({Op::ToStart});
  ops.push_back(Col(kBlack));
  ops.push_back(Ins("総データ数 : 900\t\r\n"));
  return ops;
}

HWND NewControl(HWND parent) {
  HWND c = CreateWindowExA(0, "RichEdit20A", "", 0x50B000C4, 0, 0, 400, 300, parent, nullptr, nullptr, nullptr);
  SendMessageA(c, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  CHARFORMATA cf = ReportCharFormat();
  SendMessageA(c, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  return c;
}

TEST(ReportControl, BatchedReportEqualsInsertions) {
  const Rgb red = MakeRgb(255, 0, 0), orange = MakeRgb(255, 128, 0), blue = MakeRgb(0, 0, 255);
  struct Case {
    const char* name;
    std::vector<Op> ops;
  };
  const Case cases[] = {
      {"plain lines with tabs", {{Op::Clear}, Ins("--- Raw data --- \t"), Ins("\r\n"), Ins("\r\n"), Ins("A,100,生存\t\t\r\n")}},
      // 表, ソ and 予 end in the byte of a backslash; { and } are RTF syntax.
      {"trail bytes and RTF syntax", {{Op::Clear}, Ins("表示ソ予 {x} \\y\\ 十\t\r\n")}},
      {"colour runs",
       {{Op::Clear}, Ins("A,100,死亡\t"), Col(red), Ins("\t＊ データ形式はカンマ区切りです \t\r\n\r\n"), Col(orange),
        Ins("\t死因が未入力の為、不明で計算\t"), Col(blue), Ins("'comment\t\r\n"), Col(kBlack), Ins("end\t\r\n")}},
      {"summary above the rows",
       {{Op::Clear}, {Op::Height}, Ins("--- Raw data --- \t\r\n\r\n"), Ins("B,7,死亡,癌\t\t\r\n"), {Op::ToStart}, Col(blue),
        Ins("C:\\data\\表.csv\t\r\n\r\n"), Col(kBlack), Ins("総データ数 : 1\t\r\n"), {Op::ToStart}}},
      {"cleared and rewritten", {Ins("old text\r\n"), {Op::Clear}, Col(red), Ins("new\t\r\n"), Col(kBlack)}},
      {"empty inserts and empty lines", {{Op::Clear}, Ins(""), Ins("\t\r\n"), Ins(""), Ins("\t\r\n")}},
      {"a report of several slices", LongReport()},
  };
  LoadLibraryA("riched20.dll");
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND directControl = NewControl(parent);
    HWND batchedControl = NewControl(parent);
    RichEditReport direct(directControl, "");
    direct.SetDirect(true);
    RichEditReport batched(batchedControl, "");
    Apply(direct, c.ops);
    Apply(batched, c.ops);
    EXPECT_EQ(guitest::ControlText(batchedControl), batched.Model().Text());
    EXPECT_EQ(guitest::ControlText(batchedControl), guitest::ControlText(directControl));
    CHARRANGE directSel{}, batchedSel{};
    SendMessageA(directControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&directSel));
    SendMessageA(batchedControl, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&batchedSel));
    EXPECT_EQ(batchedSel.cpMin, directSel.cpMin);
    EXPECT_EQ(batchedSel.cpMax, directSel.cpMax);
    EXPECT_EQ(CharColours(batchedControl), CharColours(directControl));
    DestroyWindow(directControl);
    DestroyWindow(batchedControl);
  }
  DestroyWindow(parent);
}

TEST(CommandLine, DataFileArgument) {
  struct Case {
    const char* name;
    const char* line;
    std::optional<std::string> path;
  };
  const Case cases[] = {
      {"quoted program, quoted file", R"("C:\Prog\Orvantis.exe" "D:\data\cases.csv")", R"(D:\data\cases.csv)"},
      {"quoted file with blanks", R"("C:\P\O.exe" "D:\my data\a b.csv")", R"(D:\my data\a b.csv)"},
      {"unquoted file ends at a blank", R"("C:\P\O.exe" D:\cases.csv extra)", R"(D:\cases.csv)"},
      {"several blanks before the file", R"("C:\P\O.exe"    D:\x.csv)", R"(D:\x.csv)"},
      {"unquoted program path", R"(C:\Prog\Orvantis.exe D:\cases.csv)", R"(D:\cases.csv)"},
      {"unquoted program path, quoted file", R"(C:\Prog\Orvantis.exe "D:\a b.csv")", R"(D:\a b.csv)"},
      {"unquoted program path alone", R"(C:\Prog\Orvantis.exe)", std::nullopt},
      {"quoted program path alone", R"("C:\Program Files\Orvantis.exe")", std::nullopt},
      {"program path, trailing blanks", R"("C:\P\O.exe"   )", std::nullopt},
      {"argument of 4 bytes", R"("C:\P\O.exe" a.cs)", std::nullopt},
      {"argument of 5 bytes", R"("C:\P\O.exe" a.csv)", "a.csv"},
      {"unterminated quote", R"("C:\P\O.exe" "D:\data\cases.csv)", std::nullopt},
      {"empty quotes", R"("C:\P\O.exe" "" D:\cases.csv)", std::nullopt},
      {"unterminated program quote", R"("C:\P\O.exe D:\cases.csv)", std::nullopt},
      {"empty line", "", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DataFileArgument(c.line), c.path) << c.name;
  }
}

TEST(SettingsFile, PathBesideTheProgram) {
  struct Case {
    const char* name;
    const char* module;
    const char* settings;
  };
  const Case cases[] = {
      {"three-letter extension", R"(C:\Tools\Survival.exe)", R"(C:\Tools\Survival.ini)"},
      {"two-letter extension loses a byte of the name", R"(C:\Tools\Survival.ex)", R"(C:\Tools\Surviva.ini)"},
      {"no extension", R"(C:\Tools\Survival)", R"(C:\Tools\Surv.ini)"},
      {"shorter than four bytes", "abc", ".ini"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SettingsPathFor(c.module), c.settings) << c.name;
  }
}

TEST(MainMenu, ReadsInTheOrderOfItsTable) {
  struct Entry {
    const char* text;  // nullptr: a separator
    int id;
  };
  struct Bar {
    const char* text;
    int id;
    std::vector<Entry> popup;
  };
  const Bar bar[] = {
      {"ファイル開く", kCmdOpenFile, {}},
      {"ラベル", kCmdLegend, {}},
      {"生存率", kCmdSurvivalRate, {}},
      {"５年", kCmdFiveYears, {}},
      {"１０年", kCmdTenYears, {}},
      {"観察期間", 0,
       {{"＋１年", 1009}, {"＋５年", 1010}, {nullptr, 0}, {"－１年", 1011}, {"－５年", 1012}, {nullptr, 0}, {"　最長", 1013}}},
      {"データ値", 0,
       {{"死因別人数", 1014}, {"死亡者数", 1015}, {nullptr, 0}, {"多重検定(Log rank)", 1016},
        {"多重検定(General Wilcoxon)", 1024}, {nullptr, 0}, {"読み込みデータ", 1017}}},
      {"グループ選択", 0, {{"描画グループ", 1018}, {nullptr, 0}, {"打ち切り症例", 1019}}},
      {"グラフ", 0, {{"コピー", 1020}, {nullptr, 0}, {"線種、太さ、色の設定", 1021}}},
      {"ＨＥＬＰ", 0, {{"Help", 1022}, {"About", 1023}}},
  };
  auto check = [](HMENU menu, int pos, const char* text, int id, bool popup) {
    char buffer[64] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
    info.dwTypeData = buffer;
    info.cch = sizeof buffer;
    ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &info));
    EXPECT_EQ(info.fState & (MFS_DISABLED | MFS_CHECKED), 0u);
    if (!text) {
      EXPECT_TRUE(info.fType & MFT_SEPARATOR);
      return;
    }
    EXPECT_STREQ(buffer, text);
    if (!popup) {
      EXPECT_EQ(static_cast<int>(info.wID), id);
    }
    EXPECT_EQ(info.hSubMenu != nullptr, popup);
  };
  HMENU menu = BuildMainMenu();
  ASSERT_EQ(GetMenuItemCount(menu), 10);
  for (int i = 0; i < 10; ++i) {
    const Bar& b = bar[i];
    SCOPED_TRACE(b.text);
    check(menu, i, b.text, b.id, !b.popup.empty());
    if (b.popup.empty()) continue;
    HMENU popup = GetSubMenu(menu, i);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(b.popup.size()));
    for (std::size_t j = 0; j < b.popup.size(); ++j) {
      check(popup, static_cast<int>(j), b.popup[j].text, b.popup[j].id, false);
    }
  }
  DestroyMenu(menu);
}

}  // namespace
}  // namespace orv::app
