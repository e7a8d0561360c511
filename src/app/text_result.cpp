// The paragraphs for the paper in the read-only wrapping text view.
#include "app/text_result.h"

#include <string>

#include "app/rich_text.h"

namespace orv::app {

TextResult::TextResult(HWND control) : control_(control) {
  if (!control_) return;
  // The face, height and character set of the rich edit controls beside it.
  const CHARFORMATA cf = ReportCharFormat();
  HDC dc = GetDC(control_);
  const int height = -MulDiv(cf.yHeight, GetDeviceCaps(dc, LOGPIXELSY), 1440);
  ReleaseDC(control_, dc);
  font_ = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, cf.bCharSet, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, cf.szFaceName);
  SendMessageA(control_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
}

TextResult::~TextResult() {
  if (control_ && IsWindow(control_)) SendMessageA(control_, WM_SETFONT, 0, FALSE);
  if (font_) DeleteObject(font_);
}

void TextResult::FocusIfShown() {
  if (IsWindowVisible(GetAncestor(control_, GA_ROOT))) SetFocus(control_);
}

void TextResult::Command(std::string_view command) {
  if (!control_) return;
  if (command == "CLEAR") {
    written_.reset();
    FocusIfShown();
    SetWindowTextA(control_, "");
  } else if (command == "COPY") {
    SendMessageA(control_, WM_COPY, 0, 0);
  } else if (command == "ALLSELECT") {
    SendMessageA(control_, EM_SETSEL, 0, -1);
  }
}

void TextResult::Append(std::string_view text) {
  if (!control_) return;
  written_.reset();
  const std::string copy(text);
  SendMessageA(control_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(copy.c_str()));
}

void TextResult::CaretToStart() {
  if (!control_) return;
  FocusIfShown();
  SendMessageA(control_, EM_SETSEL, 0, 0);
  SendMessageA(control_, EM_SCROLLCARET, 0, 0);
}

void TextResult::Replace(std::string_view text) {
  if (!control_) return;
  if (written_ && *written_ == text) return CaretToStart();
  // Set whole: the view starts at its top with the caret at 0.
  FocusIfShown();
  written_ = std::string(text);
  SetWindowTextA(control_, written_->c_str());
}

}  // namespace orv::app
