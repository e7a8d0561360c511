// The figure window 論文用の図 of the sample, driven as a user drives it: its pixels, the files
// "図を保存…" writes (read back byte by byte), the clipboard after "図をコピー" and the print
// dialog.
#include "app/win32.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <tuple>

#include "app/figure_drawing.h"
#include "app/figure_settings.h"
#include "gui_driver.h"
#include "text/cp932.h"

namespace orv::guitest {
namespace {

using namespace orv::app;

using FigureSample = SharedApp<SamplePath>;

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

COLORREF ColourOf(Rgb c) { return RGB(RedOf(c), GreenOf(c), BlueOf(c)); }

std::uint32_t BigEndian(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4 && at + i < b.size(); ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

std::uint32_t LittleEndian(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    if (at + static_cast<std::size_t>(i) < b.size()) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  }
  return v;
}

// Width, height and dots per inch as the file states them (0 where it states none).
struct RasterFacts {
  std::uint32_t width = 0, height = 0;
  double dpiX = 0, dpiY = 0;
  bool operator==(const RasterFacts&) const = default;
};

RasterFacts PngFacts(const std::string& b) {
  RasterFacts f;
  if (b.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0) return f;
  for (std::size_t at = 8; at + 8 <= b.size();) {
    const std::uint32_t length = BigEndian(b, at);
    const auto is = [&](const char* type) { return b.compare(at + 4, 4, type) == 0; };
    if (is("IHDR")) f.width = BigEndian(b, at + 8), f.height = BigEndian(b, at + 12);
    // Pixels per metre, unit 1: metre.
    if (is("pHYs") && b[at + 16] == 1) {
      f.dpiX = std::round(BigEndian(b, at + 8) * 0.0254);
      f.dpiY = std::round(BigEndian(b, at + 12) * 0.0254);
    }
    at += 12 + length;
  }
  return f;
}

RasterFacts TiffFacts(const std::string& b) {
  RasterFacts f;
  if (b.compare(0, 4, "II*\0", 4) != 0) return f;
  const std::uint32_t ifd = LittleEndian(b, 4, 4);
  const std::uint32_t count = LittleEndian(b, ifd, 2);
  std::uint32_t unit = 2;  // inches unless stated
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = ifd + 2 + 12 * i;
    const std::uint32_t tag = LittleEndian(b, entry, 2), type = LittleEndian(b, entry + 2, 2);
    const std::uint32_t value = type == 3 ? LittleEndian(b, entry + 8, 2) : LittleEndian(b, entry + 8, 4);
    const auto rational = [&] { return static_cast<double>(LittleEndian(b, value, 4)) / LittleEndian(b, value + 4, 4); };
    if (tag == 256) f.width = value;
    if (tag == 257) f.height = value;
    if (tag == 282) f.dpiX = rational();
    if (tag == 283) f.dpiY = rational();
    if (tag == 296) unit = value;
  }
  if (unit != 2) f.dpiX = f.dpiY = -1;
  return f;
}

// The texts of the metafile's EMR_EXTTEXTOUTW records.
std::vector<std::wstring> MetafileTexts(const std::string& b) {
  constexpr std::uint32_t kExtTextOutW = 84;
  std::vector<std::wstring> texts;
  for (std::size_t at = 0; at + 8 <= b.size();) {
    const std::uint32_t type = LittleEndian(b, at, 4), size = LittleEndian(b, at + 4, 4);
    if (size < 8) break;
    if (type == kExtTextOutW) {
      // The EMRTEXT after the bounds, the mode and the scales: its reference point, the count
      // of characters and their offset from the record's start.
      const std::uint32_t chars = LittleEndian(b, at + 44, 4), offset = LittleEndian(b, at + 48, 4);
      std::wstring text(chars, L'\0');
      std::memcpy(text.data(), b.data() + at + offset, 2 * chars);
      texts.push_back(text);
    }
    at += size;
  }
  return texts;
}

std::wstring Wide(const std::string& cp932) {
  std::wstring w(cp932.size(), L'\0');
  w.resize(static_cast<std::size_t>(
      MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), w.data(), static_cast<int>(w.size()))));
  return w;
}

// The middle of the longest level step of the last curve drawn (it lies over the others), in
// dots, and its colour.
struct Spot {
  FigurePoint at;
  Rgb colour;
};

Spot LastCurveStep(const FigureLayout& layout, const FigureInput& input) {
  const Rgb colour = input.series.back().colour;
  FigurePoint from{}, to{};
  for (const FigureLine& line : layout.lines) {
    if (line.colour != colour) continue;
    for (std::size_t i = 1; i < line.points.size(); ++i) {
      const FigurePoint a = line.points[i - 1], b = line.points[i];
      if (a.y == b.y && a.y > layout.plotTop && a.y < layout.plotBottom && b.x - a.x > to.x - from.x) from = a, to = b;
    }
  }
  return {{(from.x + to.x) / 2, from.y}, colour};
}

// The middle of each row's line sample under the axis, with its group's colour.
std::vector<Spot> AtRiskSamples(const FigureLayout& layout, const FigureInput& input) {
  std::vector<Spot> spots;
  for (const FigureSeries& s : input.series) {
    for (const FigureLine& line : layout.lines) {
      if (line.colour == s.colour && line.points.size() == 2 && line.points[0].y > layout.plotBottom + 100) {
        spots.push_back({{(line.points[0].x + line.points[1].x) / 2, line.points[0].y}, s.colour});
      }
    }
  }
  return spots;
}

// Opens the save dialog, picks the filter (counted from 1), types the path and presses 保存.
void SaveFigureAs(const App& app, const std::string& path, int filter) {
  app.Command(kCmdSaveFigure);
  HWND dialog = app.Find("#32770");
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(WindowText(dialog), "図を保存");
  HWND types = GetDlgItem(dialog, 0x470);
  SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(filter - 1), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
  SendMessageA(FileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  app.Settle();
}

COLORREF FilePixel(const std::string& path, FigurePoint dots, int dpi) {
  ULONG_PTR token = 0;
  const Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  Gdiplus::Color c;
  {
    Gdiplus::Bitmap bitmap(std::wstring(path.begin(), path.end()).c_str());
    bitmap.GetPixel(static_cast<INT>(std::lround(dots.x * dpi / 300)), static_cast<INT>(std::lround(dots.y * dpi / 300)), &c);
  }
  Gdiplus::GdiplusShutdown(token);
  return c.ToCOLORREF();
}

// The window at the top left of the screen, uncovered, its client area 1004 x 709: the figure
// fills it at half its dots.
void PlaceWindow(const App& app, HWND window) {
  RECT client{0, 0, 1004, 709};
  AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), TRUE, 0);
  SetWindowPos(window, HWND_TOP, 0, 0, client.right - client.left, client.bottom - client.top, SWP_SHOWWINDOW);
  app.Settle();
  Sleep(300);
  app.Settle();
  EXPECT_EQ(ClientSize(window).cx, 1004);
  EXPECT_EQ(ClientSize(window).cy, 709);
}

COLORREF WindowPixel(HWND window, FigurePoint dots) {
  HDC dc = GetDC(window);
  const COLORREF c = GetPixel(dc, static_cast<int>(std::lround(dots.x * 1004 / kFigureWidth)),
                              static_cast<int>(std::lround(dots.y * 708 / kFigureHeight)));
  ReleaseDC(window, dc);
  return c;
}

// Before a load, and with no group drawn, a box and no dialog for save, copy and print alike.
TEST(FigureWindow, NothingLoadedGivesABoxAndNoFile) {
  App app;
  const struct {
    int command;
    const char* caption;
  } commands[] = {{kCmdSaveFigure, "図を保存"}, {kCmdCopyFigure, "図をコピー"}, {kCmdPrintFigure, "印刷"}};
  for (const auto& c : commands) {
    app.Command(c.command);
    EXPECT_EQ(app.DismissAllBoxes(), (std::vector<Box>{{"図がありません\r\nデータファイルを読み込んでください", c.caption}}));
  }
  // Groups of fewer than 8 rows are not drawn.
  app.Drop({WriteDataFile("small.csv", "A,10,死亡\r\nA,20,生存\r\nB,30,死亡\r\n")});
  app.DismissAllBoxes();
  app.Command(kCmdSaveFigure);
  EXPECT_EQ(app.DismissAllBoxes(),
            (std::vector<Box>{{"図に描く群がありません\r\nグループ選択 → 描画グループ で群を選んでください", "図を保存"}}));
  EXPECT_EQ(app.Close(), 0u);
}

// The window's figure is the batch command's layout at the window's scale: the last curve
// and every row of the numbers at risk in their groups' colours.
TEST_F(FigureSample, WindowShowsTheCurvesAndTheAtRiskRows) {
  const Model model(*app_, SamplePath());
  const FigureInput input = FigureInputFor(model.ws, false);
  const FigureLayout layout = LayoutWithGdiFonts(input);
  app_->Command(kCmdFigure);
  HWND window = app_->Find("NORMAL14");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), "論文用の図");
  PlaceWindow(*app_, window);
  const Spot curve = LastCurveStep(layout, input);
  EXPECT_EQ(WindowPixel(window, curve.at), ColourOf(curve.colour));
  const std::vector<Spot> rows = AtRiskSamples(layout, input);
  EXPECT_EQ(rows.size(), input.series.size());
  for (const Spot& row : rows) EXPECT_EQ(WindowPixel(window, row.at), ColourOf(row.colour)) << row.at.y;
  SaveScreen("orvantis-figure.bmp");
}

// Each format as the dialog's filter or the typed extension asks: the rasters at their pixel
// size with the resolution in the file and the last curve's colour at its place; the metafile
// with the legend and the p as text records; the SVG with them as <text> elements.
TEST_F(FigureSample, SavedFiles) {
  const Model model(*app_, SamplePath());
  const FigureInput input = FigureInputFor(model.ws, false);
  const FigureLayout layout = LayoutWithGdiFonts(input);
  const Spot curve = LastCurveStep(layout, input);
  std::vector<std::string> legend;
  for (const FigureText& t : layout.texts) {
    if (t.role == TextRole::Legend || t.role == TextRole::PValue) legend.push_back(t.text);
  }
  ASSERT_EQ(legend.size(), input.series.size() + 1);
  const std::string intervals = ControlText(IntervalsControl(*app_));

  const struct {
    const char* name;
    const char* file;
    int filter;
    RasterFacts facts;
  } cases[] = {
      {"PNG at 300 dpi", "f300.png", 1, {2008, 1417, 300, 300}},
      {"PNG at 600 dpi", "f600.png", 2, {4016, 2834, 600, 600}},
      {"TIFF at 300 dpi", "f300.tif", 3, {2008, 1417, 300, 300}},
      {"TIFF at 600 dpi", "f600.tif", 4, {4016, 2834, 600, 600}},
      {"the extension over the filter: TIFF at the filter's 600 dpi", "typed.tif", 2, {4016, 2834, 600, 600}},
      {"no extension: the filter's", "bare", 3, {2008, 1417, 300, 300}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string typed = TempDir() + "\\" + c.file;
    SaveFigureAs(*app_, typed, c.filter);
    EXPECT_EQ(app_->DismissAllBoxes(), std::vector<Box>{});
    const std::string path = c.filter >= 3 && std::string(c.file) == "bare" ? typed + ".tif" : typed;
    const std::string bytes = FileBytes(path);
    const bool tiff = path.ends_with(".tif");
    EXPECT_EQ(tiff ? TiffFacts(bytes) : PngFacts(bytes), c.facts);
    EXPECT_EQ(FilePixel(path, curve.at, static_cast<int>(c.facts.dpiX)), ColourOf(curve.colour));
  }

  SaveFigureAs(*app_, TempDir() + "\\figure.emf", 5);
  std::vector<std::wstring> records = MetafileTexts(FileBytes(TempDir() + "\\figure.emf"));
  for (const std::string& text : legend) {
    EXPECT_NE(std::find(records.begin(), records.end(), Wide(text)), records.end()) << text;
  }
  EXPECT_EQ(records.size(), layout.texts.size());

  SaveFigureAs(*app_, TempDir() + "\\figure.svg", 6);
  const std::string svg = FileBytes(TempDir() + "\\figure.svg");
  for (const std::string& text : legend) {
    std::string element = ">";
    element.append(Cp932ToUtf8(text)).append("</text>");
    EXPECT_NE(svg.find(element), std::string::npos) << text;
  }
  EXPECT_EQ(ControlText(IntervalsControl(*app_)), intervals) << "saving changes no figure of the run";

  // A file another program holds (the test runs with rights no permission stops): the
  // dialog's question answered, the file named with the reason, left as it was.
  const std::string held = WriteDataFile("held.png", "old");
  HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  SaveFigureAs(*app_, held, 1);
  HWND question = app_->Find("#32770", [](HWND box) { return GetDlgItem(box, IDYES) != nullptr; });
  ASSERT_NE(question, nullptr);
  SendMessageA(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
  app_->Settle();
  EXPECT_EQ(app_->DismissAllBoxes(), (std::vector<Box>{{held + "\r\nほかのプログラムが使用中で書き込めません", "図の書き込みエラー"}}));
  CloseHandle(holder);
  EXPECT_EQ(FileBytes(held), "old");
}

// The metafile and a 300-dpi bitmap with its resolution, for Word and PowerPoint.
TEST_F(FigureSample, CopyPutsTheMetafileAndTheBitmap) {
  app_->Command(kCmdCopyFigure);
  EXPECT_EQ(app_->DismissAllBoxes(), std::vector<Box>{});
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
  BITMAPINFOHEADER header{};
  if (HANDLE dib = GetClipboardData(CF_DIB)) {
    std::memcpy(&header, GlobalLock(dib), sizeof header);
    GlobalUnlock(dib);
  }
  CloseClipboard();
  EXPECT_EQ((std::vector<LONG>{header.biWidth, header.biHeight, header.biXPelsPerMeter, header.biYPelsPerMeter}),
            (std::vector<LONG>{2008, 1417, 11811, 11811}));
}

// With a cause counted as censored the window's choice shows the incidence figure; without
// one the choice shows the survival figure.
TEST_F(FigureSample, IncidenceFigureChosenInTheWindow) {
  app_->Tick(kCmdCensoredCases, {9201}, true);
  Model model(*app_, SamplePath());
  model.ws.cases.CauseCensored[1] = 1;
  model.Load(SamplePath());
  ASSERT_TRUE(model.ws.run.competing.active);
  HWND window = app_->Find("NORMAL14");
  PostMessageA(window, WM_COMMAND, kCmdFigureIncidence, 0);
  app_->Settle();
  const FigureInput incidence = FigureInputFor(model.ws, true);
  const Spot step = LastCurveStep(LayoutWithGdiFonts(incidence), incidence);
  PlaceWindow(*app_, window);
  EXPECT_EQ(WindowPixel(window, step.at), ColourOf(step.colour));

  app_->Tick(kCmdCensoredCases, {9201}, false);
  model.ws.cases.CauseCensored[1] = 0;
  model.Load(SamplePath());
  const FigureInput survival = FigureInputFor(model.ws, true);
  const Spot curve = LastCurveStep(LayoutWithGdiFonts(survival), survival);
  PlaceWindow(*app_, window);
  EXPECT_EQ(WindowPixel(window, curve.at), ColourOf(curve.colour));
}

// The figure's settings as "図の設定…" shows them: the ticked palette, time unit and boxes, and
// the range's two limits.
struct ShownSettings {
  std::vector<int> ticked;
  std::string low, high;
  bool operator==(const ShownSettings&) const = default;
};

ShownSettings SettingsShown(HWND dialog) {
  ShownSettings shown;
  for (int id : {9501, 9502, 9503, 9511, 9512, 9513, 9521, 9522, 9523}) {
    if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) shown.ticked.push_back(id);
  }
  // An edit control of another process tells its text only when asked by message.
  const auto text = [dialog](int id) {
    char buffer[64] = {};
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer);
  };
  shown.low = text(9524);
  shown.high = text(9525);
  return shown;
}

std::string FigureKey(const char* key) {
  char value[64] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, kFigureSettingsKey, key, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return "-";
  return value;
}

// "図の設定…" keeps its choices in the user's registry key of the program as soon as ＯＫ
// takes them, and a restart draws with them: the window's last curve black (grey) where the
// figure in those settings has it (years axis, Y from 0.2). A range that is no range keeps the
// window open with a box. Ids: palette 9501 the program's, 9502 Okabe-Ito, 9503 grey; time
// axis 9511 auto, 9512 months, 9513 years; 9521 bands, 9522 censor marks, 9523 the range.
TEST(FigureWindow, SettingsRememberedAcrossARestart) {
  // The values go however the test ends, so that the other tests' programs start from the defaults.
  struct Removed {
    Removed() { RegDeleteKeyA(HKEY_CURRENT_USER, kFigureSettingsKey); }
    ~Removed() { RegDeleteKeyA(HKEY_CURRENT_USER, kFigureSettingsKey); }
  } removed;
  {
    App app(Quoted(SamplePath()));
    app.DismissAllBoxes();
    app.Command(kCmdFigure);
    app.Command(kCmdFigureSettings);
    HWND dialog = app.Find("NORMALDLG");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), "図の設定");
    EXPECT_EQ(SettingsShown(dialog), (ShownSettings{{9502, 9511, 9522}, "0", "1"}));
    for (int id : {9503, 9513, 9522, 9523}) SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(dialog, 9524), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0.5"));
    SendMessageA(GetDlgItem(dialog, 9525), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0.5"));
    PostMessageA(GetDlgItem(dialog, 1000), BM_CLICK, 0, 0);
    app.Settle();
    EXPECT_EQ(app.DismissAllBoxes(),
              (std::vector<Box>{{"縦軸の範囲は 0 以上 1 以下の数で、下限を上限より小さくしてください", "図の設定"}}));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(FigureKey("palette"), "-") << "nothing kept before ＯＫ takes it";
    SendMessageA(GetDlgItem(dialog, 9524), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0.2"));
    SendMessageA(GetDlgItem(dialog, 9525), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1"));
    PostMessageA(GetDlgItem(dialog, 1000), BM_CLICK, 0, 0);
    app.Settle();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(app.Close(), 0u);
  }
  std::vector<std::string> keys;
  for (const char* key : {"palette", "bands", "timeUnit", "yRange", "censorMarks"}) keys.push_back(FigureKey(key));
  EXPECT_EQ(keys, (std::vector<std::string>{"grey", "0", "years", "0.2,1", "0"}));
  {
    App app(Quoted(SamplePath()));
    app.DismissAllBoxes();
    const Model model(app, SamplePath());
    const FigureSettings settings{.palette = FigurePalette::Grey, .timeUnit = FigureTimeUnit::Years, .yRange = FigureYRange{0.2, 1},
                                  .censorMarks = false};
    const FigureInput input = FigureInputFor(model.ws, false, settings);
    const Spot curve = LastCurveStep(LayoutWithGdiFonts(input), input);
    app.Command(kCmdFigure);
    HWND window = app.Find("NORMAL14");
    PlaceWindow(app, window);
    EXPECT_EQ(std::tuple(curve.colour, WindowPixel(window, curve.at)), std::tuple(kBlack, ColourOf(kBlack)));
    app.Command(kCmdFigureSettings);
    HWND dialog = app.Find("NORMALDLG");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SettingsShown(dialog), (ShownSettings{{9503, 9513, 9523}, "0.2", "1"}));
    // Esc leaves everything as it was.
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    app.Settle();
    EXPECT_EQ(FigureKey("palette"), "grey");
    EXPECT_EQ(app.Close(), 0u);
  }
}

// "印刷…" goes to the system's print dialog and adds no box of its own when it is left. Wine
// here has no printer: its dialog tells that instead of opening, and printing itself is not
// checked.
TEST_F(FigureSample, PrintGoesToTheSystemsDialog) {
  app_->Command(kCmdPrintFigure);
  const std::vector<Box> boxes = app_->DismissAllBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "印刷");
  EXPECT_NE(boxes[0].text.find("プリンター"), std::string::npos) << boxes[0].text;
}

}  // namespace
}  // namespace orv::guitest
