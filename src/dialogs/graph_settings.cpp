// The graph settings window "GP_Wnd": line type, width and colour of one group's line.
#include "dialogs/setting_window.h"

#include <commdlg.h>

#include "app/gdi_canvas.h"
#include "graph/plot_frame.h"
#include "session/commands.h"
#include "text/number_text.h"

namespace orv {

namespace {

constexpr int kColourButton = 1001;
constexpr int kTypeBox = 1002;
constexpr int kWidthBox = 1003;
constexpr int kFirstTypeButton = 9100;   // + style 0..4
constexpr int kFirstWidthButton = 9150;  // + width 1..5

struct GraphSettingsState : SettingWindowState {
  Rgb editColour = kBlack;
  int editStyle = 0;
  int editWidth = 1;
  HWND typeBox = nullptr;
  HWND widthBox = nullptr;
};

GraphSettingsState& StateOf(ModalRun& run) { return static_cast<GraphSettingsState&>(*run.state); }

// The radio buttons belong to the group boxes, so the window learns of a click only by
// reading them. The last ticked one wins; none ticked keeps the value.
void ReadTicks(GraphSettingsState& state) {
  for (int i = 0; i <= 4; ++i) {
    if (IsDlgButtonChecked(state.typeBox, kFirstTypeButton + i) == BST_CHECKED) state.editStyle = i;
  }
  for (int i = 1; i <= 5; ++i) {
    if (IsDlgButtonChecked(state.widthBox, kFirstWidthButton + i) == BST_CHECKED) state.editWidth = i;
  }
}

// The group box's etched frame is two pixels wide.
constexpr int kFrameWidth = 2;

void FillPreviewArea(HWND box, HDC dc) {
  RECT r{};
  GetClientRect(box, &r);
  r.left = 55;
  r.top = 25;
  // Inside the frame: the previews are drawn also outside a paint of the box (after the colour
  // dialog), when the box would not draw its frame again over them.
  r.right -= kFrameWidth;
  r.bottom -= kFrameWidth;
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void DrawStylePreview(const ModalRun& run, const GraphSettingsState& state, Rgb colour, int width) {
  {
    HDC dc = GetDC(state.typeBox);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 255));
    FillPreviewArea(state.typeBox, dc);
    {
      app::GdiCanvas canvas(dc, state.typeBox, nullptr);
      for (int i = 0; i <= 4; ++i) {
        canvas.SelectPen(Pen{i, colour});
        DrawHBar(canvas, 60, 40 * i + 45, 120, width);
      }
    }
    ReleaseDC(state.typeBox, dc);
  }
  {
    // The width samples use the stored pen: a ticked type shows here only once stored.
    HDC dc = GetDC(state.widthBox);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 255));
    FillPreviewArea(state.widthBox, dc);
    {
      app::GdiCanvas canvas(dc, state.widthBox, nullptr);
      canvas.SelectPen(run.ctx->ws->styles[run.ctx->editedGroup].pen);
      for (int i = 1; i <= 5; ++i) DrawHBar(canvas, 60, 40 * i + 5, 120, i);
    }
    ReleaseDC(state.widthBox, dc);
  }
}

HWND CreateBoxWithFont(HWND window, const char* text, DWORD style, int x, int y, int w, int h, int id, HFONT font) {
  HWND control = CreateControl(window, text, style, x, y, w, h, id);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void Initialise(HWND window, ModalRun& run) {
  DialogContext& ctx = *run.ctx;
  run.state = std::make_unique<GraphSettingsState>();
  GraphSettingsState& state = StateOf(run);
  HWND ok = CreateBoxWithFont(window, "OK", BS_DEFPUSHBUTTON, 38, 250, 60, 22, kOkButton, ctx.dialogFont);
  HWND colour = CreateBoxWithFont(window, "色設定", BS_PUSHBUTTON, 196, 250, 60, 22, kColourButton, ctx.dialogFont);
  state.typeBox = CreateBoxWithFont(window, "線種", BS_GROUPBOX, 5, 5, 150, 230, kTypeBox, ctx.dialogFont);
  state.widthBox = CreateBoxWithFont(window, "太さ", BS_GROUPBOX, 160, 5, 150, 230, kWidthBox, ctx.dialogFont);
  // Tab goes through the type, the width, OK and 色設定, in the order they are read.
  for (HWND button : {ok, colour}) SetWindowPos(button, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  HDC dc = KeepWindowDC(run);
  MoveWindow(window, 300, 50, 330, 320, FALSE);
  const int g = ctx.editedGroup;
  const std::string title = FormatNumber(g) + ":" + ctx.ws->cases.GroupNames[static_cast<std::size_t>(g)];
  SetWindowTextA(window, title.c_str());
  FillClientWhite(window, dc);

  const LineStyle& record = ctx.ws->styles[g];
  state.editColour = record.colour;
  state.editStyle = record.style;
  state.editWidth = record.width;
  for (int i = 0; i <= 4; ++i) {
    HWND button = CreateControl(state.typeBox, FormatNumber(i).c_str(), BS_AUTORADIOBUTTON | BS_LEFTTEXT,
                                15, 40 * i + 35, 30, 23, kFirstTypeButton + i);
    if (i == record.style) SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0);
  }
  for (int i = 1; i <= 5; ++i) {
    HWND button = CreateControl(state.widthBox, FormatNumber(i).c_str(), BS_AUTORADIOBUTTON | BS_LEFTTEXT,
                                15, 40 * i - 5, 30, 23, kFirstWidthButton + i);
    if (i == record.width) SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0);
  }
  DrawStylePreview(run, state, state.editColour, record.width);
}

void ChooseColour(HWND window, ModalRun& run) {
  DialogContext& ctx = *run.ctx;
  GraphSettingsState& state = StateOf(run);
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  // Owned by this window, not by the group list behind it: the colour dialog enables its
  // owner again when it closes, and the group list must stay disabled while this runs.
  cc.hwndOwner = window;
  cc.rgbResult = ctx.ws->styles[ctx.editedGroup].colour;
  cc.lpCustColors = ctx.customColours;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorA(&cc)) return;
  if (!IsWindow(window)) return;
  state.editColour = cc.rgbResult;
  SetLineColour(ctx.ws->styles, ctx.editedGroup, state.editColour, state.editStyle);
  DrawStylePreview(run, state, state.editColour, state.editWidth);
  PaintGroupList(run.owner);
}

void StoreAndEnd(HWND window, ModalRun& run) {
  DialogContext& ctx = *run.ctx;
  GraphSettingsState& state = StateOf(run);
  ReadTicks(state);
  SetGroupLine(*ctx.ws, *ctx.surfaces, ctx.editedGroup, state.editStyle, state.editWidth, state.editColour);
  EndModalWindow(window, IDOK);
}

void Paint(HWND, ModalRun& run) {
  if (run.state == nullptr) return;
  GraphSettingsState& state = StateOf(run);
  ReadTicks(state);
  DrawStylePreview(run, state, state.editColour, state.editWidth);
}

void OnCommand(HWND window, ModalRun& run, WPARAM wParam) {
  if (run.state == nullptr) return;
  if (IsClickOf(wParam, kOkButton)) StoreAndEnd(window, run);
  else if (IsClickOf(wParam, kColourButton)) ChooseColour(window, run);
}

}  // namespace

LRESULT CALLBACK GraphSettingsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr SettingWindowHandlers kHandlers{.initialise = Initialise, .paint = Paint, .command = OnCommand};
  return SettingWindowProc(window, message, wParam, lParam, kHandlers);
}

}  // namespace orv
