// A result text in the read-only wrapping text view: the paragraphs for the paper.
//
// Running text that wraps at the window's edge goes here rather than into a rich edit control:
// the view breaks Japanese between any two characters the language allows, where Wine's rich
// edit control breaks only at blanks and so left short lines wherever a half-width blank stood
// early in a line; and it lays a rewrite out in milliseconds, where the platform's edit control
// took a third of a second (see text_view.h).
#pragma once

#include "app/win32.h"

#include <optional>
#include <string>
#include <string_view>

#include "platform/result_text_sink.h"

namespace orv::app {

class TextResult : public ResultTextSink {
 public:
  // Gives the view the report's font (ReportCharFormat).
  explicit TextResult(HWND control);
  ~TextResult() override;
  TextResult(const TextResult&) = delete;
  TextResult& operator=(const TextResult&) = delete;

  // "CUT" and "PASTE" change nothing in the read-only view.
  void Command(std::string_view command) override;
  void Append(std::string_view text) override;
  void CaretToStart() override;
  // A text the view already holds, as this sink wrote it, is left there: only the focus, the
  // caret and the view move.
  void Replace(std::string_view text) override;
  HWND Control() const { return control_; }

 private:
  void FocusIfShown();
  HWND control_;
  HFONT font_ = nullptr;
  std::optional<std::string> written_;  // the text of the last Replace, while nothing else wrote
};

}  // namespace orv::app
