// The paragraphs for the paper in a plain edit control.
#include "app/edit_text.h"

#include <string>

#include "app/rich_text.h"

namespace orv::app {

EditResult::EditResult(HWND control) : control_(control) {
  if (!control_) return;
  // The face, height and character set of the rich edit controls beside it.
  const CHARFORMATA cf = ReportCharFormat();
  HDC dc = GetDC(control_);
  const int height = -MulDiv(cf.yHeight, GetDeviceCaps(dc, LOGPIXELSY), 1440);
  ReleaseDC(control_, dc);
  font_ = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, cf.bCharSet, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, cf.szFaceName);
  SendMessageA(control_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  SendMessageA(control_, EM_SETLIMITTEXT, 0, 0);
}

EditResult::~EditResult() {
  if (control_ && IsWindow(control_)) SendMessageA(control_, WM_SETFONT, 0, FALSE);
  if (font_) DeleteObject(font_);
}

void EditResult::FocusIfShown() {
  if (IsWindowVisible(GetAncestor(control_, GA_ROOT))) SetFocus(control_);
}

void EditResult::Command(std::string_view command) {
  if (!control_) return;
  if (command != "COPY" && command != "ALLSELECT") written_.reset();
  if (command == "CLEAR") {
    FocusIfShown();
    SetWindowTextA(control_, "");
  } else if (command == "CUT") {
    SendMessageA(control_, WM_CUT, 0, 0);
  } else if (command == "COPY") {
    SendMessageA(control_, WM_COPY, 0, 0);
  } else if (command == "PASTE") {
    SendMessageA(control_, WM_PASTE, 0, 0);
  } else if (command == "ALLSELECT") {
    SendMessageA(control_, EM_SETSEL, 0, -1);
  }
}

void EditResult::Append(std::string_view text) {
  if (!control_) return;
  written_.reset();
  const std::string copy(text);
  SendMessageA(control_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(copy.c_str()));
}

void EditResult::CaretToStart() {
  if (!control_) return;
  FocusIfShown();
  SendMessageA(control_, EM_SETSEL, 0, 0);
  SendMessageA(control_, EM_SCROLLCARET, 0, 0);
}

void EditResult::Replace(std::string_view text) {
  if (!control_) return;
  const bool untouched = written_ && SendMessageA(control_, EM_GETMODIFY, 0, 0) == 0;
  if (untouched && *written_ == text) return CaretToStart();
  ResultTextSink::Replace(text);
  SendMessageA(control_, EM_SETMODIFY, FALSE, 0);
  written_ = std::string(text);
}

}  // namespace orv::app
