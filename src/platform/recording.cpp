// Recording implementations of the platform interfaces.
#include "platform/recording.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace orv {

void RecordingRichText::Clear() {
  runs_.clear();
  caret_ = 0;
  size_ = 0;
}

void RecordingRichText::Insert(std::string_view bytes) {
  if (bytes.empty()) return;
  if (caret_ == size_) {
    // The common case: the caret stands at the end of the document.
    if (!runs_.empty() && runs_.back().colour == colour_) {
      runs_.back().text.append(bytes);
    } else {
      runs_.push_back({colour_, std::string(bytes)});
    }
  } else {
    std::size_t pos = 0;
    std::size_t i = 0;
    while (i < runs_.size() && pos + runs_[i].text.size() <= caret_) {
      pos += runs_[i].text.size();
      ++i;
    }
    // Caret at the start of run i, or inside it.
    std::size_t offset = caret_ - pos;
    if (runs_[i].colour == colour_) {
      runs_[i].text.insert(offset, bytes);
    } else if (offset == 0) {
      if (i > 0 && runs_[i - 1].colour == colour_) {
        runs_[i - 1].text.append(bytes);
      } else {
        runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i), ColourRun{colour_, std::string(bytes)});
      }
    } else {
      ColourRun tail{runs_[i].colour, runs_[i].text.substr(offset)};
      runs_[i].text.resize(offset);
      runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i + 1), ColourRun{colour_, std::string(bytes)});
      runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i + 2), std::move(tail));
    }
  }
  caret_ += bytes.size();
  size_ += bytes.size();
}

std::string RecordingRichText::Text() const {
  std::string out;
  out.reserve(size_);
  for (const ColourRun& r : runs_) out += r.text;
  return out;
}

void RecordingResultText::Command(std::string_view command) {
  if (command == "CLEAR") {
    text_.clear();
    selStart_ = selEnd_ = 0;
  } else if (command == "CUT") {
    clipboard_ = text_.substr(selStart_, selEnd_ - selStart_);
    text_.erase(selStart_, selEnd_ - selStart_);
    selEnd_ = selStart_;
  } else if (command == "COPY") {
    clipboard_ = text_.substr(selStart_, selEnd_ - selStart_);
  } else if (command == "PASTE") {
    Append(clipboard_);
  } else if (command == "ALLSELECT") {
    selStart_ = 0;
    selEnd_ = text_.size();
  }
}

void RecordingResultText::Append(std::string_view text) {
  text_.replace(selStart_, selEnd_ - selStart_, text);
  selStart_ += text.size();
  selEnd_ = selStart_;
}

void RecordingCanvas::SelectPen(const Pen& pen) {
  CanvasOp op{.kind = CanvasOp::Kind::SelectPen};
  op.pen = pen;
  ops.push_back(op);
}

void RecordingCanvas::SelectFont(const FontSpec* font) {
  CanvasOp op{.kind = CanvasOp::Kind::SelectFont};
  if (font != nullptr) {
    op.text = font->face;
    op.value = font->height;
  }
  ops.push_back(op);
}

void RecordingCanvas::SetTextColour(Rgb colour) { ops.push_back({.kind = CanvasOp::Kind::TextColour, .colour = colour}); }
void RecordingCanvas::SetBkColour(Rgb colour) { ops.push_back({.kind = CanvasOp::Kind::BkColour, .colour = colour}); }
void RecordingCanvas::SetBkMode(BkMode mode) {
  ops.push_back({.kind = CanvasOp::Kind::BkMode, .value = static_cast<int>(mode)});
}
void RecordingCanvas::MoveTo(int x, int y) { ops.push_back({.kind = CanvasOp::Kind::MoveTo, .x = x, .y = y}); }
void RecordingCanvas::LineTo(int x, int y) { ops.push_back({.kind = CanvasOp::Kind::LineTo, .x = x, .y = y}); }
void RecordingCanvas::TextOut(int x, int y, std::string_view bytes) {
  ops.push_back({.kind = CanvasOp::Kind::Text, .x = x, .y = y, .text = std::string(bytes)});
}
void RecordingCanvas::FillRect(const Rect& rect, Rgb colour) {
  ops.push_back({.kind = CanvasOp::Kind::Fill, .colour = colour, .rect = rect});
}
void RecordingCanvas::Invalidate() { ops.push_back({.kind = CanvasOp::Kind::Invalidate}); }

std::vector<RecordingCanvas::PlacedText> RecordingCanvas::Texts() const {
  std::vector<PlacedText> out;
  for (const CanvasOp& op : ops) {
    if (op.kind == CanvasOp::Kind::Text) out.push_back({op.x, op.y, op.text});
  }
  return out;
}

std::vector<RecordingCanvas::Segment> RecordingCanvas::Segments() const {
  std::vector<Segment> out;
  Pen pen;
  int cx = 0;
  int cy = 0;
  for (const CanvasOp& op : ops) {
    switch (op.kind) {
      case CanvasOp::Kind::SelectPen: pen = op.pen; break;
      case CanvasOp::Kind::MoveTo: cx = op.x; cy = op.y; break;
      case CanvasOp::Kind::LineTo:
        out.push_back({cx, cy, op.x, op.y, pen});
        cx = op.x;
        cy = op.y;
        break;
      default: break;
    }
  }
  return out;
}

bool IsStateOp(CanvasOp::Kind kind) {
  using K = CanvasOp::Kind;
  return kind == K::SelectPen || kind == K::SelectFont || kind == K::TextColour || kind == K::BkColour ||
         kind == K::BkMode;
}

void Replay(const std::vector<CanvasOp>& ops, Canvas& target, std::size_t drawFrom) {
  using K = CanvasOp::Kind;
  for (std::size_t i = 0; i < ops.size(); ++i) {
    const CanvasOp& op = ops[i];
    if (i < drawFrom && !IsStateOp(op.kind)) continue;
    switch (op.kind) {
      case K::SelectPen: target.SelectPen(op.pen); break;
      case K::SelectFont:
        if (op.text.empty() && op.value == 0) {
          target.SelectFont(nullptr);
        } else {
          FontSpec font{.face = op.text, .height = op.value};
          target.SelectFont(&font);
        }
        break;
      case K::TextColour: target.SetTextColour(op.colour); break;
      case K::BkColour: target.SetBkColour(op.colour); break;
      case K::BkMode: target.SetBkMode(static_cast<BkMode>(op.value)); break;
      case K::MoveTo: target.MoveTo(op.x, op.y); break;
      case K::LineTo: target.LineTo(op.x, op.y); break;
      case K::Text: target.TextOut(op.x, op.y, op.text); break;
      case K::Fill: target.FillRect(op.rect, op.colour); break;
      case K::Invalidate: target.Invalidate(); break;
    }
  }
}

std::size_t LastFullRedraw(const RecordingCanvas& canvas) {
  const Rect client = canvas.ClientRect();
  for (std::size_t i = canvas.ops.size(); i-- > 0;) {
    const CanvasOp& op = canvas.ops[i];
    if (op.kind == CanvasOp::Kind::Fill && op.rect.left <= 0 && op.rect.top <= 0 && op.rect.right >= client.right &&
        op.rect.bottom >= client.bottom) {
      return i;
    }
  }
  return 0;
}

void KeepCurrentDrawing(RecordingCanvas& canvas) {
  const std::size_t from = LastFullRedraw(canvas);
  if (from == 0) return;
  // What was drawn before the last full redraw is painted over; of the state it set, only
  // the last pen, font, colours and mode still count.
  std::vector<CanvasOp> kept;
  std::vector<bool> seen(static_cast<std::size_t>(CanvasOp::Kind::Invalidate) + 1, false);
  for (std::size_t i = from; i-- > 0;) {
    const CanvasOp& op = canvas.ops[i];
    const auto kind = static_cast<std::size_t>(op.kind);
    if (!IsStateOp(op.kind) || seen[kind]) continue;
    seen[kind] = true;
    kept.push_back(std::move(canvas.ops[i]));
  }
  std::reverse(kept.begin(), kept.end());
  kept.insert(kept.end(), std::make_move_iterator(canvas.ops.begin() + static_cast<std::ptrdiff_t>(from)),
              std::make_move_iterator(canvas.ops.end()));
  canvas.ops = std::move(kept);
}

}  // namespace orv
