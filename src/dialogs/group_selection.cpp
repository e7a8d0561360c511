// The group selection window "G_sentakuWnd": which groups' curves are drawn, and the way
// into the graph settings of one group's line.
#include "dialogs/setting_window.h"

#include "app/gdi_canvas.h"
#include "graph/plot_frame.h"
#include "session/commands.h"

namespace orv {

namespace {

constexpr int kFirstCheckBox = 9000;
constexpr int kRowPitch = 45;

constexpr int kLabelX = 120;

int GroupCount(const DialogContext& ctx) { return ctx.ws->cases.NumGroups; }

// The number of the group and its label, as the list shows them: " 2: " and the label.
std::string RowLabel(const Workspace& ws, int g) {
  return TwoColumnNumber(g) + ": " + ws.texts[static_cast<std::size_t>(g)][kLabel];
}

void Initialise(HWND window, ModalRun& run) {
  const DialogContext& ctx = *run.ctx;
  const int groups = GroupCount(ctx);
  HWND ok = CreateControl(window, "ＯＫ", BS_DEFPUSHBUTTON, 131, 532, 96, 34, kOkButton);
  SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(ctx.dialogFont), FALSE);
  HDC dc = KeepWindowDC(run);
  ListWindowLayout layout;
  for (int g = 0; g <= groups; ++g) {
    const auto gi = static_cast<std::size_t>(g);
    layout.labels.push_back(ctx.ws->cases.GroupNames[gi]);
    layout.labels.push_back(RowLabel(*ctx.ws, g));
  }
  layout.labelX = kLabelX;
  layout.lastRowTop = kRowPitch * groups + 20;
  layout.x = 650;
  layout.y = 50;
  layout.minWidth = 300;
  layout.minHeight = 40 * (groups + 5);
  layout.ok = ok;
  layout.okX = 70;
  layout.okY = 40 * (groups + 3);
  PlaceListWindow(window, dc, layout);
  FillClientWhite(window, dc);
  for (int g = 0; g <= groups; ++g) {
    HWND box = CreateControl(window, "", BS_AUTOCHECKBOX | BS_LEFTTEXT, 20, kRowPitch * g + 20, 12, 12,
                             kFirstCheckBox + g);
    // The boxes show the stored flags once, when the window opens; from then on they hold
    // the user's choice until OK, also across repaints and a graph settings run.
    SendMessageA(box, BM_SETCHECK, ctx.ws->shown.Contains(g) ? BST_CHECKED : BST_UNCHECKED, 0);
    const std::string& name = ctx.ws->cases.GroupNames[static_cast<std::size_t>(g)];
    TextOutA(dc, kLabelX, kRowPitch * g + 20, name.data(), static_cast<int>(name.size()));
  }
  // Tab goes through the boxes first, ＯＫ last.
  SetWindowPos(ok, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int BoxAt(HWND, ModalRun& run, POINT p) {
  if (run.dc == nullptr) return 0;
  for (int g = 0; g <= GroupCount(*run.ctx); ++g) {
    if (IsOnText(run.dc, p, kLabelX, kRowPitch * g + 20, RowLabel(*run.ctx->ws, g))) return kFirstCheckBox + g;
  }
  return 0;
}

void ApplyTicks(HWND window, DialogContext& ctx) {
  const int groups = GroupCount(ctx);
  for (int g = 0; g <= groups; ++g) ctx.shownTicks.Set(g, IsDlgButtonChecked(window, kFirstCheckBox + g) == BST_CHECKED);
}

void OnDoubleClick(HWND window, ModalRun& run, LPARAM lParam) {
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  const int groups = GroupCount(*run.ctx);
  if (x < 40 || x > 110 || y < 20 || y > kRowPitch * groups + 60) return;
  run.ctx->editedGroup = (y - 20) / kRowPitch;
  RunModalWindow(*run.ctx, window, "GP_Wnd");
  if (IsWindow(window)) PaintGroupList(window);
}

void OnCommand(HWND window, ModalRun& run, WPARAM wParam) {
  if (IsClickOf(wParam, kOkButton)) {
    ApplyTicks(window, *run.ctx);
    EndModalWindow(window, IDOK);
  }
}

void OnPaint(HWND window, ModalRun&) { PaintGroupList(window); }

}  // namespace

void PaintGroupList(HWND groupWindow) {
  ModalRun* run = RunOf(groupWindow);
  if (run == nullptr || run->dc == nullptr) return;
  const Workspace& ws = *run->ctx->ws;
  FillClientWhite(groupWindow, run->dc);
  app::GdiCanvas canvas(run->dc, groupWindow, nullptr);
  for (int g = 0; g <= ws.cases.NumGroups; ++g) {
    canvas.SelectPen(ws.styles[g].pen);
    DrawHBar(canvas, 40, kRowPitch * g + 28, 105, ws.styles[g].width);
    canvas.TextOut(kLabelX, kRowPitch * g + 20, RowLabel(ws, g));
  }
}

LRESULT CALLBACK GroupSelectionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr SettingWindowHandlers kHandlers{
      .initialise = Initialise, .paint = OnPaint, .command = OnCommand, .doubleClick = OnDoubleClick, .boxAt = BoxAt};
  return SettingWindowProc(window, message, wParam, lParam, kHandlers);
}

void ChooseGroups(DialogContext& ctx, bool bringMainToFront) {
  ctx.shownTicks = ctx.ws->shown;
  RunModalWindow(ctx, ctx.mainWindow, "G_sentakuWnd");
  // The program ended while the window ran: there is nothing left to redraw.
  if (!IsWindow(ctx.mainWindow)) return;
  SetShownGroups(*ctx.ws, *ctx.surfaces, ctx.shownTicks);
  if (bringMainToFront) {
    SetWindowPos(ctx.mainWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  }
}

}  // namespace orv
