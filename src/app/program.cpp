// Start-up, the main window, the data file ways and the clipboard, help and about commands.
#include "app/program.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "app/app_ids.h"
#include "app/figure_settings.h"
#include "app/command_line.h"
#include "app/menu.h"
#include "session/analysis.h"
#include "session/commands.h"
#include "text/truncate.h"

namespace orv::app {

namespace {

constexpr DWORD kMainStyle = 0x10CC0000;
constexpr DWORD kMaxDropPath = 260;
constexpr char kPrompt[] = "データファイルを選択してください";
constexpr char kNoValidData[] = "有効なデータがありません";
constexpr char kFolderReason[] = "フォルダーです。データファイルを選んでください";

void InitCommonControls(DWORD classes) {
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), classes};
  InitCommonControlsEx(&icc);
}

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Why a file that exists does not open for reading, in the user's words; the system's own
// message for the rarer causes.
std::string OpenFailureReason(DWORD error) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return "ほかのプログラムが使用中で開けません";
  if (error == ERROR_ACCESS_DENIED) return "読み取りの権限がありません";
  return SystemMessage(error);
}

}  // namespace

std::string SystemMessage(unsigned long error) {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                      sizeof text, nullptr);
  std::string reason(text, length);
  while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
  return reason + "（エラー " + std::to_string(error) + "）";
}

void Win32MessageBoxes::Show(std::string_view text, std::string_view caption, BoxIcon icon) {
  UINT type = MB_OK;
  if (icon == BoxIcon::Warning) type |= MB_ICONEXCLAMATION;
  if (icon == BoxIcon::Error) type |= MB_ICONERROR;
  if (icon == BoxIcon::Information) type |= MB_ICONINFORMATION;
  MessageBoxA(program_.mainWindow(), std::string(text).c_str(), std::string(caption).c_str(), type);
}

void Win32ViewWindows::Resize(const ViewSizes& s) { program_.DeferViewPlacement(s); }

Program::Program(HINSTANCE instance) : instance_(instance) {
  surfaces_.boxes = &boxes_;
  surfaces_.views = &viewWindows_;
  dialogs_.instance = instance;
  dialogs_.ws = &ws_;
  dialogs_.surfaces = &surfaces_;
  dialogs_.shownPath = &shownPath_;
  dialogs_.modelChoices = &modelChoices_;
  for (COLORREF& c : dialogs_.customColours) c = RGB(255, 255, 255);
  figureSettings_ = ReadFigureSettings();
}

Program::~Program() = default;

int Program::Run() {
  InitCommonControls(0xFF);
  // One dialog font serves the three setting windows; none of them outlives the others.
  dialogFont_ = CreateFontA(-12, 0, 0, 0, 400, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_STROKE_PRECIS,
                            CLIP_STROKE_PRECIS, DRAFT_QUALITY, DEFAULT_PITCH | FF_SWISS, "ＭＳ Ｐゴシック");
  dialogBrush_ = CreateSolidBrush(GetSysColor(COLOR_3DFACE));
  dialogs_.dialogFont = dialogFont_;
  menuBar_ = BuildMainMenu();
  figureMenu_ = BuildFigureMenu();
  RegisterDialogClass(instance_, dialogBrush_);
  InitCommonControls(ICC_BAR_CLASSES);

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(kIconResource));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "NORMAL0";
  RegisterClassExA(&wc);
  CreateWindowExA(WS_EX_ACCEPTFILES, "NORMAL0", appTitle_.c_str(), kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT, 886,
                  601, nullptr, nullptr, instance_, this);

  CreateViewWindows();
  // The views exist now, so a file named on the command line gets its report and tables; one
  // that fails its check leaves the start screen with its prompt.
  if (startupFile_ && CheckDataFile(startupPath_)) {
    dataPath_ = startupPath_;
    SetFileTitle();
    LoadShownFile(startupPath_);
  }

  MSG msg;
  for (;;) {
    if (report_ && report_->Pending()) {
      // The rest of a large report goes into its control only when no message waits.
      if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        report_->FillSome();
        continue;
      }
      if (msg.message == WM_QUIT) break;
    } else {
      BOOL got = GetMessageA(&msg, nullptr, 0, 0);
      if (got == 0 || got == -1) break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

LRESULT CALLBACK Program::MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* program = reinterpret_cast<Program*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!program) return DefWindowProcA(hwnd, msg, wp, lp);
  return program->OnMainMessage(hwnd, msg, wp, lp);
}

LRESULT Program::OnMainMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      OnCreate(hwnd);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_SIZE:
      ResizeGraph(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      PaintGraph();
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp));
      return 0;
    case WM_DROPFILES:
      DropDataFile(reinterpret_cast<HDROP>(wp));
      return 0;
    case WM_ACTIVATE: {
      // The default sets the focus, which is where Wine raises the window's X window.
      const LRESULT result = DefWindowProcA(hwnd, msg, wp, lp);
      if (LOWORD(wp) != WA_INACTIVE) KeepViewsAbove();
      return result;
    }
    default: {
      bool handled = false;
      const LRESULT result = OnTestHook(msg, wp, lp, handled);
      return handled ? result : DefWindowProcA(hwnd, msg, wp, lp);
    }
  }
}

void Program::OnCreate(HWND hwnd) {
  main_ = hwnd;
  dialogs_.mainWindow = hwnd;
  SetMenu(hwnd, menuBar_);
  richEdit_ = LoadLibraryA("riched32.dll");
  if (!richEdit_) richEdit_ = LoadLibraryA("riched20.dll");

  PlotGeometry& g = ws_.geometry;
  g.width = 770;
  g.left = 80;
  g.pixelsPerWeek = 770.0 / 120.0;
  g.height = 550;
  g.top = 50;
  g.xMax = kWeeksPerTenYears;
  g.labelDivisor = 51;

  int x = TruncToInt32(GetSystemMetrics(SM_CXSCREEN) * 0.5 - 450.0);
  int y = TruncToInt32(GetSystemMetrics(SM_CYSCREEN) * 0.5 - 360.0);
  MoveWindow(hwnd, x, y, 900, 700, FALSE);

  mainDC_ = GetDC(hwnd);
  graphDC_ = CreateCompatibleDC(mainDC_);
  graphBitmap_ = CreateCompatibleBitmap(mainDC_, 900, 700);
  firstBitmap_ = SelectObject(graphDC_, graphBitmap_);
  graphCanvas_ = std::make_unique<GdiCanvas>(graphDC_, hwnd, hwnd);
  screenCanvas_ = std::make_unique<GdiCanvas>(mainDC_, hwnd, nullptr);
  surfaces_.graph = graphCanvas_.get();
  surfaces_.screen = screenCanvas_.get();

  SetTextColor(graphDC_, RGB(0, 0, 0));
  SetBkMode(mainDC_, OPAQUE);
  SetBkColor(mainDC_, RGB(255, 255, 255));
  SetBkMode(graphDC_, OPAQUE);
  SetBkColor(graphDC_, RGB(255, 255, 255));
  graphCanvas_->FillRect(graphCanvas_->ClientRect(), kWhite);

  if (auto path = DataFileArgument(GetCommandLineA(), IsFile)) {
    startupPath_ = *path;
    startupFile_ = true;
  }
  // A load draws the graph over it.
  DrawPrompt();
}

void Program::DrawPrompt() {
  RECT r{};
  GetClientRect(main_, &r);
  r.top = 100;
  DrawTextA(graphDC_, kPrompt, -1, &r, DT_CENTER | DT_TOP);
}

void Program::OnDestroy() {
  DestroyMenu(menuBar_);
  DeleteObject(dialogFont_);
  DeleteObject(dialogBrush_);
  dialogs_.dialogFont = nullptr;
  PostQuitMessage(0);
  SetMenu(main_, nullptr);
}

void Program::ResizeGraph(int cx, int cy) {
  PlotGeometry& g = ws_.geometry;
  // Narrower than the margins wraps as the platform's 16-bit coordinates do.
  g.width = static_cast<std::uint16_t>(cx - 130);
  g.pixelsPerWeek = static_cast<double>(g.width) / g.xMax;
  g.height = static_cast<std::uint16_t>(cy - 150);
  if (dataPath_.empty() || !graphDC_) return;
  HBITMAP bitmap = CreateCompatibleBitmap(mainDC_, cx, cy);
  SelectObject(graphDC_, bitmap);
  DeleteObject(graphBitmap_);
  graphBitmap_ = bitmap;
  RedrawGraph(ws_, surfaces_);
}

void Program::PaintGraph() {
  RECT r{};
  GetClientRect(main_, &r);
  SetStretchBltMode(mainDC_, COLORONCOLOR);
  BitBlt(mainDC_, 0, 0, r.right, r.bottom, graphDC_, 0, 0, SRCCOPY);
}

void Program::OnCommand(int id) {
  switch (id) {
    case kCmdOpenFile: ChooseDataFile(); break;
    case kCmdLegend: ShowViewWindow(kLegend); break;
    case kCmdSurvivalRate: ShowViewWindow(kRate); break;
    case kCmdFiveYears: ApplyRange(ws_, surfaces_, RangeCommand::FiveYears); break;
    case kCmdTenYears: ApplyRange(ws_, surfaces_, RangeCommand::TenYears); break;
    case kCmdPlusOneYear: ApplyRange(ws_, surfaces_, RangeCommand::PlusOneYear); break;
    case kCmdPlusFiveYears: ApplyRange(ws_, surfaces_, RangeCommand::PlusFiveYears); break;
    case kCmdMinusOneYear: ApplyRange(ws_, surfaces_, RangeCommand::MinusOneYear); break;
    case kCmdMinusFiveYears: ApplyRange(ws_, surfaces_, RangeCommand::MinusFiveYears); break;
    case kCmdLongest: ApplyRange(ws_, surfaces_, RangeCommand::Longest); break;
    case kCmdDeathsByCause: ShowViewWindow(kByCause); break;
    case kCmdCumulativeDeaths: ShowViewWindow(kCumulative); break;
    case kCmdLogRankWindow: ShowComparisons(kLogRank); break;
    case kCmdWilcoxonWindow: ShowComparisons(kWilcoxon); break;
    case kCmdReportWindow: ShowViewWindow(kReport); break;
    case kCmdNumberAtRisk: ShowViewWindow(kAtRisk); break;
    case kCmdIntervals: ShowViewWindow(kIntervals); break;
    case kCmdPaper: ShowViewWindow(kPaper); break;
    case kCmdSaveTables: SaveTables(); break;
    case kCmdIncidenceView: ShowViewWindow(kIncidence); break;
    case kCmdChooseReference: ChooseReferenceGroup(dialogs_); break;
    case kCmdPaperWords:
      if (ChoosePaperWords(dialogs_)) RememberPaperChoices();
      break;
    case kCmdFigure: ShowViewWindow(kFigure); break;
    case kCmdSaveFigure: SaveFigure(); break;
    case kCmdCopyFigure: CopyFigure(); break;
    case kCmdPrintFigure: PrintFigure(); break;
    case kCmdFigureIncidence: figureIncidence_ = !figureIncidence_; break;
    case kCmdFigureSettings: ChangeFigureSettings(); break;
    case kCmdCovariates:
      ChooseCovariates(dialogs_);
      FitAdjustedViews();
      break;
    case kCmdModelWindow: ShowViewWindow(kModel); break;
    case kCmdForestView: ShowViewWindow(kForest); break;
    case kCmdChooseGroups: ChooseGroups(dialogs_, false); break;
    case kCmdCensoredCases: ChooseCensoredCauses(dialogs_); break;
    case kCmdCopyGraph: CopyGraphToClipboard(); break;
    case kCmdLineSettings: ChooseGroups(dialogs_, true); break;
    case kCmdHelp: OpenHelp(); break;
    case kCmdAbout: ShowAbout(); break;
    default: break;
  }
  // The censored-case selection reloads the shown file into the report and the views.
  PlacePendingViews();
  if (report_) report_->Flush();
  // Every command that may have run the analysis on a loaded file.
  const bool analysed = (id >= kCmdFiveYears && id <= kCmdLongest) || id == kCmdChooseGroups ||
                        id == kCmdLineSettings || id == kCmdCensoredCases;
  if (analysed && !shownPath_.empty()) HideStaleComparisons();
  RefreshFigure();
}

void Program::ShowComparisons(View v) {
  if (ws_.run.tests.ShownGroupCount < 2) {
    boxes_.Show("グラフは2本以上必要です", "多重比較", BoxIcon::None);
    return;
  }
  ShowViewWindow(v);
}

bool Program::CheckDataFile(const std::string& path) {
  if (!PathFileExistsA(path.c_str())) {
    boxes_.Show(path, "ファイルが見つかりません", BoxIcon::Warning);
    return false;
  }
  std::string reason;
  if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
    reason = kFolderReason;
  } else {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return true;
    }
    reason = OpenFailureReason(GetLastError());
  }
  boxes_.Show(path + "\r\n" + reason, "ファイルのオープンエラー", BoxIcon::Warning);
  return false;
}

void Program::SetFileTitle() { SetWindowTextA(main_, (appTitle_ + " : " + dataPath_).c_str()); }

void Program::LoadShownFile(const std::string& path) {
  shownPath_ = path;
  LoadAndAnalyse(path, ws_, surfaces_);
  RecallPaperChoices();
  PlacePendingViews();
  if (report_) report_->Flush();
  HideStaleComparisons();
  RefreshFigure();
  if (ws_.cases.NumGroups == 0) {
    // Not one row was taken: the report says why, row by row, so it is shown with the box and
    // stays in front of the main window, which the box's closing activates.
    ShowWindow(view(kReport), SW_SHOWNORMAL);
    boxes_.Show(std::string(kNoValidData) + "\r\n" + path, "データの確認！", BoxIcon::Warning);
    SetWindowPos(view(kReport), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(view(kReport));
  } else if (ws_.shown.CountIn(1, LastGroup(ws_.cases)) == 0) {
    // Empty axes and tables would not say why.
    boxes_.Show("表示できる群がありません\r\nどの群も " + std::to_string(kLeastShownRows) +
                    " 例未満です（" + std::to_string(kLeastShownRows) + " 例以上の群を表示します）\r\n" + path,
                "データの確認！", BoxIcon::Warning);
  }
}

void Program::HideStaleComparisons() {
  // With fewer than two curves the run leaves no pairwise table: the tables of an earlier
  // file or choice must not stay on screen as if they were this one's.
  if (ws_.run.tests.ShownGroupCount >= 2) return;
  for (View v : {kLogRank, kWilcoxon}) {
    if (IsWindowVisible(view(v))) {
      ShowWindow(view(v), SW_HIDE);
      InvalidateRect(main_, nullptr, TRUE);
    }
  }
  if (logRank_) logRank_->Command("CLEAR");
  if (wilcoxon_) wilcoxon_->Command("CLEAR");
}

void Program::ChooseDataFile() {
  char file[kMaxDropPath] = "data-sample.csv";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = main_;
  ofn.lpstrFilter = "csv(*.csv)\0*.csv\0テキスト(*.txt)\0*.txt\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = kMaxDropPath;
  ofn.lpstrTitle = "データファイルを選んで下さい";
  ofn.lpstrDefExt = "*";
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  // The dialog makes sure the file exists, not that it opens: a file another program holds
  // is told and changes nothing, as a dropped one.
  if (!GetOpenFileNameA(&ofn) || file[0] == '\0' || !CheckDataFile(file)) return;
  dataPath_ = file;
  SetFileTitle();
  StartNewFile(ws_);
  ws_.keptModel = modelChoices_.Recall(dataPath_);
  LoadShownFile(dataPath_);
}

void Program::DropDataFile(HDROP drop) {
  char file[kMaxDropPath] = {};
  DragQueryFileA(drop, 0, file, kMaxDropPath);
  DragFinish(drop);
  // A file that fails its check has been told in a box; everything stays as the previous load
  // left it, or the start screen: the path too, which a resize reads to redraw the graph.
  if (!CheckDataFile(file)) return;
  dataPath_ = file;
  SetFileTitle();
  StartNewFile(ws_);
  ws_.keptModel = modelChoices_.Recall(dataPath_);
  LoadShownFile(dataPath_);
}

void Program::CopyGraphToClipboard() {
  RECT r{};
  GetClientRect(main_, &r);
  HBITMAP bitmap = CreateCompatibleBitmap(mainDC_, r.right, r.bottom);
  HDC copy = CreateCompatibleDC(mainDC_);
  HGDIOBJ previous = SelectObject(copy, bitmap);
  SetStretchBltMode(copy, COLORONCOLOR);
  BitBlt(copy, 0, 0, r.right, r.bottom, graphDC_, 0, 0, SRCCOPY);
  SelectObject(copy, previous);
  DeleteDC(copy);
  bool handedOver = false;
  if (OpenClipboard(main_)) {
    EmptyClipboard();
    handedOver = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
    CloseClipboard();
  }
  // A bitmap the clipboard did not take is still ours.
  if (!handedOver) DeleteObject(bitmap);
}

void Program::OpenHelp() { ShellExecuteA(nullptr, "open", "Orvantis.chm", nullptr, nullptr, SW_SHOWNORMAL); }

void Program::ShowAbout() { boxes_.Show(appTitle_ + "  " + appVersion_, appTitle_, BoxIcon::None); }

}  // namespace orv::app
