// The seven view windows: four painted tables and three report controls.
#include "app/program.h"

#include "app/app_ids.h"
#include "graph/tables.h"
#include "stats/survival_rate_view.h"

namespace orv::app {

namespace {

constexpr DWORD kViewStyle = 0x00CC0000;
constexpr DWORD kReportStyle = 0x50B000C4;
constexpr char kReportInitial[] = "読み込みデータ\r\n";

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
};

struct Creation {
  Program* program;
  View view;
};

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
    CreateWindowExA(0, vc.className, vc.caption, kViewStyle, CW_USEDEFAULT, CW_USEDEFAULT, vc.width, 360, nullptr,
                    nullptr, instance_, &creation);
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
  const auto index = static_cast<std::size_t>(v);
  const bool isReport = v == kReport || v == kLogRank || v == kWilcoxon;
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
      } else if (v == kReport) {
        HWND control = CreateReportControl(hwnd, kReportControlId, kReportInitial);
        if (control) {
          // The caret stands at 0 after creation, so this second line goes above the first.
          SendMessageA(control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(kReportInitial));
          report_ = std::make_unique<RichEditReport>(control, std::string(kReportInitial) + kReportInitial);
          surfaces_.report = report_.get();
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
      if (!isReport) break;
      // The report's sink replaces its control on each load: the child is looked up, not kept.
      if (HWND control = GetWindow(hwnd, GW_CHILD)) {
        MoveWindow(control, 0, 0, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)), FALSE);
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

HWND Program::CreateReportControl(HWND parent, int id, const char* text) {
  HWND control = CreateWindowExA(0, "RichEdit20A", text, kReportStyle, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (!control) {
    MessageBoxA(main_, "リッチエディットの作成に失敗", "Error - T_RichEdit", MB_OK | MB_ICONERROR);
    return nullptr;
  }
  // Without a raised limit a control takes 32,767 characters, and a large file's report
  // would be cut off.
  SendMessageA(control, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  CHARFORMATA cf = ReportCharFormat();
  SendMessageA(control, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  return GetDlgItem(parent, id);
}

void Program::ToggleViewWindow(View v) {
  HWND window = view(v);
  if (IsWindowVisible(window)) {
    ShowWindow(window, SW_HIDE);
    InvalidateRect(main_, nullptr, TRUE);
  } else {
    ShowWindow(window, SW_SHOWNORMAL);
  }
}

void Program::PaintView(View v) {
  Canvas* canvas = viewCanvases_[static_cast<std::size_t>(v)].get();
  switch (v) {
    case kLegend: DrawLegend(ws_, canvas); break;
    case kCumulative: DrawCumulativeDeaths(ws_, canvas); break;
    case kByCause: DrawDeathsByCause(ws_, canvas); break;
    case kRate: DrawSurvivalRateView(ws_, canvas); break;
    default: break;
  }
}

}  // namespace orv::app
