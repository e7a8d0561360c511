// The one modal mechanism of the setting windows: the window class, the nested message loop
// with the owner disabled, and the end of a run.
#include <algorithm>
#include <cstring>

#include "dialogs/setting_window.h"
#include "text/number_text.h"

namespace orv {

namespace {

// A close box (WS_SYSMENU) as every window of the platform has: it ends the run without applying.
constexpr DWORD kListStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;

struct WindowKind {
  const char* key;
  const char* title;
  DWORD style;
  int width;
  int height;
  WNDPROC procedure;
};

constexpr WindowKind kWindowKinds[] = {
    {"G_sentakuWnd", "グラフ：選択", kListStyle, 273, 609, GroupSelectionProc},
    {"U_checkWnd", "打ち切り症例の選択", kListStyle, 373, 720, CensoredCausesProc},
    {"GP_Wnd", "グラフ設定", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 320, 310, GraphSettingsProc},
    {"R_kijunWnd", "基準群の選択", kListStyle, 320, 400, ReferenceGroupProc},
    {"P_wordsWnd", "論文用の記述の設定", kListStyle, 420, 300, PaperWordsProc},
    {"Z_setteiWnd", "図の設定", WS_CAPTION | WS_SYSMENU, 380, 430, FigureSettingsProc},
    {"K_kyouhenWnd", "共変量・層別", kListStyle, 520, 400, CovariatesProc},
};

// The button Enter presses: a push button that has the keyboard, as in a dialog, else ＯＫ.
int DefaultButton(HWND window) {
  HWND focus = GetFocus();
  const bool pushButton =
      focus != nullptr && IsChild(window, focus) &&
      (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
  return pushButton ? GetDlgCtrlID(focus) : kOkButton;
}

const WindowKind* FindKind(const char* key) {
  if (key == nullptr) return nullptr;
  for (const WindowKind& kind : kWindowKinds) {
    if (std::strcmp(kind.key, key) == 0) return &kind;
  }
  return nullptr;
}

}  // namespace

void RegisterDialogClass(HINSTANCE instance, HBRUSH background) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProcA;  // each setting window installs its own procedure
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  wc.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = "NORMALDLG";
  RegisterClassExA(&wc);
}

ModalRun* RunOf(HWND window) { return reinterpret_cast<ModalRun*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

int RunModalWindow(DialogContext& ctx, HWND owner, const char* key) {
  const WindowKind* kind = FindKind(key);
  if (kind == nullptr) return 0;
  HWND window = CreateWindowExA(0, "NORMALDLG", kind->title, kind->style, CW_USEDEFAULT, CW_USEDEFAULT,
                                kind->width, kind->height, owner, nullptr, ctx.instance, nullptr);
  if (window == nullptr) return 0;

  ModalRun run;
  run.ctx = &ctx;
  run.owner = owner;
  run.window = window;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&run));
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(kind->procedure));
  SendMessageA(window, WM_INITDIALOG, 0, 0);

  ShowWindow(window, SW_SHOW);
  if (owner != nullptr) EnableWindow(owner, FALSE);
  // A window created visible was activated before its procedure was installed: the keyboard
  // goes to its first control here, as a dialog's does.
  if (!IsChild(window, GetFocus())) SetFocus(GetNextDlgTabItem(window, nullptr, FALSE));

  MSG msg{};
  int code = 0;
  for (;;) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      code = static_cast<int>(msg.wParam);
      // A quit that this run did not post belongs to an outer loop: the main window was
      // destroyed while this window ran. Hand it on so that the program still ends.
      if (!run.ended) PostQuitMessage(code);
      break;
    }
    if (IsDialogMessageA(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }

  if (!run.ended && IsWindow(window)) {
    // Ended from outside: nothing is applied.
    if (owner != nullptr) EnableWindow(owner, TRUE);
    DestroyWindow(window);
  }
  return code;
}

void EndModalWindow(HWND window, int code) {
  ModalRun* run = RunOf(window);
  if (run == nullptr || run->ended) return;
  run->ended = true;
  // The owner is enabled before the window goes, so that it takes the activation back.
  if (run->owner != nullptr) EnableWindow(run->owner, TRUE);
  DestroyWindow(window);
  PostQuitMessage(code);
}

LRESULT SettingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          const SettingWindowHandlers& handlers) {
  ModalRun* run = RunOf(window);
  if (run == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  // The platform's dialog keys (IsDialogMessageA in the run's loop) ask a setting window what a
  // dialog's own procedure would answer: the default button, the next control to focus.
  switch (message) {
    case DM_GETDEFID:
      return MAKELRESULT(DefaultButton(window), DC_HASDEFID);
    case WM_NEXTDLGCTL: {
      HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(window, GetFocus(), wParam != 0);
      if (next != nullptr) SetFocus(next);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (HWND focus = GetFocus(); focus != nullptr && IsChild(window, focus)) run->focus = focus;
      } else {
        HWND focus = run->focus != nullptr && IsWindow(run->focus) ? run->focus : GetNextDlgTabItem(window, nullptr, FALSE);
        SetFocus(focus != nullptr ? focus : window);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // A box's name is part of the box, as a labelled control's text is; the second click of a
      // double click is a click too.
      const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (const int box = handlers.boxAt != nullptr ? handlers.boxAt(window, *run, p) : 0) {
        SendMessageA(GetDlgItem(window, box), BM_CLICK, 0, 0);
        return 0;
      }
      if (message == WM_LBUTTONDOWN || handlers.doubleClick == nullptr) return DefWindowProcA(window, message, wParam, lParam);
      handlers.doubleClick(window, *run, lParam);
      return 0;
    }
    case WM_INITDIALOG:
      if (handlers.initialise != nullptr) handlers.initialise(window, *run);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(window, &ps);
      if (handlers.paint != nullptr) handlers.paint(window, *run);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_COMMAND:
      // Esc, as the dialog keys deliver it: a close.
      if (wParam == IDCANCEL) {
        EndModalWindow(window, IDCANCEL);
      } else if (handlers.command != nullptr) {
        handlers.command(window, *run, wParam);
      }
      return 0;
    case WM_CLOSE:
      EndModalWindow(window, IDCANCEL);
      return 0;
    case WM_DESTROY:
      ReleaseWindowDC(*run);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

HDC KeepWindowDC(ModalRun& run) {
  run.dc = GetDC(run.window);
  SetBkMode(run.dc, OPAQUE);
  SetBkColor(run.dc, RGB(255, 255, 255));
  SetTextColor(run.dc, RGB(0, 0, 0));
  return run.dc;
}

void ReleaseWindowDC(ModalRun& run) {
  if (run.dc != nullptr) ReleaseDC(run.window, run.dc);
  run.dc = nullptr;
}

HWND CreateControl(HWND parent, const char* text, DWORD style, int x, int y, int w, int h, int id) {
  // Tab stops at the push and check boxes; a radio button is one while it is ticked (the
  // button control sees to it), so that Tab meets a group of them at its choice.
  const DWORD type = style & BS_TYPEMASK;
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_AUTOCHECKBOX) style |= WS_TABSTOP;
  // A group box holds radio buttons: Tab and the arrows go in among them.
  const DWORD exStyle = type == BS_GROUPBOX ? WS_EX_CONTROLPARENT : 0;
  return CreateWindowExA(exStyle, "BUTTON", text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
}

bool IsOnText(HDC dc, POINT p, int x, int y, std::string_view text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return p.x >= x && p.x < x + size.cx && p.y >= y && p.y < y + size.cy;
}

void FillClientWhite(HWND window, HDC dc) {
  RECT r{};
  GetClientRect(window, &r);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void PlaceListWindow(HWND window, HDC dc, const ListWindowLayout& layout) {
  constexpr int kMargin = 4, kGap = 10, kOkWidth = 70, kOkHeight = 25;
  int widest = 0;
  for (const std::string& label : layout.labels) {
    // Blanks at the end of a label show nothing.
    const std::size_t shown = label.find_last_not_of(' ') + 1;
    SIZE size{};
    GetTextExtentPoint32A(dc, label.data(), static_cast<int>(shown), &size);
    widest = std::max<int>(widest, size.cx);
  }
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const int rowBottom = layout.lastRowTop + tm.tmHeight;
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
  const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;

  const int width = std::max(layout.minWidth, layout.labelX + widest + kMargin + frameWidth);
  int okY = std::max(layout.okY, rowBottom + kGap);
  int height = std::max(layout.minHeight, okY + kOkHeight + kMargin + frameHeight);
  MoveWindow(window, layout.x, layout.y, width, height, FALSE);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &mi);
  const RECT& work = mi.rcWork;
  if (height > work.bottom - work.top) {
    okY = rowBottom + kGap;
    height = std::max<int>(okY + kOkHeight + kMargin + frameHeight, work.bottom - work.top);
  }
  MoveWindow(window, std::clamp<int>(layout.x, work.left, std::max<int>(work.left, work.right - width)),
             std::clamp<int>(layout.y, work.top, std::max<int>(work.top, work.bottom - height)), width, height, FALSE);
  MoveWindow(layout.ok, layout.okX, okY, kOkWidth, kOkHeight, TRUE);
}

std::string TwoColumnNumber(int value) {
  std::string text = "  " + FormatNumber(value);
  return text.substr(text.size() - 2);
}

}  // namespace orv
