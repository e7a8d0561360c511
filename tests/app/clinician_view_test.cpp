// What a clinician sees of the program: Japanese legible in every rich edit control, the
// columns of the tables lined up, and every view and list window on screen.
#include "app/win32.h"

#include <algorithm>
#include <map>

#include "graph/incidence_view.h"
#include "graph/label_columns.h"
#include "gui_driver.h"
#include "text/number_text.h"
#include "text/truncate.h"

namespace orv::guitest {
namespace {

using namespace orv::app;

// Japanese in the report, both pairwise tables and the intervals has character set 128; every
// column of a pairwise table, heading and footer included, starts at one x in every row: the
// tab stops suit the columns (the intervals' are checked with the views below).
TEST_F(Sample, JapaneseLegibleAndColumnsLinedUp) {
  std::vector<std::pair<HWND, std::string>> cases = {{ReportControl(*app_), "総データ数"},
                                                     {ReportControl(*app_), "除外データ数"},
                                                     {WilcoxonControl(*app_), " 統計量"},
                                                     {IntervalsControl(*app_), "生存期間中央値"}};
  for (HWND table : {LogRankControl(*app_), WilcoxonControl(*app_), IntervalsControl(*app_)})
    for (const char* t : {"組み合せ", "新規治療群", "標準治療群", "併用療法群", "経過観察群"}) cases.emplace_back(table, t);
  for (const auto& [control, t] : cases) EXPECT_EQ(app_->CharSetOf(control, t), SHIFTJIS_CHARSET) << t;
  EXPECT_EQ(ExpectColumnsLineUp(LogRankControl(*app_)), 4u) << "log-rank: the pair, the three adjusted p-values";
  EXPECT_EQ(ExpectColumnsLineUp(WilcoxonControl(*app_)), 5u) << "Wilcoxon: and its statistic";
}

// The paragraphs for the paper wrap Japanese at the window's edge, between characters as
// Japanese is set: every line of them that the window wrapped reaches two thirds of its width.
// Wrapped only at half-width blanks, lines such as "（95%信頼区間 / 326-355）" stood alone. A
// selection dragged across a wrapped line copies as it reads.
TEST_F(Sample, PaperWrapsJapaneseAtTheWindowsEdge) {
  HWND control = PaperControl(*app_);
  std::wstring text(static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  ASSERT_GT(text.size(), 1000u);
  const long width = ClientSize(control).cx;
  int wrapped = 0;
  for (WPARAM line = 0, lines = static_cast<WPARAM>(SendMessageW(control, EM_GETLINECOUNT, 0, 0)); line + 1 < lines; ++line) {
    const auto start = static_cast<std::size_t>(SendMessageW(control, EM_LINEINDEX, line, 0));
    const auto end = start + static_cast<std::size_t>(SendMessageW(control, EM_LINELENGTH, start, 0));
    const std::wstring_view shown = std::wstring_view(text).substr(start, end - start);
    if (end >= text.size() || text[end] == L'\r' || std::ranges::none_of(shown, [](wchar_t c) { return c >= 0x3000; })) continue;
    ++wrapped;
    const auto lastX = static_cast<short>(LOWORD(SendMessageW(control, EM_POSFROMCHAR, end - 1, 0)));
    EXPECT_GE(3 * lastX, 2 * width) << "line " << line << " of " << width << " px ends at " << lastX;
  }
  EXPECT_GE(wrapped, 20);
  const auto from = static_cast<WPARAM>(SendMessageW(control, EM_LINEINDEX, 1, 0)) + 3;
  const auto to = static_cast<LPARAM>(SendMessageW(control, EM_LINEINDEX, 3, 0)) + 2;
  // Dragged with the mouse from the left half of one character to that of another.
  const auto at = [&](std::size_t c) {
    const auto p = static_cast<LPARAM>(SendMessageW(control, EM_POSFROMCHAR, c, 0));
    return MAKELPARAM(LOWORD(p) + 1, HIWORD(p) + 1);
  };
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at(from));
  PostMessageW(control, WM_MOUSEMOVE, MK_LBUTTON, at(static_cast<std::size_t>(to)));
  PostMessageW(control, WM_LBUTTONUP, 0, at(static_cast<std::size_t>(to)));
  app_->Settle();
  EXPECT_EQ(SendMessageW(control, EM_GETSEL, 0, 0), MAKELONG(from, to));
  SendMessageW(control, WM_COPY, 0, 0);
  std::wstring copied;
  if (OpenClipboard(nullptr)) {
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      copied = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
  }
  EXPECT_TRUE(copied == text.substr(from, static_cast<std::size_t>(to) - from)) << copied.size() << " characters copied";
}

// Two groups whose deaths have 25 causes with long names.
std::string ManyCausesFile() {
  std::string bytes;
  for (int c = 1; c <= 25; ++c) {
    const std::string cause = "死因" + std::to_string(c) + "・詳細不明の合併症";
    bytes += "A," + std::to_string(30 * c) + ",死亡," + cause + "\r\nB," + std::to_string(40 * c) + ",死亡," + cause + "\r\n";
  }
  return WriteDataFile("causes25.csv", bytes);
}

// The text of each row of a list window of the program, as the window draws it.
std::vector<std::string> ListRows(const Model& model, int command) {
  const CaseData& data = model.ws.cases;
  std::vector<std::string> rows;
  for (int i = 0; i <= (command == kCmdChooseGroups ? data.NumGroups : data.NumCauses); ++i) {
    const auto at = static_cast<std::size_t>(i);
    const std::string number = "  " + FormatNumber(i);
    rows.push_back(command == kCmdChooseGroups
                       ? number.substr(number.size() - 2) + ": " + model.ws.texts[at][0]
                       : data.CauseNames[at] + " ( " + FormatNumber(static_cast<double>(data.DeathsByCause[0][at])) + " )");
  }
  return rows;
}

// The views with their sizes for a file: step is a view's place in the cascade.
struct View { const char* className; int width, height; bool painted; LONG step; };
std::vector<View> ViewsOf(const Model& model) {
  // Grown as far as the labels need in the views' font, the system font of a new context.
  HDC measuring = GetDC(nullptr);
  const ViewSizes s = GrowViewSizes(*model.views.last, FitLabels(model.ws.Results(), [&](std::string_view text) {
    SIZE size{};
    GetTextExtentPoint32A(measuring, text.data(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  }), model.ws.cases.NumCauses);
  ReleaseDC(nullptr, measuring);
  // The incidence view as large as its figure with every group shown needs, in a view's frame
  // without its scroll bars.
  const orv::Rect figure = IncidenceViewClient(model.ws.Results(), model.ws.styles, model.ws.geometry.xMax);
  RECT incidence{0, 0, figure.right, figure.bottom};
  AdjustWindowRectEx(&incidence, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE, 0);
  // The intervals open as wide as their longest line, which the control measures: width 0.
  return {{"NORMAL1", s.legendWidth, s.legendHeight, true, 1},       {"NORMAL2", s.cumulativeWidth, s.cumulativeHeight, true, 4},
          {"NORMAL3", s.byCauseWidth, s.byCauseHeight, true, 5},     {"NORMAL4", s.survivalRateWidth, s.survivalRateHeight, true, 6},
          {"NORMAL5", s.reportWidth, s.reportHeight, false, 0},      {"NORMAL9", s.logRankWidth, s.logRankHeight, false, 2},
          {"NORMAL10", s.wilcoxonWidth, s.wilcoxonHeight, false, 3},  {"NORMAL6", s.numberAtRiskWidth, s.numberAtRiskHeight, true, 7},
          {"NORMAL11", 0, s.intervalsHeight, false, 8}, {"NORMAL12", s.paperWidth, s.paperHeight, false, 9},
          {"NORMAL13", incidence.right - incidence.left, incidence.bottom - incidence.top, true, 10}};
}

// The first load cascades every view from the load position (each 30 px right of and below the
// one placed before) inside the work area, as large as the core sized it and its labels need,
// cut to the room left from its place (on this screen always at least half the area); a later
// load leaves each view where it was, as a user left it, moving it only as far as its new size
// needs to stay inside. A painted view larger than it shows scrolls over its whole size, also
// when a smaller file follows a larger one; the interval window's columns line up whatever the
// names' lengths. With many groups or causes of long names each list window is as wide as its
// longest label, its ＯＫ stands below the last row, and it is on screen.
TEST(Views, PlacedInsideTheWorkAreaAndScrolledWhenLarger) {
  RECT work{};  // as the program's monitor has it
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const LONG viewX = std::max<LONG>(TruncToInt32(static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) / 2.0f - 700.0f), work.left);
  const LONG viewY = std::max<LONG>(TruncToInt32(static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) / 2.0f - 300.0f), work.top);
  // The place of each view after a load; before: where each was, none for the first load.
  const auto expectPlaces = [&](const App& app, const Model& model, const std::map<std::string, Rect>& before) {
    for (const View& v : ViewsOf(model)) {
      SCOPED_TRACE(v.className);
      const Rect place = Place(app.Find(v.className));
      const LONG x = before.empty() ? viewX + 30 * v.step : before.at(v.className)[0];
      const LONG y = before.empty() ? viewY + 30 * v.step : before.at(v.className)[1];
      ASSERT_TRUE(!before.empty() || (2 * (work.right - x) >= work.right - work.left && 2 * (work.bottom - y) >= work.bottom - work.top));
      const LONG width = v.width ? std::min<LONG>(v.width, before.empty() ? work.right - x : work.right - work.left) : place[2];
      const LONG height = std::min<LONG>(v.height, before.empty() ? work.bottom - y : work.bottom - work.top);
      EXPECT_EQ(place, (Rect{std::clamp<LONG>(x, work.left, work.right - width), std::clamp<LONG>(y, work.top, work.bottom - height),
                             width, height}));
    }
  };
  // list: the command of the list window to open; moved: the views dragged by the user after
  // the sample's load, then a file of many long causes and the sample twice.
  struct Moved { const char* className; LONG x, y; };
  struct File { std::string path; int list, labelX, pitch; std::vector<Moved> moved; };
  const File files[] = {{LongNamesFile(), kCmdChooseGroups, 120, 45, {}},
                        {ManyCausesFile(), kCmdCensoredCases, 40, 40, {}},
                        {SamplePath(), 0, 0, 0, {{"NORMAL5", 1000, 40}, {"NORMAL1", 100, 900}, {"NORMAL3", 300, 300}}}};
  for (const File& f : files) {
    SCOPED_TRACE(f.path);
    App app(Quoted(f.path));
    app.DismissAllBoxes();
    if (!f.moved.empty()) {
      app.Command(kCmdReportWindow);
      for (const Moved& m : f.moved) SetWindowPos(app.Find(m.className), nullptr, m.x, m.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      for (const std::string& path : {ManyCausesFile(), f.path, f.path}) {
        SCOPED_TRACE("loaded again: " + path);
        std::map<std::string, Rect> before;
        for (const char* view : {"NORMAL1", "NORMAL2", "NORMAL3", "NORMAL4", "NORMAL5", "NORMAL9", "NORMAL10", "NORMAL6", "NORMAL11",
                                 "NORMAL12", "NORMAL13"})
          before[view] = Place(app.Find(view));
        app.Drop({path});
        app.DismissAllBoxes();
        expectPlaces(app, Model(app, path), before);
      }
    } else {
      expectPlaces(app, Model(app, f.path), {});
    }
    const Model model(app, f.path);
    for (const View& v : ViewsOf(model)) {
      if (!v.painted) continue;
      SCOPED_TRACE(v.className);
      HWND w = app.Find(v.className);
      const LONG style = GetWindowLongA(w, GWL_STYLE);
      RECT frame{0, 0, 0, 0};
      AdjustWindowRectEx(&frame, static_cast<DWORD>(style) & ~(WS_HSCROLL | WS_VSCROLL), FALSE, 0);
      const long content[2] = {v.width - (frame.right - frame.left), v.height - (frame.bottom - frame.top)};
      const long page[2] = {ClientSize(w).cx, ClientSize(w).cy};
      for (int bar : {SB_HORZ, SB_VERT}) {
        SCOPED_TRACE(bar == SB_HORZ ? "across" : "down");
        EXPECT_EQ(app.ScrollOf(w, bar), (App::Scroll{content[bar], page[bar], 0}));
        EXPECT_EQ((style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0, content[bar] > page[bar]) << "a bar only when larger";
        // The last row and column can be reached.
        PostMessageA(w, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, SB_BOTTOM, 0);
        app.Settle();
        EXPECT_EQ(app.ScrollOf(w, bar).pos, std::max(content[bar] - page[bar], 0L));
      }
    }
    if (!f.moved.empty()) {
      // The report's left 60 px, caption included, were left black by moves without a repaint:
      // no line of them may be black through, as only a frame line is.
      Sleep(300);
      const Rect report = Place(app.Find("NORMAL5"));
      HDC screen = GetDC(nullptr);
      int blackLines = 0;
      for (LONG y = report[1], x = report[0] + 2; y < report[1] + report[3]; ++y, x = report[0] + 2) {
        while (x < report[0] + 60 && GetPixel(screen, x, y) == RGB(0, 0, 0)) x += 3;
        blackLines += x >= report[0] + 60;
      }
      ReleaseDC(nullptr, screen);
      EXPECT_LE(blackLines, 2) << "lines of the report's left edge black through";
    }
    // Long group names: the interval window's stops move right of the longest label, and the
    // window opens as wide as its longest line where the room from its place allows.
    EXPECT_EQ(ExpectColumnsLineUp(IntervalsControl(app)), 3u);
    const Rect intervals = Place(app.Find("NORMAL11"));
    EXPECT_TRUE(intervals[2] >= 980 && (intervals[0] + intervals[2] == work.right ||
                                        LongestLineEnd(IntervalsControl(app)) < ClientSize(IntervalsControl(app)).cx))
        << intervals[2];
    if (!f.list) continue;
    const std::vector<std::string> rows = ListRows(model, f.list);
    ASSERT_GE(rows.size(), 21u);
    app.Command(f.list);
    HWND window = app.Find("NORMALDLG");
    ASSERT_TRUE(Visible(window));
    // The window draws with its default font, as the screen's context has it.
    HDC dc = GetDC(nullptr);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    LONG widest = 0;
    for (const std::string& row : rows) {
      SIZE text{};
      GetTextExtentPoint32A(dc, row.data(), static_cast<int>(row.find_last_not_of(' ') + 1), &text);
      widest = std::max(widest, text.cx);
    }
    ReleaseDC(nullptr, dc);
    const Rect place = Place(window), ok = Place(GetDlgItem(window, 1000));
    EXPECT_LE(f.labelX + widest, ClientSize(window).cx) << "a label is cut";
    EXPECT_GE(ok[1], f.pitch * static_cast<LONG>(rows.size() - 1) + 20 + tm.tmHeight) << "ＯＫ covers the last row";
    EXPECT_GE(place[2], 300) << "never narrower than before";
    EXPECT_TRUE(place[1] >= work.top && place[1] + place[3] <= work.bottom && place[0] + place[2] <= work.right)
        << "ＯＫ on screen";
  }
}

}  // namespace
}  // namespace orv::guitest
