// The setting windows, run modally from the main window's menu: group selection, censored
// causes, graph settings. The program hands them what they change through DialogContext.
#pragma once

#include <windows.h>
// The platform's TextOut macro would otherwise rename Canvas::TextOut in some files only.
#undef TextOut

#include <string>

#include "graph/publication_figure.h"
#include "platform/surfaces.h"
#include "session/workspace.h"

namespace orv {

namespace app {
class ModelChoices;
}

struct DialogContext {
  HINSTANCE instance = nullptr;
  HWND mainWindow = nullptr;
  Workspace* ws = nullptr;
  Surfaces* surfaces = nullptr;
  HFONT dialogFont = nullptr;      // the dialog font of the setting windows
  const std::string* shownPath = nullptr;  // the file whose tables are shown; reloads read it
  COLORREF customColours[16] = {};  // the colour dialog's custom colours, kept for the run
  int editedGroup = 0;              // EditedGroup: the group the graph settings edit
  // The ticks of the open group selection or censored-case window, taken by its OK.
  GroupSet shownTicks;
  CauseFlags censoredTicks{};
  int referenceTick = 0;  // the group chosen in the reference group window
  bool paperChanged = false;  // the paper's window changed its unit or a label
  FigureSettings figureTicks;  // the choices of the open figure settings window
  ModelRequest modelTick;  // the choice of the covariate window, taken by its OK
  app::ModelChoices* modelChoices = nullptr;  // where the covariate window's OK keeps its choice
};

// Registers the class "NORMALDLG" with the given background brush.
void RegisterDialogClass(HINSTANCE instance, HBRUSH background);

// Creates the window of the key ("G_sentakuWnd", "U_checkWnd", "GP_Wnd"), disables the
// owner and runs a nested message loop until the window ends itself; returns its code.
int RunModalWindow(DialogContext& ctx, HWND owner, const char* key);
void EndModalWindow(HWND window, int code);

// Menu commands 1018 (bringMainToFront false) and 1021 (true).
void ChooseGroups(DialogContext& ctx, bool bringMainToFront);
// Menu command 1019.
void ChooseCensoredCauses(DialogContext& ctx);
// "基準群の選択…": the reference group of the hazard ratios, and the interval window rewritten.
void ChooseReferenceGroup(DialogContext& ctx);
// "論文用の記述の設定…": the paragraphs' time unit and the English labels of the groups and
// causes, the paragraphs written again at once. True when a choice changed.
bool ChoosePaperWords(DialogContext& ctx);
// "図の設定…" of the figure window, owned by it: true when ＯＫ changed the settings.
bool ChooseFigureSettings(DialogContext& ctx, HWND owner, FigureSettings& settings);
// "共変量・層別…": the covariates, their reference levels, the strata and the subgroup column of
// the adjusted analyses; OK runs them and keeps the choice for the file.
void ChooseCovariates(DialogContext& ctx);

}  // namespace orv
