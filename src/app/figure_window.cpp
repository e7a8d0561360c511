// The figure window "論文用の図": the batch command's publication figure of the last run drawn
// at the window's size, saved as PNG, TIFF, EMF or SVG, copied and printed.
#include "app/program.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/app_ids.h"
#include "app/figure_settings.h"
#include "text/truncate.h"

namespace orv::app {

namespace {

constexpr DWORD kMaxPath = 260;
constexpr char kSaveTitle[] = "図を保存";
constexpr char kCopyTitle[] = "図をコピー";
constexpr char kPrintTitle[] = "印刷";
constexpr char kWriteError[] = "図の書き込みエラー";
constexpr int kClipboardDpi = 300;

enum class FigureFormat { Png, Tiff, Emf, Svg };

struct SaveChoice {
  const char* extension;
  FigureFormat format;
  int dpi;
};

// In the order of the dialog's filter, whose index counts from 1.
constexpr SaveChoice kSaveChoices[] = {{".png", FigureFormat::Png, 300},  {".png", FigureFormat::Png, 600},
                                       {".tif", FigureFormat::Tiff, 300}, {".tif", FigureFormat::Tiff, 600},
                                       {".emf", FigureFormat::Emf, 0},    {".svg", FigureFormat::Svg, 0}};
constexpr char kSaveFilter[] =
    "PNG 300 dpi (*.png)\0*.png\0PNG 600 dpi (*.png)\0*.png\0TIFF 300 dpi (*.tif)\0*.tif;*.tiff\0"
    "TIFF 600 dpi (*.tif)\0*.tif;*.tiff\0EMF (*.emf)\0*.emf\0SVG (*.svg)\0*.svg\0";

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  return text.size() >= n && lstrcmpiA(text.c_str() + text.size() - n, suffix) == 0;
}

// The format a typed extension names wins over the filter chosen, at the filter's resolution
// when that is a raster; a name without one gets the filter's.
SaveChoice ChoiceFor(std::string& path, DWORD filterIndex) {
  const SaveChoice chosen = kSaveChoices[std::clamp<DWORD>(filterIndex, 1, std::size(kSaveChoices)) - 1];
  const int dpi = chosen.dpi == 0 ? 300 : chosen.dpi;
  if (EndsWithNoCase(path, ".png")) return {".png", FigureFormat::Png, dpi};
  if (EndsWithNoCase(path, ".tif") || EndsWithNoCase(path, ".tiff")) return {".tif", FigureFormat::Tiff, dpi};
  if (EndsWithNoCase(path, ".emf")) return {".emf", FigureFormat::Emf, 0};
  if (EndsWithNoCase(path, ".svg")) return {".svg", FigureFormat::Svg, 0};
  path += chosen.extension;
  return chosen;
}

std::string WriteFailureReason(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED: return "書き込みの権限がありません";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "ほかのプログラムが使用中で書き込めません";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "ディスクの空きが足りません";
    case ERROR_PATH_NOT_FOUND: return "フォルダーが見つかりません";
    default: return SystemMessage(error);
  }
}

// The whole file or, with the reason, none: a file cut short is taken away.
std::string WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return WriteFailureReason(GetLastError());
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (ok) return {};
  DeleteFileA(path.c_str());
  return WriteFailureReason(error);
}

// The largest rectangle of the figure's proportions centred in the client area.
RECT FittedFigure(const RECT& client) {
  const int width = client.right - client.left, height = client.bottom - client.top;
  int w = width, h = TruncToInt32(static_cast<double>(width) * kFigureHeight / kFigureWidth);
  if (h > height) {
    h = height;
    w = TruncToInt32(static_cast<double>(height) * kFigureWidth / kFigureHeight);
  }
  const int x = client.left + (width - w) / 2, y = client.top + (height - h) / 2;
  return {x, y, x + w, y + h};
}

}  // namespace

LRESULT Program::OnFigureMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      PaintFigure(hwnd);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the paint covers the whole client area
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp));
      return 0;
    case WM_CLOSE:
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

void Program::PaintFigure(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  HDC dc = GetDC(hwnd);
  // Drawn off the screen and copied in one piece: the curves do not flicker through a resize.
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
  HGDIOBJ previous = SelectObject(memory, bitmap);
  FillRect(memory, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (!shownPath_.empty() && ws_.cases.NumGroups > 0) {
    const FigureLayout layout = LayoutWithGdiFonts(FigureInputFor(ws_, figureIncidence_, figureSettings_));
    const RECT at = FittedFigure(client);
    DrawFigure(memory, layout, at.left, at.top, at.right - at.left, at.bottom - at.top);
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(hwnd, dc);
}

void Program::RefreshFigure() {
  HWND window = view(kFigure);
  if (!window) return;
  const bool competing = ws_.run.competing.active;
  CheckMenuItem(figureMenu_, kCmdFigureIncidence, MF_BYCOMMAND | (figureIncidence_ && competing ? MF_CHECKED : MF_UNCHECKED));
  EnableMenuItem(figureMenu_, kCmdFigureIncidence, MF_BYCOMMAND | (competing ? MF_ENABLED : MF_GRAYED));
  DrawMenuBar(window);
  InvalidateRect(window, nullptr, FALSE);
}

std::optional<FigureLayout> Program::FigureToExport(const char* caption) {
  if (shownPath_.empty() || ws_.cases.NumGroups == 0) {
    boxes_.Show("図がありません\r\nデータファイルを読み込んでください", caption, BoxIcon::Information);
    return std::nullopt;
  }
  const FigureInput input = FigureInputFor(ws_, figureIncidence_, figureSettings_);
  if (input.series.empty()) {
    boxes_.Show("図に描く群がありません\r\nグループ選択 → 描画グループ で群を選んでください", caption, BoxIcon::Information);
    return std::nullopt;
  }
  return LayoutWithGdiFonts(input);
}

void Program::SaveFigure() {
  const std::optional<FigureLayout> layout = FigureToExport(kSaveTitle);
  if (!layout) return;
  char file[kMaxPath] = {};
  lstrcpynA(file, (DataStem(shownPath_) + "-figure.png").c_str(), kMaxPath);
  const std::size_t slash = shownPath_.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : shownPath_.substr(0, slash);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = main_;
  ofn.lpstrFilter = kSaveFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = kMaxPath;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = kSaveTitle;
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameA(&ofn) || file[0] == '\0') return;

  std::string path = file;
  const SaveChoice choice = ChoiceFor(path, ofn.nFilterIndex);
  std::string bytes;
  switch (choice.format) {
    case FigureFormat::Png:
    case FigureFormat::Tiff: bytes = FigureRaster(*layout, choice.dpi, choice.format == FigureFormat::Tiff); break;
    case FigureFormat::Emf:
      if (HENHMETAFILE metafile = FigureMetafile(*layout)) {
        bytes = MetafileBytes(metafile);
        DeleteEnhMetaFile(metafile);
      }
      break;
    case FigureFormat::Svg: bytes = FigureSvg(*layout); break;
  }
  if (bytes.empty()) {
    boxes_.Show(path + "\r\n図を作れませんでした", kWriteError, BoxIcon::Warning);
    return;
  }
  if (std::string reason = WriteWholeFile(path, bytes); !reason.empty()) {
    boxes_.Show(path + "\r\n" + reason, kWriteError, BoxIcon::Warning);
  }
}

void Program::CopyFigure() {
  const std::optional<FigureLayout> layout = FigureToExport(kCopyTitle);
  if (!layout) return;
  // A word processor takes the metafile, which stays sharp and keeps its texts; a paint
  // program the bitmap.
  HENHMETAFILE metafile = FigureMetafile(*layout);
  HGLOBAL dib = FigureDib(*layout, kClipboardDpi);
  bool metafileTaken = false, dibTaken = false;
  if (OpenClipboard(main_)) {
    EmptyClipboard();
    if (metafile) metafileTaken = SetClipboardData(CF_ENHMETAFILE, metafile) != nullptr;
    if (dib) dibTaken = SetClipboardData(CF_DIB, dib) != nullptr;
    CloseClipboard();
  }
  // What the clipboard did not take is still ours.
  if (metafile && !metafileTaken) DeleteEnhMetaFile(metafile);
  if (dib && !dibTaken) GlobalFree(dib);
  if (!metafileTaken || !dibTaken) boxes_.Show("図をクリップボードに置けませんでした", kCopyTitle, BoxIcon::Warning);
}

// The settings go to the settings file as soon as they change, so that a program ended in any
// way keeps them.
void Program::ChangeFigureSettings() {
  HWND window = view(kFigure);
  const bool owned = window != nullptr && IsWindowVisible(window);
  if (!ChooseFigureSettings(dialogs_, owned ? window : main_, figureSettings_)) return;
  if (!WriteFigureSettings(figureSettings_)) {
    boxes_.Show("図の設定を保存できませんでした", "図の設定", BoxIcon::Warning);
  }
}

void Program::PrintFigure() {
  const std::optional<FigureLayout> layout = FigureToExport(kPrintTitle);
  if (!layout) return;
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = main_;
  pd.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
  pd.nCopies = 1;
  if (!PrintDlgA(&pd)) return;
  HDC dc = pd.hDC;
  // 170 x 120 mm at the printer's resolution, centred on the printable area.
  const int width = MulDiv(170 * 10, GetDeviceCaps(dc, LOGPIXELSX), 254);
  const int height = MulDiv(120 * 10, GetDeviceCaps(dc, LOGPIXELSY), 254);
  const int x = std::max(0, (GetDeviceCaps(dc, HORZRES) - width) / 2);
  const int y = std::max(0, (GetDeviceCaps(dc, VERTRES) - height) / 2);
  DOCINFOA doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = "論文用の図";
  bool printed = false;
  if (StartDocA(dc, &doc) > 0) {
    if (StartPage(dc) > 0) {
      DrawFigure(dc, *layout, x, y, width, height);
      printed = EndPage(dc) > 0;
    }
    printed = EndDoc(dc) > 0 && printed;
    if (!printed) AbortDoc(dc);
  }
  DeleteDC(dc);
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  if (!printed) boxes_.Show("印刷できませんでした", kPrintTitle, BoxIcon::Warning);
}

}  // namespace orv::app
