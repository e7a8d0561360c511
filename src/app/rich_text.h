// The raw data report and the pairwise result tables in RichEdit20A controls.
//
// The report control receives a whole load at once: the sink keeps the report as a model of
// colour runs and a caret, and Flush hands the model to the control in large insertions, so
// that the control ends with the same text and colours that insertion by insertion would
// leave. A large report is handed over in slices while the program is idle, each sized to
// take a few hundredths of a second, so that a load stays responsive; whoever reads the
// control's text meanwhile gets at once what is there so far (a beginning of the report), and
// a new load drops the slices still to come. Each hand-over starts on a fresh control in the
// old one's place (see Renew). The result controls are small and are written directly.
#pragma once

#include "app/win32.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/recording.h"
#include "platform/result_text_sink.h"
#include "platform/rich_text_sink.h"

namespace orv::app {

class RichEditReport : public RichTextSink {
 public:
  // The control already holds `initial`, in black.
  RichEditReport(HWND control, std::string_view initial);
  RichEditReport(const RichEditReport&) = delete;
  RichEditReport& operator=(const RichEditReport&) = delete;

  void Clear() override;
  void SetColour(Rgb colour) override { model_.SetColour(colour); }
  void SetHeight(int twips) override { model_.SetHeight(twips); }
  void Insert(std::string_view bytes) override;
  void CaretToStart() override;
  void Flush() override;

  // Whether part of the report still waits for the control; FillSome hands over one slice.
  bool Pending() const { return pending_; }
  void FillSome();

  // Writes each call straight into the control instead (the slow way, kept to check that
  // both ways leave the same control).
  void SetDirect(bool direct) { direct_ = direct; }
  const RecordingRichText& Model() const { return model_; }
  // The control now in use: a hand-over replaces it.
  HWND Control() const { return control_; }

 private:
  void Renew();
  void FocusIfShown();
  void FillSlice();
  void Finish();

  HWND control_;
  RecordingRichText model_;
  bool dirty_ = false;
  bool direct_ = false;
  bool pending_ = false;
  std::size_t run_ = 0;     // the next run to hand over
  std::size_t offset_ = 0;  // and the byte within it
  std::size_t sliceBytes_ = 0;  // the size of the next slice
};

// The tab stops of the result tables, in twips: each column of a table (heading, pair rows,
// group footer) starts at one of them, whatever the width of the text before it.
inline constexpr LONG kResultTabStops[] = {600, 2250, 3900, 5400, 7050, 7350, 8550};

// A result control: a text table of the program in Shift-JIS, laid out by tab stops.
class RichEditResult : public ResultTextSink {
 public:
  // Gives the control its layout (SetUpResultControl) with these tab stops. With
  // `fitText`, they are the least stops, moved right after each table as far as the
  // widest text of a column needs, so that a long group name does not push its row's
  // figures onto the next stop.
  explicit RichEditResult(HWND control, std::span<const LONG> tabStops = kResultTabStops, bool fitText = false);
  ~RichEditResult() override;
  RichEditResult(const RichEditResult&) = delete;
  RichEditResult& operator=(const RichEditResult&) = delete;
  void Command(std::string_view command) override;
  void Append(std::string_view text) override;
  void CaretToStart() override;
  // A text the control already holds, as this sink wrote it and untouched since, is left
  // there: only the focus and the caret move. While the control's window is hidden the text
  // waits, and goes in (without taking the focus) at the first message that reaches the
  // control other than a move or a resize: its painting when the window is shown, or whatever
  // reads it, in this process or another.
  void Replace(std::string_view text) override;
  HWND Control() const { return control_; }

 private:
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
  void FocusIfShown();
  void LayOut();
  void Write(std::string_view text, bool focus);
  void WritePending();
  HWND control_;
  std::span<const LONG> tabStops_;
  bool fitText_;
  std::optional<std::string> written_;  // the text of the last Replace, while nothing else wrote
  std::optional<std::string> pending_;  // a text that waits for its hidden window
};

// The tab stops that give each column of `text` (lines of cells between tabs) room for its
// widest cell in the report font, and are never left of `least`.
std::vector<LONG> FittedTabStops(HWND control, std::string_view text, std::span<const LONG> least);

// Where the longest line of a rich edit control ends, in its client coordinates when it is
// scrolled to the left.
int TextRight(HWND control);

// The character format every report control starts with: face "System", 280 twips, black,
// character set 128 (Shift-JIS), without which Japanese shows as empty boxes.
CHARFORMATA ReportCharFormat();

// Sets up a new rich edit control of the program: no 32,767-character limit, and
// ReportCharFormat as its default and for the text it already holds.
void SetUpRichEdit(HWND control);

// Gives every paragraph of a result control the tab stops (at most 32) and every character
// the character set 128, keeping the selection. Any control that holds a result table uses it
// after each rewrite, so that a table laid out with tabs lines up.
void SetUpResultControl(HWND control, std::span<const LONG> tabStops = kResultTabStops);

}  // namespace orv::app
