// The figure settings window "Z_setteiWnd" of the figure window: the colours, the time axis,
// the bands, the censor marks and the Y range of the figure, for both figures alike.
#include <cstring>

#include "dialogs/setting_window.h"
#include "text/number_text.h"

namespace orv {

namespace {

// Ids of the controls, in the order Tab meets them.
constexpr int kFirstPalette = 9501;   // + FigurePalette
constexpr int kFirstTimeUnit = 9511;  // + FigureTimeUnit
constexpr int kBandsBox = 9521;
constexpr int kMarksBox = 9522;
constexpr int kRangeBox = 9523;
constexpr int kLowEdit = 9524;
constexpr int kHighEdit = 9525;

constexpr const char* kPaletteNames[] = {"プログラムの線の色", "Okabe-Ito（色覚に配慮した8色）", "黒（線種で区別）"};
constexpr const char* kTimeUnitNames[] = {"自動（3年未満は月、3年以上は年）", "月", "年"};
constexpr char kTitle[] = "図の設定";
constexpr char kRangeError[] = "縦軸の範囲は 0 以上 1 以下の数で、下限を上限より小さくしてください";

// Headings over the two groups of radio buttons and beside the edit boxes, as drawn.
struct Heading {
  int x, y;
  const char* text;
};
constexpr Heading kHeadings[] = {{12, 10, "線の色"}, {12, 120, "時間軸"}, {36, 302, "下限"}, {150, 302, "上限"}};
// The palette's radio buttons in the order shown: Okabe-Ito, the default, first.
constexpr FigurePalette kPaletteOrder[] = {FigurePalette::OkabeIto, FigurePalette::Program, FigurePalette::Grey};
constexpr FigureTimeUnit kTimeUnitOrder[] = {FigureTimeUnit::Auto, FigureTimeUnit::Months, FigureTimeUnit::Years};

HWND Edit(HWND window, const std::string& text, int x, int y, int id) {
  return CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, x, y, 70,
                         24, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)), nullptr);
}

void EnableRange(HWND window) {
  const bool on = IsDlgButtonChecked(window, kRangeBox) == BST_CHECKED;
  EnableWindow(GetDlgItem(window, kLowEdit), on);
  EnableWindow(GetDlgItem(window, kHighEdit), on);
}

void Initialise(HWND window, ModalRun& run) {
  const FigureSettings& s = run.ctx->figureTicks;
  std::vector<HWND> controls;
  for (int i = 0; i < 3; ++i) {
    const auto palette = static_cast<int>(kPaletteOrder[i]);
    HWND radio = CreateControl(window, kPaletteNames[palette], BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), 24, 34 + 25 * i,
                               320, 22, kFirstPalette + palette);
    SendMessageA(radio, BM_SETCHECK, kPaletteOrder[i] == s.palette ? BST_CHECKED : BST_UNCHECKED, 0);
    controls.push_back(radio);
  }
  for (int i = 0; i < 3; ++i) {
    const auto unit = static_cast<int>(kTimeUnitOrder[i]);
    HWND radio = CreateControl(window, kTimeUnitNames[unit], BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), 24, 144 + 25 * i, 320,
                               22, kFirstTimeUnit + unit);
    SendMessageA(radio, BM_SETCHECK, kTimeUnitOrder[i] == s.timeUnit ? BST_CHECKED : BST_UNCHECKED, 0);
    controls.push_back(radio);
  }
  const struct {
    const char* text;
    int id, y;
    bool ticked;
  } boxes[] = {{"95% 信頼区間の帯", kBandsBox, 228, s.bands},
               {"打ち切りの印", kMarksBox, 253, s.censorMarks},
               {"縦軸の範囲を指定する", kRangeBox, 278, s.yRange.has_value()}};
  for (const auto& b : boxes) {
    HWND box = CreateControl(window, b.text, BS_AUTOCHECKBOX | (b.id == kBandsBox ? WS_GROUP : 0), 12, b.y, 320, 22, b.id);
    SendMessageA(box, BM_SETCHECK, b.ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    controls.push_back(box);
  }
  // The range in force, or the survival figure's whole scale to start from.
  const FigureYRange range = s.yRange.value_or(FigureYRange{});
  controls.push_back(Edit(window, FormatNumber(range.low), 70, 300, kLowEdit));
  controls.push_back(Edit(window, FormatNumber(range.high), 184, 300, kHighEdit));
  HWND ok = CreateControl(window, "ＯＫ", BS_DEFPUSHBUTTON, 130, 345, 95, 30, kOkButton);
  controls.push_back(ok);
  for (HWND c : controls) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(run.ctx->dialogFont), FALSE);
  EnableRange(window);
  KeepWindowDC(run);
  SelectObject(run.dc, run.ctx->dialogFont);
}

void Paint(HWND window, ModalRun& run) {
  if (run.dc == nullptr) return;
  FillClientWhite(window, run.dc);
  for (const Heading& h : kHeadings) TextOutA(run.dc, h.x, h.y, h.text, static_cast<int>(std::strlen(h.text)));
}

std::string EditText(HWND window, int id) {
  char text[64] = {};
  GetDlgItemTextA(window, id, text, sizeof text);
  return text;
}

void OnCommand(HWND window, ModalRun& run, WPARAM wParam) {
  if (IsClickOf(wParam, kRangeBox)) EnableRange(window);
  if (!IsClickOf(wParam, kOkButton)) return;
  FigureSettings s = run.ctx->figureTicks;
  for (FigurePalette p : kPaletteOrder) {
    if (IsDlgButtonChecked(window, kFirstPalette + static_cast<int>(p)) == BST_CHECKED) s.palette = p;
  }
  for (FigureTimeUnit u : kTimeUnitOrder) {
    if (IsDlgButtonChecked(window, kFirstTimeUnit + static_cast<int>(u)) == BST_CHECKED) s.timeUnit = u;
  }
  s.bands = IsDlgButtonChecked(window, kBandsBox) == BST_CHECKED;
  s.censorMarks = IsDlgButtonChecked(window, kMarksBox) == BST_CHECKED;
  s.yRange.reset();
  if (IsDlgButtonChecked(window, kRangeBox) == BST_CHECKED) {
    s.yRange = ParseFigureYRange(EditText(window, kLowEdit) + "," + EditText(window, kHighEdit));
    if (!s.yRange) {
      // The window stays, the keyboard at the lower limit, for the user to mend.
      MessageBoxA(window, kRangeError, kTitle, MB_OK | MB_ICONEXCLAMATION);
      SetFocus(GetDlgItem(window, kLowEdit));
      SendDlgItemMessageA(window, kLowEdit, EM_SETSEL, 0, -1);
      return;
    }
  }
  run.ctx->figureTicks = s;
  EndModalWindow(window, IDOK);
}

}  // namespace

LRESULT CALLBACK FigureSettingsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr SettingWindowHandlers kHandlers{.initialise = Initialise, .paint = Paint, .command = OnCommand};
  return SettingWindowProc(window, message, wParam, lParam, kHandlers);
}

bool ChooseFigureSettings(DialogContext& ctx, HWND owner, FigureSettings& settings) {
  ctx.figureTicks = settings;
  if (RunModalWindow(ctx, owner, "Z_setteiWnd") != IDOK || ctx.figureTicks == settings) return false;
  settings = ctx.figureTicks;
  return true;
}

}  // namespace orv
