// What the three setting windows share: the state of one modal run, the window procedures
// that RunModalWindow installs, and the small drawing helpers they all use.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/dialogs.h"

namespace orv {

// The ＯＫ of every setting window: what Enter presses when no other push button has the keyboard.
inline constexpr int kOkButton = 1000;

// Per-window working values that one setting window keeps while it runs.
struct SettingWindowState {
  virtual ~SettingWindowState() = default;
};

// One run of RunModalWindow. The window reaches it through GWLP_USERDATA.
struct ModalRun {
  DialogContext* ctx = nullptr;
  HWND owner = nullptr;
  HWND window = nullptr;
  HDC dc = nullptr;     // obtained at initialisation, kept until the window is destroyed
  bool ended = false;   // set by EndModalWindow: the next quit message is this run's own
  HWND focus = nullptr; // the control that had the keyboard when the window was last deactivated
  std::unique_ptr<SettingWindowState> state;
};

ModalRun* RunOf(HWND window);

// Gets and keeps the window's drawing context: opaque white background, black text.
HDC KeepWindowDC(ModalRun& run);
// Gives the kept context back; each window calls it when it is destroyed.
void ReleaseWindowDC(ModalRun& run);

// A push button, group box, check box or radio button of a setting window.
HWND CreateControl(HWND parent, const char* text, DWORD style, int x, int y, int w, int h, int id);

// Whether p lies on the text drawn with its top left corner at (x, y) in the context.
bool IsOnText(HDC dc, POINT p, int x, int y, std::string_view text);

void FillClientWhite(HWND window, HDC dc);

// How a list window (one row per group or cause, ＯＫ below) is sized and placed.
struct ListWindowLayout {
  std::vector<std::string> labels;  // every text drawn on a row, from labelX
  int labelX = 0;
  int lastRowTop = 0;               // y of the last row's text
  int x = 0, y = 0;                 // where the window goes
  int minWidth = 0, minHeight = 0;  // the window's least size
  HWND ok = nullptr;
  int okX = 0, okY = 0;             // the least y of ＯＫ, 70 x 25
};

// Sizes the window to its longest label and keeps ＯＫ below the last row, never below the
// least size, and moves it inside the work area of its monitor. A window still taller than
// that area has ＯＫ right below the last row, so that it stays on screen when it can.
void PlaceListWindow(HWND window, HDC dc, const ListWindowLayout& layout);

// The last two bytes of two blanks followed by the number: " 2", "12".
std::string TwoColumnNumber(int value);

// A command of a setting window counts only when it comes from a click (notification 0).
inline bool IsClickOf(WPARAM wParam, int id) { return LOWORD(wParam) == id && HIWORD(wParam) == 0; }

// What one setting window does with the messages of the shared procedure; a handler that
// is left out means the window has nothing to do there.
struct SettingWindowHandlers {
  void (*initialise)(HWND window, ModalRun& run) = nullptr;        // WM_INITDIALOG
  void (*paint)(HWND window, ModalRun& run) = nullptr;             // WM_PAINT, inside BeginPaint
  void (*command)(HWND window, ModalRun& run, WPARAM wParam) = nullptr;
  void (*doubleClick)(HWND window, ModalRun& run, LPARAM lParam) = nullptr;  // else the default
  // The id of the check box or radio button whose name the window draws at p; 0 for none.
  int (*boxAt)(HWND window, ModalRun& run, POINT p) = nullptr;
};

// The window procedure every setting window shares: the window's handlers for its own
// messages; closing (the close box or Esc) ends the run without applying anything; Enter
// presses the push button that has the keyboard, else ＯＫ; Tab and the arrows move between the
// controls, and the control that had the keyboard gets it back when the window is activated
// again; a click on a box's name clicks the box; destroying gives the kept drawing context
// back; every other message, and any message before the run is attached, goes to the
// platform's default.
LRESULT SettingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          const SettingWindowHandlers& handlers);

LRESULT CALLBACK GroupSelectionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CensoredCausesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GraphSettingsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ReferenceGroupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PaperWordsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FigureSettingsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CovariatesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Redraws the group list: white ground, each group's line sample and its label.
void PaintGroupList(HWND groupWindow);

}  // namespace orv
