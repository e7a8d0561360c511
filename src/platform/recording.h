// Recording implementations of the platform interfaces: they keep what was drawn or
// written so that tests (and the batch command) can read it back exactly.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/message_boxes.h"
#include "platform/result_text_sink.h"
#include "platform/rich_text_sink.h"
#include "platform/view_windows.h"

namespace orv {

// A run of bytes in one colour.
struct ColourRun {
  Rgb colour = kBlack;
  std::string text;
  bool operator==(const ColourRun&) const = default;
};

// A model of the rich-text control: the document as colour runs, and a caret.
class RecordingRichText : public RichTextSink {
 public:
  void Clear() override;
  void SetColour(Rgb colour) override { colour_ = colour; }
  void SetHeight(int twips) override { height_ = twips; }
  void Insert(std::string_view bytes) override;
  void CaretToStart() override { caret_ = 0; }

  std::string Text() const;
  // Adjacent runs of one colour are merged; empty runs are dropped.
  const std::vector<ColourRun>& Runs() const { return runs_; }
  std::size_t Caret() const { return caret_; }
  int Height() const { return height_; }
  Rgb Colour() const { return colour_; }

 private:
  std::vector<ColourRun> runs_;
  std::size_t caret_ = 0;
  std::size_t size_ = 0;
  Rgb colour_ = kBlack;
  int height_ = 280;
};

// A model of a result control: its text and selection.
class RecordingResultText : public ResultTextSink {
 public:
  explicit RecordingResultText(std::string initial = {}) : text_(std::move(initial)), selStart_(text_.size()), selEnd_(text_.size()) {}
  void Command(std::string_view command) override;
  void Append(std::string_view text) override;
  void CaretToStart() override { selStart_ = selEnd_ = 0; }

  const std::string& Text() const { return text_; }
  std::size_t SelectionStart() const { return selStart_; }
  std::size_t SelectionEnd() const { return selEnd_; }
  const std::string& Clipboard() const { return clipboard_; }

 private:
  std::string text_;
  std::size_t selStart_ = 0;
  std::size_t selEnd_ = 0;
  std::string clipboard_;
};

struct RecordedBox {
  std::string text;
  std::string caption;
  BoxIcon icon = BoxIcon::None;
  bool operator==(const RecordedBox&) const = default;
};

class RecordingMessageBoxes : public MessageBoxes {
 public:
  void Show(std::string_view text, std::string_view caption, BoxIcon icon) override {
    boxes.push_back({std::string(text), std::string(caption), icon});
  }
  std::vector<RecordedBox> boxes;
};

class RecordingViewWindows : public ViewWindows {
 public:
  void Resize(const ViewSizes& sizes) override { last = sizes; ++calls; }
  std::optional<ViewSizes> last;
  int calls = 0;
};

// One primitive drawn on a canvas.
struct CanvasOp {
  enum class Kind { SelectPen, SelectFont, TextColour, BkColour, BkMode, MoveTo, LineTo, Text, Fill, Invalidate };
  Kind kind = Kind::MoveTo;
  int x = 0;
  int y = 0;
  std::string text;  // Text: the bytes; SelectFont: the face ("" for the default font)
  Pen pen;           // SelectPen
  Rgb colour = 0;    // TextColour, BkColour, Fill
  Rect rect;         // Fill
  int value = 0;     // BkMode; SelectFont: the height
  bool operator==(const CanvasOp&) const = default;
};

// A canvas that records every primitive, with a client rectangle of its own.
class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(Rect client = {0, 0, 884, 662}) : client_(client) {}
  void SelectPen(const Pen& pen) override;
  void SelectFont(const FontSpec* font) override;
  void SetTextColour(Rgb colour) override;
  void SetBkColour(Rgb colour) override;
  void SetBkMode(BkMode mode) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, std::string_view bytes) override;
  void FillRect(const Rect& rect, Rgb colour) override;
  Rect ClientRect() const override { return client_; }
  int TextWidth(std::string_view bytes) const override { return charWidth * static_cast<int>(bytes.size()); }
  void Invalidate() override;

  void SetClientRect(Rect r) { client_ = r; }
  int charWidth = 0;  // the width of every byte in TextWidth; 0: the canvas cannot measure
  void Reset() { ops.clear(); }
  std::vector<CanvasOp> ops;

  // Texts drawn, in order, with their positions.
  struct PlacedText {
    int x, y;
    std::string text;
    bool operator==(const PlacedText&) const = default;
  };
  std::vector<PlacedText> Texts() const;
  // Line segments drawn (from the current position), with the pen in force.
  struct Segment {
    int x1, y1, x2, y2;
    Pen pen;
    bool operator==(const Segment&) const = default;
  };
  std::vector<Segment> Segments() const;

 private:
  Rect client_;
};

// True for the primitives that only set state (pen, font, colours, mode).
bool IsStateOp(CanvasOp::Kind kind);

// Draws the recorded primitives onto another canvas. Primitives before `drawFrom` only set
// state: what they drew was painted over later.
void Replay(const std::vector<CanvasOp>& ops, Canvas& target, std::size_t drawFrom = 0);

// The index of the last fill of the whole client area, where the last complete redraw
// began; 0 when there is none.
std::size_t LastFullRedraw(const RecordingCanvas& canvas);

// Drops what the last full redraw of the canvas painted over, keeping the pen, font,
// colours and mode in force where it began, so that a replay from the last full redraw
// draws the same picture. The recording of a redrawn canvas then no longer grows with
// the number of redraws.
void KeepCurrentDrawing(RecordingCanvas& canvas);

}  // namespace orv
