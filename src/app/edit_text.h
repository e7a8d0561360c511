// A result text in a plain multi-line edit control: the paragraphs for the paper.
//
// Running text that wraps at the window's edge goes here rather than into a rich edit control:
// the platform's edit control breaks Japanese between any two characters the language allows
// (not before a closing bracket or a full stop), where Wine's rich edit control breaks only at
// blanks, and so left short lines wherever a half-width blank stood early in a line.
#pragma once

#include "app/win32.h"

#include <optional>
#include <string>
#include <string_view>

#include "platform/result_text_sink.h"

namespace orv::app {

class EditResult : public ResultTextSink {
 public:
  // Gives the control the report's font (ReportCharFormat) and no length limit.
  explicit EditResult(HWND control);
  ~EditResult() override;
  EditResult(const EditResult&) = delete;
  EditResult& operator=(const EditResult&) = delete;

  void Command(std::string_view command) override;
  void Append(std::string_view text) override;
  void CaretToStart() override;
  // A text the control already holds, as this sink wrote it and untouched since, is left
  // there: only the focus and the caret move.
  void Replace(std::string_view text) override;
  HWND Control() const { return control_; }

 private:
  void FocusIfShown();
  HWND control_;
  HFONT font_ = nullptr;
  std::optional<std::string> written_;  // the text of the last Replace, while nothing else wrote
};

}  // namespace orv::app
