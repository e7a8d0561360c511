// The reference group window "R_kijunWnd": which group the hazard ratios of the interval window
// are taken against, one radio button per group, the current reference chosen.
#include "dialogs/setting_window.h"
#include "session/commands.h"

namespace orv {

namespace {

constexpr int kFirstRadio = 9400;
constexpr int kRowPitch = 40;
constexpr int kLabelX = 40;

std::string RowLabel(const Workspace& ws, int g) {
  return TwoColumnNumber(g) + ": " + ws.cases.GroupNames[static_cast<std::size_t>(g)] +
         (ws.shown.Contains(g) ? "" : "（非表示）");
}

void Initialise(HWND window, ModalRun& run) {
  const DialogContext& ctx = *run.ctx;
  const Workspace& ws = *ctx.ws;
  const int groups = ws.cases.NumGroups;
  HWND ok = CreateControl(window, "ＯＫ", BS_DEFPUSHBUTTON, 100, 300, 95, 34, kOkButton);
  SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(ctx.dialogFont), FALSE);
  HDC dc = KeepWindowDC(run);
  ListWindowLayout layout;
  for (int g = 1; g <= groups; ++g) layout.labels.push_back(RowLabel(ws, g));
  layout.labelX = kLabelX;
  layout.lastRowTop = kRowPitch * (groups - 1) + 20;
  layout.x = 650;
  layout.y = 50;
  layout.minWidth = 300;
  layout.minHeight = kRowPitch * (groups + 4);
  layout.ok = ok;
  layout.okX = 50;
  layout.okY = kRowPitch * (groups + 1);
  PlaceListWindow(window, dc, layout);
  for (int g = 1; g <= groups; ++g) {
    // One group of radio buttons: a click on one clears the others.
    HWND radio = CreateControl(window, "", BS_AUTORADIOBUTTON | (g == 1 ? WS_GROUP : 0), 12,
                               kRowPitch * (g - 1) + 20, 14, 14, kFirstRadio + g);
    SendMessageA(radio, BM_SETCHECK, g == ctx.referenceTick ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  SetWindowPos(ok, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // last for Tab
}

int BoxAt(HWND, ModalRun& run, POINT p) {
  if (run.dc == nullptr) return 0;
  const Workspace& ws = *run.ctx->ws;
  for (int g = 1; g <= ws.cases.NumGroups; ++g) {
    if (IsOnText(run.dc, p, kLabelX, kRowPitch * (g - 1) + 20, RowLabel(ws, g))) return kFirstRadio + g;
  }
  return 0;
}

void Paint(HWND window, ModalRun& run) {
  if (run.dc == nullptr) return;
  const Workspace& ws = *run.ctx->ws;
  FillClientWhite(window, run.dc);
  for (int g = 1; g <= ws.cases.NumGroups; ++g) {
    const std::string text = RowLabel(ws, g);
    TextOutA(run.dc, kLabelX, kRowPitch * (g - 1) + 20, text.data(), static_cast<int>(text.size()));
  }
}

void OnCommand(HWND window, ModalRun& run, WPARAM wParam) {
  if (!IsClickOf(wParam, kOkButton)) return;
  for (int g = 1; g <= run.ctx->ws->cases.NumGroups; ++g) {
    if (IsDlgButtonChecked(window, kFirstRadio + g) == BST_CHECKED) run.ctx->referenceTick = g;
  }
  EndModalWindow(window, IDOK);
}

}  // namespace

LRESULT CALLBACK ReferenceGroupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr SettingWindowHandlers kHandlers{.initialise = Initialise, .paint = Paint, .command = OnCommand, .boxAt = BoxAt};
  return SettingWindowProc(window, message, wParam, lParam, kHandlers);
}

void ChooseReferenceGroup(DialogContext& ctx) {
  if (ctx.ws->cases.NumGroups == 0) return;
  // The reference in force is ticked: the user's choice, or the group standing in for it.
  ctx.referenceTick = ctx.ws->run.reviewer.reference;
  if (RunModalWindow(ctx, ctx.mainWindow, "R_kijunWnd") != IDOK || !IsWindow(ctx.mainWindow)) return;
  if (ctx.referenceTick != ctx.ws->run.reviewer.reference) SetReferenceGroup(*ctx.ws, *ctx.surfaces, ctx.referenceTick);
}

}  // namespace orv
