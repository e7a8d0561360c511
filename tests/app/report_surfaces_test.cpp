// The Win32 report surfaces in this process: a batched report leaves the control as the
// insertions one by one would, a streamed table as the plain rewrite would; the paper view's
// line breaks; the command line and the settings file path.
#include "app/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "app/rich_text.h"
#include "app/text_view.h"
#include "gui_driver.h"

namespace orv::app {
namespace {

// A script of sink calls: items between '|' are insertions, except ~C (clear), ~H (a height),
// ~S (caret to the start), ~F (a flush) and ~k, ~r, ~o, ~b (black, red, orange, blue).
void Apply(RichTextSink& sink, std::string_view script) {
  for (std::size_t from = 0, to = 0; from <= script.size(); from = to + 1) {
    to = std::min(script.find('|', from), script.size());
    const std::string_view item = script.substr(from, to - from);
    if (item.size() != 2 || item[0] != '~') { sink.Insert(item); continue; }
    switch (item[1]) {
      case 'C': sink.Clear(); break;
      case 'H': sink.SetHeight(240); break;
      case 'S': sink.CaretToStart(); break;
      case 'F': sink.Flush(); break;
      default: sink.SetColour(item[1] == 'r' ? MakeRgb(255, 0, 0) : item[1] == 'o' ? MakeRgb(255, 128, 0)
                              : item[1] == 'b' ? MakeRgb(0, 0, 255) : kBlack);
    }
  }
  sink.Flush();
}

// What a control holds: its text, its selection and the colour of each character.
std::string Held(HWND control) {
  CHARRANGE sel{};
  SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  std::string held = guitest::ControlText(control) + "\nselection " + std::to_string(sel.cpMin) + "-" + std::to_string(sel.cpMax);
  GETTEXTLENGTHEX gtl{GTL_NUMCHARS, 1200};
  for (int i = 0, n = static_cast<int>(SendMessageA(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gtl), 0)); i < n; ++i) {
    SendMessageA(control, EM_SETSEL, static_cast<WPARAM>(i), i + 1);
    CHARFORMATA cf{sizeof cf};
    SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    held.append(" ").append(std::to_string(cf.crTextColor)).append("/").append(std::to_string(cf.bCharSet));
  }
  // The tab stops of each paragraph.
  for (LRESULT line = 0, lines = SendMessageA(control, EM_GETLINECOUNT, 0, 0); line < lines; ++line) {
    const auto start = static_cast<WPARAM>(SendMessageA(control, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    SendMessageA(control, EM_SETSEL, start, static_cast<LPARAM>(start));
    PARAFORMAT pf{sizeof pf};
    SendMessageA(control, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    held += "\ntabs";
    for (int i = 0; i < pf.cTabCount; ++i) held.append(" ").append(std::to_string(pf.rgxTabs[i]));
  }
  return held;
}

// Some 24 KB of lines whose pairs, brackets and line ends fall on every byte offset, in
// colour runs of a few lines, and a summary inserted at the start at the end.
std::string LongReport() {
  std::string script = "~C";
  for (int i = 0; i < 900; ++i) {
    if (i % 7 == 0) script += std::string("|~") + "krb"[(i / 7) % 3];
    script.append(1, '|').append(static_cast<std::size_t>(i % 3), 'x').append("行 表示ソ予 {x}\\ 十\t\r\n");
  }
  return script + "|~S|~k|総データ数 : 900\t\r\n";
}

HWND NewControl(HWND parent) {
  HWND c = CreateWindowExA(0, "RichEdit20A", "", 0x50B000C4, 0, 0, 400, 300, parent, nullptr, nullptr, nullptr);
  SendMessageA(c, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  CHARFORMATA cf = ReportCharFormat();
  SendMessageA(c, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  return c;
}

TEST(ReportControl, BatchedReportEqualsInsertions) {
  struct Case { const char* name; std::string script; };
  const Case cases[] = {
      // 表, ソ and 予 end in the byte of a backslash; { and } are RTF syntax.
      {"trail bytes and RTF syntax", "~C|表示ソ予 {x} \\y\\ 十\t\r\n"},
      {"colour runs", "~C|A,100,死亡\t|~r|\t＊ データ形式はカンマ区切りです \t\r\n\r\n|~o|\t死因が未入力の為、不明で計算\t"
                      "|~b|'comment\t\r\n|~k|end\t\r\n"},
      {"summary above the rows", "~C|~H|--- Raw data --- \t\r\n\r\n|B,7,死亡,癌\t\t\r\n|~S|~b|C:\\data\\表.csv\t\r\n\r\n"
                                 "|~k|総データ数 : 1\t\r\n|~S"},
      {"empty inserts and empty lines", "~C||\t\r\n||\t\r\n"},
      {"a report of several slices", LongReport()},
      {"a new load before the last slices of the old one", LongReport() + "|~F|~C|~r|new\t\r\n|~k|end\r\n"},
  };
  LoadLibraryA("riched20.dll");
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND directControl = NewControl(parent), batchedControl = NewControl(parent);
    RichEditReport direct(directControl, ""), batched(batchedControl, "");
    direct.SetDirect(true);
    Apply(direct, c.script);
    Apply(batched, c.script);
    while (batched.Pending()) batched.FillSome();
    EXPECT_EQ(guitest::ControlText(batched.Control()), batched.Model().Text());
    EXPECT_EQ(Held(batched.Control()), Held(directControl));
    DestroyWindow(directControl);
    DestroyWindow(batched.Control());
  }
  DestroyWindow(parent);
}

// A table rewritten as one RTF stream leaves the control as emptying it, inserting the text and
// laying it out do: the same text to the last line end, the selection at 0, the character set
// and colour of each character and the tab stops of each paragraph, fitted or not; in a hidden
// window too, where the text waits until the control is read.
TEST(ResultControl, StreamedTableEqualsThePlainRewrite) {
  struct Case { const char* name; std::string text; };
  const Case cases[] = {
      {"ends with a line end", "\t\t\tlog-rank\t\r\n\t 1 -  2\t >0.5    \t 0.0123\r\n"},
      {"ends inside a line", "群\t中央値\r\n 1 : 新規治療群 ( n = 9 )\t1y11m"},
      {"trail bytes and RTF syntax", "表示ソ予 {x} \\y\\ 十\t\r\n\r\n"},
      {"a cell wider than its stop", std::string(60, 'x') + "\tend\r\n"},
      {"empty", ""},
  };
  LoadLibraryA("riched20.dll");
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  for (const Case& c : cases) {
    for (int way = 0; way < 4; ++way) {
      const bool fit = way % 2 == 1, hidden = way >= 2;
      SCOPED_TRACE(std::string(c.name) + (fit ? ", fitted stops" : "") + (hidden ? ", hidden" : ""));
      ShowWindow(parent, hidden ? SW_HIDE : SW_SHOWNA);
      HWND streamedControl = NewControl(parent), plainControl = NewControl(parent);
      RichEditResult streamed(streamedControl, kResultTabStops, fit), plain(plainControl, kResultTabStops, fit);
      streamed.Replace("old\ttext\r\n");
      streamed.Replace(c.text);
      plain.ResultTextSink::Replace(c.text);
      EXPECT_EQ(guitest::ControlText(streamedControl), c.text);
      EXPECT_EQ(Held(streamedControl), Held(plainControl));
      DestroyWindow(streamedControl);
      DestroyWindow(plainControl);
    }
  }
  DestroyWindow(parent);
}

// The paper's lines: Japanese breaks between characters but never before a closing bracket or
// a full stop nor after an opening bracket, Latin at blanks, which hang past the edge. Each
// line is shown as drawn, its hanging blanks in brackets.
TEST(TextView, WrapsJapaneseBetweenCharactersLatinAtBlanks) {
  struct Case { const char* name; std::wstring text; int width; std::wstring lines; };
  const Case cases[] = {
      {"between any two Japanese characters", L"生存率は高い", 40, L"生存|率は|高い"},
      {"exactly as wide as the line", L"生存率は", 80, L"生存率は"},
      {"no full stop at a line's start", L"あいう。え", 60, L"あい|う。え"},
      {"no comma at a line's start", L"あいう、え", 60, L"あい|う、え"},
      {"no closing bracket at a line's start", L"あいう）お", 60, L"あい|う）お"},
      {"no opening bracket at a line's end", L"あい（う）", 60, L"あい|（う）"},
      {"Latin at blanks, the blank hanging", L"ab cd ef", 50, L"ab cd[ ]|ef"},
      {"blanks past the edge hang", L"abcd   ef", 40, L"abcd[   ]|ef"},
      {"a word longer than the line is cut", L"abcdefg", 30, L"abc|def|g"},
      {"digits and a percent sign stay together", L"率は95%です", 60, L"率は|95%で|す"},
      {"Latin beside Japanese breaks between them", L"中央値ab", 70, L"中央値|ab"},
      {"a character wider than the line stands alone", L"生存", 10, L"生|存"},
  };
  for (const Case& c : cases) {
    std::vector<int> advance;
    for (wchar_t ch : c.text) advance.push_back((advance.empty() ? 0 : advance.back()) + (ch < 0x80 ? 10 : 20));
    std::wstring shown;
    for (const WrappedLine& l : WrapParagraph(c.text, advance, c.width)) {
      if (!shown.empty()) shown += L'|';
      shown += c.text.substr(static_cast<std::size_t>(l.start), static_cast<std::size_t>(l.end - l.start));
      if (l.next > l.end) shown += L"[" + c.text.substr(static_cast<std::size_t>(l.end), static_cast<std::size_t>(l.next - l.end)) + L"]";
    }
    EXPECT_TRUE(shown == c.lines) << c.name;
  }
}

// The files that exist, for the unquoted arguments.
bool IsListedFile(const std::string& path) {
  return path == R"(D:\my data\a b.csv)" || path == R"(D:\my data\a b.csv extra)" || path == R"(D:\cases.csv)";
}

TEST(CommandLine, DataFileArgument) {
  struct Case { const char* name; const char* line; std::optional<std::string> path; };
  const Case cases[] = {
      {"quoted file with blanks", R"("C:\P\O.exe" "D:\my data\a b.csv")", R"(D:\my data\a b.csv)"},
      {"unquoted file ends at a blank", R"("C:\P\O.exe" D:\cases.csv extra)", R"(D:\cases.csv)"},
      {"unquoted file with blanks that exists", R"("C:\P\O.exe" D:\my data\a b.csv)", R"(D:\my data\a b.csv)"},
      {"the longest run of words that exists", R"("C:\P\O.exe" D:\my data\a b.csv extra more)", R"(D:\my data\a b.csv extra)"},
      {"a shorter run exists, trailing blanks", R"("C:\P\O.exe" D:\my data\a b.csv   )", R"(D:\my data\a b.csv)"},
      {"no run exists: the first word", R"("C:\P\O.exe" D:\no such\file.csv)", R"(D:\no)"},
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
  for (const Case& c : cases) EXPECT_EQ(DataFileArgument(c.line, IsListedFile), c.path) << c.name;
}

}  // namespace
}  // namespace orv::app
