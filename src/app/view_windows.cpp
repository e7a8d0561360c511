// The view windows: five painted tables, the incidence figure and five report controls.
#include "app/program.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

#include "app/app_ids.h"
#include "app/text_view.h"
#include "graph/forest_view.h"
#include "graph/incidence_view.h"
#include "graph/label_columns.h"
#include "graph/number_at_risk.h"
#include "graph/tables.h"
#include "graph/survival_rate_view.h"
#include "session/analysis.h"
#include "text/truncate.h"

namespace orv::app {

namespace {

constexpr DWORD kViewStyle = WS_POPUP | 0x00CC0000;
constexpr DWORD kReportStyle = 0x50B000C4;
// The paper's text view: child, visible, border, vertical scroll bar; its paragraphs wrap at the
// window's width.
constexpr DWORD kWrappingStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL;
constexpr char kReportInitial[] = "読み込みデータ\r\n";
constexpr LONG kScrollLine = 40;  // one row of the tables
constexpr int kCascadeStep = 30;  // each view right of and below the one placed before
constexpr int kTextMargin = 20;   // right of the longest line of a result window

bool IsReport(View v) {
  return v == kReport || v == kLogRank || v == kWilcoxon || v == kIntervals || v == kPaper || v == kModel;
}
// A view that draws its tables on a canvas and scrolls over them; the figure window scales
// its figure to its size instead.
bool Scrolls(View v) { return !IsReport(v) && v != kFigure; }

struct ViewClass {
  const char* className;
  const char* caption;
  int width;
};

constexpr ViewClass kViewClasses[kViewCount] = {
    {"NORMAL1", "LabelWnd", 480},
    {"NORMAL2", "累積死亡者数", 480},
    {"NORMAL3", "死因別", 480},
    {"NORMAL4", "生存率", 480},
    {"NORMAL5", "LogWnd", 480},
    {"NORMAL9", "多重比較(Log rank)", 620},
    {"NORMAL10", "多重比較(General Wilcoxon)", 620},
    {"NORMAL6", "リスク集団数", 480},
    {"NORMAL11", "信頼区間・ハザード比", 620},
    {"NORMAL12", "論文用の記述", 620},
    {"NORMAL13", "累積発生率", 480},
    {"NORMAL14", "論文用の図", 680},
    {"NORMAL15", "多変量解析", 620},
    {"NORMAL16", "フォレストプロット", 700},
};

// The interval columns are wider than the pairwise ones: a label with its case count, a
// median with its interval as periods, two survival rates with theirs.
constexpr LONG kIntervalTabStops[] = {4200, 7650, 11100};
// The model's table: a term's name, its ratio, interval and p.
constexpr LONG kModelTabStops[] = {3000, 4800, 7200};
// The forest plot before its layout sizes it: the figure window's width.
constexpr SIZE kForestClient{680, 480};

// The forest plot's client area, or the figure window's width before there is a plot.
Rect ForestClient(const AnalysisResults& r) {
  const FigureLayout layout = ForestViewLayout(r);
  return layout.width > 0 ? ForestViewClient(layout) : Rect{0, 0, kForestClient.cx, kForestClient.cy};
}

// The client area the figure needs inside the frame.
SIZE IncidenceViewSize(const Rect& client) {
  RECT r{0, 0, client.right, client.bottom};
  AdjustWindowRectEx(&r, kViewStyle, FALSE, 0);
  return {r.right - r.left, r.bottom - r.top};
}

// The figure at 4 pixels per millimetre under the window's bar.
SIZE FigureViewSize(HMENU menu) {
  RECT r{0, 0, 680, 480};
  AdjustWindowRectEx(&r, kViewStyle, menu != nullptr, 0);
  return {r.right - r.left, r.bottom - r.top};
}

struct Creation {
  Program* program;
  View view;
};

RECT WorkAreaOf(HWND window) {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &mi);
  return mi.rcWork;
}

// The order in which the first load cascades the views.
constexpr View kCascadeOrder[kViewCount] = {kReport, kLegend,   kLogRank,   kWilcoxon, kCumulative, kByCause, kRate,
                                            kAtRisk, kIntervals, kPaper,    kIncidence, kFigure,   kModel,   kForest};

// The place of a view in the cascade: it starts left of and above the screen's centre, inside
// the work area of the main window's monitor.
POINT CascadePoint(HWND main, int step) {
  const RECT work = WorkAreaOf(main);
  const float halfWidth = static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) / 2.0f;
  const float halfHeight = static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) / 2.0f;
  return {std::max<int>(TruncToInt32(halfWidth - 700.0f), work.left) + kCascadeStep * step,
          std::max<int>(TruncToInt32(halfHeight - 300.0f), work.top) + kCascadeStep * step};
}

struct Span {
  int at, extent;
};

// Where a view of `size` goes along one axis of the work area [low, high), asked to start at
// `at`. No larger than the area. From a cascade point a view longer than the room left there is
// cut to that room, so that large views cascade like the others, unless that would leave it
// less than half the area; otherwise it moves back only as far as it must to stay inside.
Span FitSpan(int at, int size, int low, int high, bool fromCascade) {
  int extent = std::min(size, high - low);
  const int room = high - std::max(at, low);
  if (fromCascade && extent > room && 2 * room >= high - low) extent = room;
  return {std::clamp(at, low, high - extent), extent};
}

}  // namespace

void Program::RegisterViewClass(const char* name) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = ViewProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  wc.hIconSm = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WINLOGO));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

void Program::CreateViewWindows() {
  for (int i = 0; i < kViewCount; ++i) {
    const ViewClass& vc = kViewClasses[i];
    RegisterViewClass(vc.className);
    Creation creation{this, static_cast<View>(i)};
    // Owned by the main window, as a program's tool windows are: they stay above it when it is
    // clicked, and go with it. Shown before a load, each stands where the first load puts it.
    const POINT at = CascadePoint(main_, static_cast<int>(std::find(std::begin(kCascadeOrder), std::end(kCascadeOrder), i) -
                                                          std::begin(kCascadeOrder)));
    // A top-level window's menu goes where a child's id would.
    HMENU menu = i == kFigure ? figureMenu_ : nullptr;
    const SIZE size = i == kFigure ? FigureViewSize(menu) : SIZE{vc.width, 360};
    CreateWindowExA(0, vc.className, vc.caption, kViewStyle, at.x, at.y, size.cx, size.cy, main_, menu, instance_, &creation);
  }
}

LRESULT CALLBACK Program::ViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* creation = static_cast<const Creation*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    creation->program->views_[static_cast<std::size_t>(creation->view)] = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->program));
  }
  auto* program = reinterpret_cast<Program*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (program) {
    for (int i = 0; i < kViewCount; ++i) {
      if (program->views_[static_cast<std::size_t>(i)] == hwnd) {
        return program->OnViewMessage(static_cast<View>(i), hwnd, msg, wp, lp);
      }
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT Program::OnViewMessage(View v, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (v == kFigure) return OnFigureMessage(hwnd, msg, wp, lp);
  const auto index = static_cast<std::size_t>(v);
  const bool isReport = IsReport(v);
  switch (msg) {
    case WM_CREATE:
      if (!isReport) {
        HDC dc = GetDC(hwnd);
        viewDCs_[index] = dc;
        if (v != kRate) {
          SetBkMode(dc, OPAQUE);
          SetBkColor(dc, RGB(255, 255, 255));
          SetTextColor(dc, RGB(0, 0, 0));
        } else {
          SetBkMode(dc, TRANSPARENT);
        }
        viewCanvases_[index] = std::make_unique<GdiCanvas>(dc, hwnd, nullptr);
        Canvas* canvas = viewCanvases_[index].get();
        if (v == kLegend) surfaces_.legend = canvas;
        if (v == kCumulative) surfaces_.cumulativeDeaths = canvas;
        if (v == kByCause) surfaces_.deathsByCause = canvas;
        if (v == kRate) surfaces_.survivalRate = canvas;
        if (v == kAtRisk) surfaces_.numberAtRisk = canvas;
        if (v == kIncidence) surfaces_.incidence = canvas;
        if (v == kForest) surfaces_.forest = canvas;
      } else if (v == kReport) {
        HWND control = CreateReportControl(hwnd, kReportControlId, kReportInitial);
        if (control) {
          // The caret stands at 0 after creation, so this second line goes above the first.
          SendMessageA(control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(kReportInitial));
          report_ = std::make_unique<RichEditReport>(control, std::string(kReportInitial) + kReportInitial);
          surfaces_.report = report_.get();
        }
      } else if (v == kIntervals) {
        if (HWND control = CreateReportControl(hwnd, kIntervalsControlId, "信頼区間・ハザード比\r\n")) {
          intervals_ = std::make_unique<RichEditResult>(control, kIntervalTabStops, true);
          surfaces_.intervals = intervals_.get();
        }
      } else if (v == kModel) {
        if (HWND control = CreateReportControl(hwnd, kModelControlId, "多変量解析\r\n")) {
          model_ = std::make_unique<RichEditResult>(control, kModelTabStops, true);
          surfaces_.model = model_.get();
        }
      } else if (v == kPaper) {
        if (HWND control = CreateReportControl(hwnd, kPaperControlId, "論文用の記述\r\n", true)) {
          paper_ = std::make_unique<TextResult>(control);
          surfaces_.paper = paper_.get();
        }
      } else {
        const bool logRank = v == kLogRank;
        HWND control = CreateReportControl(hwnd, logRank ? kLogRankControlId : kWilcoxonControlId,
                                           logRank ? "log-rank\r\n" : "General Wilcoxon\r\n");
        if (control) {
          auto sink = std::make_unique<RichEditResult>(control);
          (logRank ? surfaces_.logRank : surfaces_.wilcoxon) = sink.get();
          (logRank ? logRank_ : wilcoxon_) = std::move(sink);
        }
      }
      return 0;
    case WM_SIZE:
      if (!isReport) {
        UpdateViewScroll(v);
        break;
      }
      // The report's sink replaces its control on each load: the child is looked up, not kept.
      if (HWND control = GetWindow(hwnd, GW_CHILD)) {
        MoveWindow(control, 0, 0, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)), TRUE);
      }
      return 0;
    case WM_PAINT: {
      if (isReport) break;
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      PaintView(v);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (isReport) break;
      ScrollView(v, msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wp));
      return 0;
    case WM_MOUSEWHEEL:
      if (isReport) break;
      for (int i = 0; i < 3; ++i) ScrollView(v, SB_VERT, GET_WHEEL_DELTA_WPARAM(wp) > 0 ? SB_LINEUP : SB_LINEDOWN);
      return 0;
    case WM_CLOSE:
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    case WM_DESTROY:
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND Program::CreateReportControl(HWND parent, int id, const char* text, bool plain) {
  if (plain) RegisterTextViewClass(instance_);
  HWND control = CreateWindowExA(0, plain ? kTextViewClass : "RichEdit20A", text, plain ? kWrappingStyle : kReportStyle, 0, 0, 0,
                                 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (!control) {
    boxes_.Show("リッチエディットの作成に失敗", "Error - T_RichEdit", BoxIcon::Error);
    return nullptr;
  }
  if (!plain) SetUpRichEdit(control);
  return GetDlgItem(parent, id);
}

void Program::PlacePendingViews() {
  if (!pendingSizes_) return;
  const ViewShifts shifts =
      FitLabels(ws_.Results(), [this](std::string_view text) { return viewCanvases_[kLegend]->TextWidth(text); });
  ViewSizes s = GrowViewSizes(*pendingSizes_, shifts, ws_.cases.NumCauses);
  pendingSizes_.reset();
  // The interval table's columns move right of its widest label: the window opens as wide as
  // its longest line, a vertical bar and its frame.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, kViewStyle, FALSE, 0);
  const auto widthFor = [&](HWND control) {
    return TextRight(control) + kTextMargin + GetSystemMetrics(SM_CXVSCROLL) + (frame.right - frame.left);
  };
  if (intervals_) s.intervalsWidth = std::max<int>(s.intervalsWidth, widthFor(intervals_->Control()));
  // The model's table likewise, as wide as its longest line.
  const int modelWidth = model_ ? std::max<int>(kViewClasses[kModel].width, widthFor(model_->Control())) : kViewClasses[kModel].width;

  std::array<SIZE, kViewCount> sizes{};
  sizes[kReport] = {s.reportWidth, s.reportHeight};
  sizes[kLegend] = {s.legendWidth, s.legendHeight};
  sizes[kLogRank] = {s.logRankWidth, s.logRankHeight};
  sizes[kWilcoxon] = {s.wilcoxonWidth, s.wilcoxonHeight};
  sizes[kCumulative] = {s.cumulativeWidth, s.cumulativeHeight};
  sizes[kByCause] = {s.byCauseWidth, s.byCauseHeight};
  sizes[kRate] = {s.survivalRateWidth, s.survivalRateHeight};
  sizes[kAtRisk] = {s.numberAtRiskWidth, s.numberAtRiskHeight};
  sizes[kIntervals] = {s.intervalsWidth, s.intervalsHeight};
  sizes[kPaper] = {s.paperWidth, s.paperHeight};
  sizes[kIncidence] = IncidenceViewSize(IncidenceViewClient(ws_.Results(), ws_.styles, ws_.geometry.xMax));
  sizes[kFigure] = FigureViewSize(figureMenu_);
  sizes[kModel] = {modelWidth, s.paperHeight};
  sizes[kForest] = IncidenceViewSize(ForestClient(ws_.Results()));
  for (int step = 0; step < kViewCount; ++step) {
    const View v = kCascadeOrder[step];
    const auto index = static_cast<std::size_t>(v);
    if (viewPlaced_[index]) {
      // Where the user left it, on the monitor where it is.
      RECT r{};
      GetWindowRect(view(v), &r);
      PlaceView(v, WorkAreaOf(view(v)), {r.left, r.top}, sizes[index], false);
    } else {
      PlaceView(v, WorkAreaOf(main_), CascadePoint(main_, step), sizes[index], true);
      viewPlaced_[index] = true;
    }
  }
}

void Program::PlaceView(View v, const RECT& work, POINT at, SIZE size, bool fromCascade) {
  HWND window = view(v);
  const auto index = static_cast<std::size_t>(v);
  const Span across = FitSpan(at.x, size.cx, work.left, work.right, fromCascade);
  const Span down = FitSpan(at.y, size.cy, work.top, work.bottom, fromCascade);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, kViewStyle, FALSE, 0);
  // The report windows' controls scroll by themselves; a painted view scrolls over the
  // client area it was sized for.
  if (Scrolls(v)) viewContent_[index] = {size.cx - (frame.right - frame.left), size.cy - (frame.bottom - frame.top)};
  viewScroll_[index] = {0, 0};
  // One move, straight to the final place, repainted: a view moved twice without a repaint
  // kept black where it had been covered or off the screen.
  SetWindowPos(window, nullptr, across.at, down.at, across.extent, down.extent, SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateViewScroll(v);
  if (IsWindowVisible(window)) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Program::FitAdjustedViews() {
  // The plot grows with the terms of the model, which a choice of covariates changes without a
  // load: the view takes the plot's new size where it stands, scrolling where the screen is smaller.
  RECT r{};
  GetWindowRect(view(kForest), &r);
  PlaceView(kForest, WorkAreaOf(view(kForest)), {r.left, r.top}, IncidenceViewSize(ForestClient(ws_.Results())), false);
  // The model's table likewise takes the width of its longest line, as at a load.
  if (!model_) return;
  RECT m{}, frame{0, 0, 0, 0};
  GetWindowRect(view(kModel), &m);
  AdjustWindowRectEx(&frame, kViewStyle, FALSE, 0);
  const int width = std::max<int>(kViewClasses[kModel].width, TextRight(model_->Control()) + kTextMargin +
                                                                  GetSystemMetrics(SM_CXVSCROLL) + (frame.right - frame.left));
  PlaceView(kModel, WorkAreaOf(view(kModel)), {m.left, m.top}, {width, m.bottom - m.top}, false);
}

void Program::UpdateViewScroll(View v) {
  const auto index = static_cast<std::size_t>(v);
  if (!Scrolls(v) || updatingScroll_) return;
  updatingScroll_ = true;
  HWND window = view(v);
  // The bars are chosen from the client area without them: read back from the window, a
  // client area narrowed by one bar kept the other even after a load made the view fit.
  RECT outer{}, frame{0, 0, 0, 0};
  GetWindowRect(window, &outer);
  AdjustWindowRectEx(&frame, kViewStyle, FALSE, 0);
  const LONG full[2] = {(outer.right - outer.left) - (frame.right - frame.left),
                        (outer.bottom - outer.top) - (frame.bottom - frame.top)};
  const LONG content[2] = {viewContent_[index].cx, viewContent_[index].cy};
  const LONG across = GetSystemMetrics(SM_CYHSCROLL), down = GetSystemMetrics(SM_CXVSCROLL);
  bool need[2] = {content[SB_HORZ] > full[SB_HORZ], content[SB_VERT] > full[SB_VERT]};
  if (need[SB_HORZ] && !need[SB_VERT]) need[SB_VERT] = content[SB_VERT] > full[SB_VERT] - across;
  if (need[SB_VERT] && !need[SB_HORZ]) need[SB_HORZ] = content[SB_HORZ] > full[SB_HORZ] - down;
  const LONG page[2] = {full[SB_HORZ] - (need[SB_VERT] ? down : 0), full[SB_VERT] - (need[SB_HORZ] ? across : 0)};
  LONG* pos[2] = {&viewScroll_[index].x, &viewScroll_[index].y};
  for (int bar : {SB_HORZ, SB_VERT}) {
    const LONG extent = std::max<LONG>(content[bar], 1);
    *pos[bar] = std::clamp<LONG>(*pos[bar], 0, std::max<LONG>(extent - page[bar], 0));
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = extent - 1;
    si.nPage = static_cast<UINT>(std::max<LONG>(page[bar], 0));
    si.nPos = *pos[bar];
    SetScrollInfo(window, bar, &si, TRUE);
  }
  updatingScroll_ = false;
  if (HDC dc = viewDCs_[index]) SetViewportOrgEx(dc, -viewScroll_[index].x, -viewScroll_[index].y, nullptr);
}

void Program::ScrollView(View v, int bar, int code) {
  const auto index = static_cast<std::size_t>(v);
  HWND window = view(v);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  if (!GetScrollInfo(window, bar, &si)) return;
  LONG& pos = bar == SB_HORZ ? viewScroll_[index].x : viewScroll_[index].y;
  const LONG page = static_cast<LONG>(si.nPage);
  switch (code) {
    case SB_LINEUP: pos -= kScrollLine; break;
    case SB_LINEDOWN: pos += kScrollLine; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
  }
  UpdateViewScroll(v);
  InvalidateRect(window, nullptr, TRUE);
}

void Program::ShowViewWindow(View v) {
  // A view buried under the others is what its menu item is chosen for most: it comes up, never
  // goes away (its close box hides it).
  HWND window = view(v);
  ShowWindow(window, SW_SHOWNORMAL);
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Program::KeepViewsAbove() {
  // The views are owned by the main window, which keeps them above it on Windows and under a
  // window manager. Wine without one (X11 "Managed" off) raises the X window of every window it
  // focuses above all others, and the next exposure makes that the order of the windows too:
  // a click on the main window buried every view. Each view shown is raised again, the lowest
  // first; Wine restacks an X window only when its window becomes the first, so a hidden view
  // goes first to make the highest one move as well.
  std::vector<HWND> shown;  // from the highest
  HWND hidden = nullptr;
  for (HWND w = GetWindow(main_, GW_HWNDFIRST); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    if (std::find(views_.begin(), views_.end(), w) == views_.end()) continue;
    if (IsWindowVisible(w)) {
      shown.push_back(w);
    } else {
      hidden = w;
    }
  }
  if (shown.empty()) return;
  constexpr UINT kRaise = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  if (hidden != nullptr) SetWindowPos(hidden, HWND_TOP, 0, 0, 0, 0, kRaise);
  for (auto it = shown.rbegin(); it != shown.rend(); ++it) SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, kRaise);
}

void Program::PaintView(View v) {
  Canvas* canvas = viewCanvases_[static_cast<std::size_t>(v)].get();
  switch (v) {
    case kLegend: DrawView(ws_, ViewOutput::Legend, canvas); break;
    case kCumulative: DrawView(ws_, ViewOutput::CumulativeDeaths, canvas); break;
    case kByCause: DrawView(ws_, ViewOutput::DeathsByCause, canvas); break;
    case kRate: DrawView(ws_, ViewOutput::SurvivalRate, canvas); break;
    case kAtRisk: DrawView(ws_, ViewOutput::NumberAtRisk, canvas); break;
    case kIncidence: DrawView(ws_, ViewOutput::Incidence, canvas); break;
    case kForest: DrawView(ws_, ViewOutput::Forest, canvas); break;
    default: break;
  }
}

}  // namespace orv::app
