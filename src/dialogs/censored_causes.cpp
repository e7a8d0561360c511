// The censored-case selection window "U_checkWnd": which causes of death count as censored,
// and the reload of the shown file when that choice changed.
#include "dialogs/setting_window.h"
#include "session/analysis.h"
#include "session/commands.h"
#include "text/number_text.h"

namespace orv {

namespace {

constexpr int kFirstCheckBox = 9200;
constexpr int kRowPitch = 40;
constexpr int kLabelX = 40;

// The cause and its number of deaths, as its row shows them.
std::string RowLabel(const CaseData& cases, int j) {
  const auto cause = static_cast<std::size_t>(j);
  return cases.CauseNames[cause] + " ( " + FormatNumber(static_cast<double>(cases.DeathsByCause[0][cause])) + " )";
}

void Initialise(HWND window, ModalRun& run) {
  const DialogContext& ctx = *run.ctx;
  const CaseData& cases = ctx.ws->cases;
  HWND ok = CreateControl(window, "ＯＫ", BS_DEFPUSHBUTTON, 133, 643, 95, 34, kOkButton);
  SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(ctx.dialogFont), FALSE);
  HDC dc = KeepWindowDC(run);
  ListWindowLayout layout;
  for (int j = 0; j <= cases.NumCauses; ++j) layout.labels.push_back(RowLabel(cases, j));
  layout.labelX = kLabelX;
  layout.lastRowTop = kRowPitch * cases.NumCauses + 20;
  layout.x = 650;
  layout.y = 50;
  layout.minWidth = 300;
  layout.minHeight = kRowPitch * (cases.NumCauses + 5);
  layout.ok = ok;
  layout.okX = 50;
  layout.okY = kRowPitch * (cases.NumCauses + 3);
  PlaceListWindow(window, dc, layout);
  for (int j = 1; j <= cases.NumCauses; ++j) {
    HWND box = CreateControl(window, "", BS_AUTOCHECKBOX | BS_LEFTTEXT, 8, kRowPitch * j + 20, 14, 14,
                             kFirstCheckBox + j);
    // Set once: a repaint must not undo what the user ticked before pressing OK.
    SendMessageA(box, BM_SETCHECK, cases.CauseCensored[static_cast<std::size_t>(j)] == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  SetWindowPos(ok, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // last for Tab
}

int BoxAt(HWND, ModalRun& run, POINT p) {
  if (run.dc == nullptr) return 0;
  const CaseData& cases = run.ctx->ws->cases;
  // Row 0, the cases alive, has no box.
  for (int j = 1; j <= cases.NumCauses; ++j) {
    if (IsOnText(run.dc, p, kLabelX, kRowPitch * j + 20, RowLabel(cases, j))) return kFirstCheckBox + j;
  }
  return 0;
}

void Paint(HWND window, ModalRun& run) {
  if (run.dc == nullptr) return;
  const CaseData& cases = run.ctx->ws->cases;
  FillClientWhite(window, run.dc);
  for (int j = 0; j <= cases.NumCauses; ++j) {
    const std::string text = RowLabel(cases, j);
    TextOutA(run.dc, kLabelX, kRowPitch * j + 20, text.data(), static_cast<int>(text.size()));
  }
}

void ApplyTicks(HWND window, DialogContext& ctx) {
  for (int j = 1; j <= ctx.ws->cases.NumCauses; ++j) {
    ctx.censoredTicks[static_cast<std::size_t>(j)] = IsDlgButtonChecked(window, kFirstCheckBox + j) == BST_CHECKED ? 1 : 0;
  }
}

void OnCommand(HWND window, ModalRun& run, WPARAM wParam) {
  if (IsClickOf(wParam, kOkButton)) {
    ApplyTicks(window, *run.ctx);
    EndModalWindow(window, IDOK);
  }
}

}  // namespace

LRESULT CALLBACK CensoredCausesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr SettingWindowHandlers kHandlers{.initialise = Initialise, .paint = Paint, .command = OnCommand, .boxAt = BoxAt};
  return SettingWindowProc(window, message, wParam, lParam, kHandlers);
}

void ChooseCensoredCauses(DialogContext& ctx) {
  ctx.censoredTicks = ctx.ws->cases.CauseCensored;
  RunModalWindow(ctx, ctx.mainWindow, "U_checkWnd");
  if (!IsWindow(ctx.mainWindow)) return;

  // Loaded again is the file whose tables are shown, never a path that was chosen but failed
  // its check. The file's warnings (a period capped at 40 years, a file too large) were shown
  // by its load; the reload repeats none of them.
  Surfaces quiet = *ctx.surfaces;
  quiet.boxes = nullptr;
  CensorAndReload(*ctx.ws, quiet, ctx.censoredTicks, ctx.shownPath != nullptr ? *ctx.shownPath : std::string());
}

}  // namespace orv
