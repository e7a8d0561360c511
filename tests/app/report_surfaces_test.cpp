// The Win32 report surfaces in this process: a batched report leaves the control as the
// insertions one by one would; the command line and the settings file path.
#include "app/win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
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

}  // namespace
}  // namespace orv::app
