// The raw data report and the pairwise result tables in RichEdit20A controls.
//
// The report control receives a whole load at once: the sink keeps the report as a model of
// colour runs and a caret, and Flush streams the model into the control as RTF, so that the
// control ends with the same text and colours that insertion by insertion would leave, in a
// fraction of the time for large files. The result controls are small and are written
// directly.
#pragma once

#include "app/win32.h"

#include <string>

#include "platform/recording.h"
#include "platform/result_text_sink.h"
#include "platform/rich_text_sink.h"

namespace orv::app {

// RTF for the runs: Shift-JIS bytes as \'xx escapes (charset 128), one colour table entry
// per colour used, the height in twips, CR LF as paragraph ends.
std::string ReportRtf(const std::vector<ColourRun>& runs, int heightTwips);

class RichEditReport : public RichTextSink {
 public:
  // The control already holds `initial`, in black.
  RichEditReport(HWND control, std::string_view initial);

  void Clear() override;
  void SetColour(Rgb colour) override { model_.SetColour(colour); }
  void SetHeight(int twips) override { model_.SetHeight(twips); }
  void Insert(std::string_view bytes) override;
  void CaretToStart() override;
  void Flush() override;

  // Writes each call straight into the control instead (the slow way, kept to check that
  // both ways leave the same control).
  void SetDirect(bool direct) { direct_ = direct; }
  const RecordingRichText& Model() const { return model_; }

 private:
  void FocusIfShown();

  HWND control_;
  RecordingRichText model_;
  bool dirty_ = false;
  bool direct_ = false;
};

class RichEditResult : public ResultTextSink {
 public:
  explicit RichEditResult(HWND control) : control_(control) {}
  void Command(std::string_view command) override;
  void Append(std::string_view text) override;
  void CaretToStart() override;

 private:
  void FocusIfShown();
  HWND control_;
};

// The character format every report control starts with: face "System", 280 twips, black.
CHARFORMATA ReportCharFormat();

}  // namespace orv::app
