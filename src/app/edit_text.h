// A result text in a plain multi-line edit control: the paragraphs for the paper.
//
// Running text that wraps at the window's edge goes here rather than into a rich edit control:
// the platform's edit control breaks Japanese between any two characters the language allows
// (not before a closing bracket or a full stop), where Wine's rich edit control breaks only at
// blanks, and so left short lines wherever a half-width blank stood early in a line.
#pragma once

#include "app/win32.h"

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
  HWND Control() const { return control_; }

 private:
  void FocusIfShown();
  HWND control_;
  HFONT font_ = nullptr;
};

}  // namespace orv::app
