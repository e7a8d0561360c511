// The window "論文用の記述の設定" ("P_wordsWnd"): the time unit of the paragraphs for the paper
// and the English labels of the groups and causes, which the English paragraph, the figure and
// the CSV tables use; one edit box per group and per cause, the file's name beside it.
#include <algorithm>
#include <cstring>

#include "dialogs/setting_window.h"
#include "session/commands.h"
#include "text/cp932.h"

namespace orv {

namespace {

constexpr int kFirstUnit = 9501;          // + 0 months, 1 weeks, 2 years
constexpr int kFirstGroupEdit = 9510;     // + group
constexpr int kFirstCauseEdit = 9540;     // + cause
constexpr int kMargin = 10, kNameRoom = 200, kEditWidth = 180, kEditHeight = 22, kRowPitch = 28;
constexpr int kUnitTop = 14, kUnitX = 100, kHeadingTop = 52, kFirstRowTop = 76;
constexpr int kLabelLimit = 100;  // bytes of a label
constexpr const char* kNote = "空欄の名前はファイルのまま。英語の記述、論文用の図、CSVの表に使います";

constexpr TimeUnit kUnits[] = {TimeUnit::Months, TimeUnit::Weeks, TimeUnit::Years};
constexpr const char* kUnitNames[] = {"月", "週", "年"};
constexpr int kUnitPitch = 60, kUnitNameGap = 18;

int LastCause(const CaseData& cases) { return std::clamp(cases.NumCauses, 0, kOverflowIndex); }

struct PaperWordsState : SettingWindowState {
  int nameWidth = 0;  // of the names drawn, at most kNameRoom
  int causeX = 0;     // left of the cause column; 0: no cause
};

PaperWordsState& StateOf(ModalRun& run) { return static_cast<PaperWordsState&>(*run.state); }

std::string GroupRowName(const CaseData& cases, int g) { return TwoColumnNumber(g) + ": " + cases.GroupNames[static_cast<std::size_t>(g)]; }
std::string CauseRowName(const CaseData& cases, int j) { return TwoColumnNumber(j) + ": " + cases.CauseNames[static_cast<std::size_t>(j)]; }

HWND CreateEdit(HWND window, HFONT font, const std::string& utf8, int x, int y, int id) {
  HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", Utf8ToCp932(utf8).bytes.c_str(),
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, x, y, kEditWidth, kEditHeight, window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)), nullptr);
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(edit, EM_LIMITTEXT, kLabelLimit, 0);
  return edit;
}

// The label typed, without blanks at its ends (a label of blanks is none), as UTF-8.
std::string EditLabel(HWND window, int id) {
  char text[kLabelLimit + 1] = {};
  GetDlgItemTextA(window, id, text, sizeof text);
  std::string label = text;
  const std::size_t first = label.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  label = label.substr(first, label.find_last_not_of(' ') - first + 1);
  return Cp932ToUtf8(label);
}

void DrawName(HDC dc, const std::string& name, int x, int y, int width) {
  RECT r{x, y, x + width, y + kEditHeight};
  DrawTextA(dc, name.data(), static_cast<int>(name.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void Initialise(HWND window, ModalRun& run) {
  const DialogContext& ctx = *run.ctx;
  const Workspace& ws = *ctx.ws;
  run.state = std::make_unique<PaperWordsState>();
  PaperWordsState& state = StateOf(run);
  HDC dc = KeepWindowDC(run);
  SelectObject(dc, ctx.dialogFont);

  const int groups = LastGroup(ws.cases), causes = LastCause(ws.cases);
  const auto widest = [&](auto name, int n) {
    int w = 0;
    for (int i = 1; i <= n; ++i) {
      const std::string text = name(ws.cases, i);
      SIZE size{};
      GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
      w = std::max<int>(w, size.cx);
    }
    return w;
  };
  state.nameWidth = std::min(kNameRoom, std::max(widest(GroupRowName, groups), widest(CauseRowName, causes)));
  const int columnWidth = state.nameWidth + 8 + kEditWidth;
  state.causeX = causes > 0 ? kMargin + columnWidth + 2 * kMargin : 0;

  // Tab goes through the unit, the groups' labels, the causes' and ＯＫ, in the order created. The
  // unit's buttons stand on the window itself: a group box would be left unpainted by a window
  // that clips its children.
  for (int i = 0; i < 3; ++i) {
    // The names are drawn beside the buttons, as in the other setting windows, on white.
    HWND radio = CreateControl(window, "", BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), kUnitX + kUnitPitch * i, kUnitTop + 1,
                               14, 14, kFirstUnit + i);
    SendMessageA(radio, BM_SETCHECK, kUnits[i] == ws.timeUnit ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  const int editX = kMargin + state.nameWidth + 8;
  for (int g = 1; g <= groups; ++g) {
    CreateEdit(window, ctx.dialogFont, ws.groupLabels[static_cast<std::size_t>(g)], editX, kFirstRowTop + kRowPitch * (g - 1), kFirstGroupEdit + g);
  }
  for (int j = 1; j <= causes; ++j) {
    CreateEdit(window, ctx.dialogFont, ws.causeLabels[static_cast<std::size_t>(j)], state.causeX + state.nameWidth + 8,
               kFirstRowTop + kRowPitch * (j - 1), kFirstCauseEdit + j);
  }
  HWND ok = CreateControl(window, "ＯＫ", BS_DEFPUSHBUTTON, 0, 0, 70, 25, kOkButton);
  SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(ctx.dialogFont), FALSE);

  const int rows = std::max({groups, causes, 1});
  ListWindowLayout layout;
  layout.labels = {kNote};
  layout.labelX = kMargin;
  layout.lastRowTop = kFirstRowTop + kRowPitch * rows;
  layout.x = 200;
  layout.y = 60;
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE, 0);
  layout.minWidth = (state.causeX > 0 ? state.causeX + columnWidth : kMargin + columnWidth) + kMargin + frame.right - frame.left;
  layout.minHeight = 0;
  layout.ok = ok;
  layout.okX = kMargin;
  layout.okY = layout.lastRowTop + 30;
  PlaceListWindow(window, dc, layout);
}

void Paint(HWND window, ModalRun& run) {
  if (run.dc == nullptr || run.state == nullptr) return;
  const Workspace& ws = *run.ctx->ws;
  const PaperWordsState& state = StateOf(run);
  FillClientWhite(window, run.dc);
  SelectObject(run.dc, run.ctx->dialogFont);
  const auto line = [&](const char* text, int x, int y) { TextOutA(run.dc, x, y, text, static_cast<int>(std::strlen(text))); };
  line("時間の単位", kMargin, kUnitTop);
  for (int i = 0; i < 3; ++i) line(kUnitNames[i], kUnitX + kUnitPitch * i + kUnitNameGap, kUnitTop);
  line("群の英語名", kMargin, kHeadingTop);
  if (state.causeX > 0) line("死因の英語名", state.causeX, kHeadingTop);
  for (int g = 1; g <= LastGroup(ws.cases); ++g) {
    DrawName(run.dc, GroupRowName(ws.cases, g), kMargin, kFirstRowTop + kRowPitch * (g - 1), state.nameWidth);
  }
  for (int j = 1; j <= LastCause(ws.cases); ++j) {
    DrawName(run.dc, CauseRowName(ws.cases, j), state.causeX, kFirstRowTop + kRowPitch * (j - 1), state.nameWidth);
  }
  const int rows = std::max({LastGroup(ws.cases), LastCause(ws.cases), 1});
  line(kNote, kMargin, kFirstRowTop + kRowPitch * rows);
}

int BoxAt(HWND, ModalRun& run, POINT p) {
  if (run.dc == nullptr) return 0;
  for (int i = 0; i < 3; ++i) {
    if (IsOnText(run.dc, p, kUnitX + kUnitPitch * i + kUnitNameGap, kUnitTop, kUnitNames[i])) return kFirstUnit + i;
  }
  return 0;
}

void OnCommand(HWND window, ModalRun& run, WPARAM wParam) {
  if (!IsClickOf(wParam, kOkButton) || run.state == nullptr) return;
  DialogContext& ctx = *run.ctx;
  Workspace& ws = *ctx.ws;
  // Gathered by the names of the file, as the workspace's own choices are read.
  PaperChoices choices{.unit = ws.timeUnit};
  for (int i = 0; i < 3; ++i) {
    if (IsDlgButtonChecked(window, kFirstUnit + i) == BST_CHECKED) choices.unit = kUnits[i];
  }
  for (int g = 1; g <= LastGroup(ws.cases); ++g) {
    if (std::string label = EditLabel(window, kFirstGroupEdit + g); !label.empty()) {
      choices.groups.emplace_back(ws.cases.GroupNames[static_cast<std::size_t>(g)], std::move(label));
    }
  }
  for (int j = 1; j <= LastCause(ws.cases); ++j) {
    if (std::string label = EditLabel(window, kFirstCauseEdit + j); !label.empty()) {
      choices.causes.emplace_back(ws.cases.CauseNames[static_cast<std::size_t>(j)], std::move(label));
    }
  }
  ctx.paperChanged = !(choices == PaperChoicesOf(ws));
  if (ctx.paperChanged) SetPaperChoices(ws, *ctx.surfaces, choices);
  EndModalWindow(window, IDOK);
}

}  // namespace

LRESULT CALLBACK PaperWordsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr SettingWindowHandlers kHandlers{.initialise = Initialise, .paint = Paint, .command = OnCommand, .boxAt = BoxAt};
  return SettingWindowProc(window, message, wParam, lParam, kHandlers);
}

bool ChoosePaperWords(DialogContext& ctx) {
  ctx.paperChanged = false;
  if (ctx.ws->cases.NumGroups == 0) return false;
  if (RunModalWindow(ctx, ctx.mainWindow, "P_wordsWnd") != IDOK || !IsWindow(ctx.mainWindow)) return false;
  return ctx.paperChanged;
}

}  // namespace orv
