// What the three setting windows share: the state of one modal run, the window procedures
// that RunModalWindow installs, and the small drawing helpers they all use.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "dialogs/dialogs.h"

namespace orv {

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
  std::unique_ptr<SettingWindowState> state;
};

ModalRun* RunOf(HWND window);

// Gets and keeps the window's drawing context: opaque white background, black text.
HDC KeepWindowDC(ModalRun& run);
// Gives the kept context back; each window calls it when it is destroyed.
void ReleaseWindowDC(ModalRun& run);

// A push button, group box, check box or radio button of a setting window.
HWND CreateControl(HWND parent, const char* text, DWORD style, int x, int y, int w, int h, int id);

void FillClientWhite(HWND window, HDC dc);

// The last two bytes of two blanks followed by the number: " 2", "12".
std::string TwoColumnNumber(int value);

// A command of a setting window counts only when it comes from a click (notification 0).
inline bool IsClickOf(WPARAM wParam, int id) { return LOWORD(wParam) == id && HIWORD(wParam) == 0; }

LRESULT CALLBACK GroupSelectionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CensoredCausesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GraphSettingsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Redraws the group list: white ground, each group's line sample and its label.
void PaintGroupList(HWND groupWindow);

}  // namespace orv
