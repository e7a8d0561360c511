// The covariate window "K_kyouhenWnd": which covariate columns of the data file the group model
// adjusts for, the reference level of each categorical one, the strata and the subgroup column.
#include <algorithm>

#include "app/settings.h"
#include "dialogs/setting_window.h"
#include "session/commands.h"
#include "text/number_text.h"

namespace orv {

namespace {

constexpr int kFirstBox = 9600;
constexpr int kFirstLevelList = 9700;
constexpr int kStrataList = 9690;
constexpr int kSubgroupList = 9691;
constexpr int kRowPitch = 30;
constexpr int kDenseRowPitch = 24;  // past 20 columns, so that 30 of them and ＯＫ fit 1024 pixels
constexpr int kTop = 36;  // the first row, under the headings
constexpr int kLabelX = 36;
constexpr int kListWidth = 160;
constexpr int kListDrop = 220;  // a drop-down list's height with its list open
constexpr char kNoColumns[] = "このファイルには共変量の列がありません";
constexpr char kWhereColumnsAre[] = "共変量は各行の5列目より後の列です";
constexpr char kStrataLabel[] = "層別:";
constexpr char kSubgroupLabel[] = "サブグループ:";
constexpr char kNone[] = "なし";

const Covariates& CovariatesOf(const ModalRun& run) { return run.ctx->ws->cases.covariates; }
int ColumnCount(const ModalRun& run) { return static_cast<int>(CovariatesOf(run).columns.size()); }
int RowTop(const ModalRun& run, int i) { return kTop + (ColumnCount(run) > 20 ? kDenseRowPitch : kRowPitch) * i; }

// "年齢（連続、欠測 2）", "病期（カテゴリ 3 水準、欠測 0）".
std::string RowLabel(const CovariateColumn& column) {
  const std::string kind = column.type == CovariateType::Continuous
                               ? std::string("連続")
                               : "カテゴリ " + FormatNumber(static_cast<double>(column.levels.size())) + " 水準";
  return column.name + "（" + kind + "、欠測 " + FormatNumber(static_cast<double>(column.missing)) + "）";
}

int TextWidth(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// The lists stand right of the widest label, the strata's and subgroup's labels included.
int ListX(const ModalRun& run) {
  int widest = std::max(TextWidth(run.dc, kStrataLabel), TextWidth(run.dc, kSubgroupLabel)) - kLabelX + 12;
  for (const CovariateColumn& column : CovariatesOf(run).columns) widest = std::max(widest, TextWidth(run.dc, RowLabel(column)));
  return kLabelX + widest + 16;
}

HWND CreateList(HWND window, const ModalRun& run, int x, int y, int id) {
  HWND list = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, x, y,
                              kListWidth, kListDrop, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)), nullptr);
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(run.ctx->dialogFont), FALSE);
  return list;
}

void AddItem(HWND list, const std::string& text, int data) {
  const LRESULT at = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(at), data);
}

// "なし" and every categorical column, the column chosen (or "なし") selected.
void FillColumnChoice(HWND list, const Covariates& covariates, int chosen) {
  AddItem(list, kNone, -1);
  SendMessageA(list, CB_SETCURSEL, 0, 0);
  for (std::size_t c = 0; c < covariates.columns.size(); ++c) {
    if (covariates.columns[c].type != CovariateType::Categorical) continue;
    AddItem(list, covariates.columns[c].name, static_cast<int>(c));
    if (static_cast<int>(c) == chosen) SendMessageA(list, CB_SETCURSEL, SendMessageA(list, CB_GETCOUNT, 0, 0) - 1, 0);
  }
}

int ChosenColumn(HWND window, int id) {
  HWND list = GetDlgItem(window, id);
  const LRESULT at = SendMessageA(list, CB_GETCURSEL, 0, 0);
  return at == CB_ERR ? -1 : static_cast<int>(SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

void Initialise(HWND window, ModalRun& run) {
  const DialogContext& ctx = *run.ctx;
  const Covariates& covariates = CovariatesOf(run);
  const ModelRequest& asked = ctx.modelTick;
  HDC dc = KeepWindowDC(run);
  const int columns = ColumnCount(run);
  const int listX = ListX(run);
  int bottom = 0;
  if (columns == 0) {
    bottom = RowTop(run, 2);
  } else {
    for (int i = 0; i < columns; ++i) {
      const CovariateColumn& column = covariates.columns[static_cast<std::size_t>(i)];
      HWND box = CreateControl(window, "", BS_AUTOCHECKBOX, 12, RowTop(run, i) + 1, 14, 14, kFirstBox + i);
      const auto choice = std::find_if(asked.covariates.begin(), asked.covariates.end(),
                                       [&](const CoxCovariateChoice& c) { return c.column == i; });
      SendMessageA(box, BM_SETCHECK, choice != asked.covariates.end() ? BST_CHECKED : BST_UNCHECKED, 0);
      if (column.type != CovariateType::Categorical) continue;
      HWND list = CreateList(window, run, listX, RowTop(run, i) - 3, kFirstLevelList + i);
      for (const std::string& level : column.levels) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(level.c_str()));
      const int reference = choice != asked.covariates.end() ? choice->referenceLevel : 0;
      SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(std::max(reference, 0)), 0);
    }
    FillColumnChoice(CreateList(window, run, listX, RowTop(run, columns) + 7, kStrataList), covariates, asked.strata);
    FillColumnChoice(CreateList(window, run, listX, RowTop(run, columns + 1) + 7, kSubgroupList), covariates, asked.subgroup);
    bottom = RowTop(run, columns + 2) + 10;
  }
  // Created last: Tab goes through the boxes and lists first, ＯＫ last.
  HWND ok = CreateControl(window, "ＯＫ", BS_DEFPUSHBUTTON, 20, bottom, 70, 25, kOkButton);
  SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(ctx.dialogFont), FALSE);

  int right = columns == 0 ? std::max(TextWidth(dc, kNoColumns), TextWidth(dc, kWhereColumnsAre)) + 40 : listX + kListWidth + 16;
  if (!covariates.refusal.empty()) right = std::max(right, TextWidth(dc, covariates.refusal) + 40);
  RECT r{0, 0, std::max(right, 300), bottom + 25 + 12};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromWindow(run.ctx->mainWindow, MONITOR_DEFAULTTONEAREST), &mi);
  const RECT& work = mi.rcWork;
  const int width = std::min<int>(r.right - r.left, work.right - work.left);
  const int height = std::min<int>(r.bottom - r.top, work.bottom - work.top);
  MoveWindow(window, std::clamp<int>(600, work.left, std::max<int>(work.left, work.right - width)),
             std::clamp<int>(50, work.top, std::max<int>(work.top, work.bottom - height)), width, height, FALSE);
}

int BoxAt(HWND, ModalRun& run, POINT p) {
  if (run.dc == nullptr) return 0;
  for (int i = 0; i < ColumnCount(run); ++i) {
    if (IsOnText(run.dc, p, kLabelX, RowTop(run, i), RowLabel(CovariatesOf(run).columns[static_cast<std::size_t>(i)]))) {
      return kFirstBox + i;
    }
  }
  return 0;
}

void Paint(HWND window, ModalRun& run) {
  if (run.dc == nullptr) return;
  FillClientWhite(window, run.dc);
  const auto text = [&](int x, int y, const std::string& s) { TextOutA(run.dc, x, y, s.data(), static_cast<int>(s.size())); };
  const Covariates& covariates = CovariatesOf(run);
  const int columns = ColumnCount(run);
  if (columns == 0) {
    text(20, 12, kNoColumns);
    text(20, 12 + kRowPitch, covariates.refusal.empty() ? std::string(kWhereColumnsAre) : covariates.refusal);
    return;
  }
  const int listX = ListX(run);
  text(kLabelX, 10, "共変量");
  text(listX, 10, "基準水準");
  for (int i = 0; i < columns; ++i) text(kLabelX, RowTop(run, i), RowLabel(covariates.columns[static_cast<std::size_t>(i)]));
  text(12, RowTop(run, columns) + 10, kStrataLabel);
  text(12, RowTop(run, columns + 1) + 10, kSubgroupLabel);
}

void OnCommand(HWND window, ModalRun& run, WPARAM wParam) {
  if (!IsClickOf(wParam, kOkButton)) return;
  ModelRequest request;
  const Covariates& covariates = CovariatesOf(run);
  for (int i = 0; i < ColumnCount(run); ++i) {
    if (IsDlgButtonChecked(window, kFirstBox + i) != BST_CHECKED) continue;
    int reference = 0;
    if (covariates.columns[static_cast<std::size_t>(i)].type == CovariateType::Categorical) {
      reference = std::max(0, static_cast<int>(SendDlgItemMessageA(window, kFirstLevelList + i, CB_GETCURSEL, 0, 0)));
    }
    request.covariates.push_back({i, reference});
  }
  if (ColumnCount(run) > 0) {
    request.strata = ChosenColumn(window, kStrataList);
    request.subgroup = ChosenColumn(window, kSubgroupList);
  }
  // A column with a baseline hazard per level has no ratio of its own: it is one or the other,
  // as the batch command also requires. The window stays open for the choice.
  for (const CoxCovariateChoice& choice : request.covariates) {
    if (choice.column != request.strata) continue;
    const std::string text = "「" + covariates.columns[static_cast<std::size_t>(choice.column)].name +
                             "」は共変量と層の両方には使えません";
    MessageBoxA(window, text.c_str(), "共変量・層別", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  run.ctx->modelTick = request;
  EndModalWindow(window, IDOK);
}

}  // namespace

LRESULT CALLBACK CovariatesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr SettingWindowHandlers kHandlers{.initialise = Initialise, .paint = Paint, .command = OnCommand, .boxAt = BoxAt};
  return SettingWindowProc(window, message, wParam, lParam, kHandlers);
}

void ChooseCovariates(DialogContext& ctx) {
  ctx.modelTick = ctx.ws->model;
  if (RunModalWindow(ctx, ctx.mainWindow, "K_kyouhenWnd") != IDOK || !IsWindow(ctx.mainWindow)) return;
  const Covariates& covariates = ctx.ws->cases.covariates;
  if (covariates.columns.empty() || ctx.shownPath == nullptr || ctx.shownPath->empty()) return;
  if (ctx.modelChoices != nullptr) ctx.modelChoices->Remember(*ctx.shownPath, CovariateNames(covariates), ctx.modelTick);
  if (ctx.modelTick != ctx.ws->model) SetModel(*ctx.ws, *ctx.surfaces, ctx.modelTick);
}

}  // namespace orv
