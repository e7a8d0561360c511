// The raw data report as the batch command keeps it: the control's text and colours as
// pieces of a few large blocks, so that neither a long load nor the summary inserted at the
// start ever moves or copies the text already there.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/colour.h"
#include "platform/rich_text_sink.h"

namespace orv::cli {

class ReportDocument : public RichTextSink {
 public:
  void Clear() override;
  void SetColour(Rgb colour) override { colour_ = colour; }
  void SetHeight(int) override {}
  void Insert(std::string_view bytes) override;
  void CaretToStart() override { caret_ = 0; }

  struct Piece {
    Rgb colour;
    std::string_view text;  // never empty
  };
  // A run of one colour: the pieces between two changes of colour.
  struct Run {
    Rgb colour;
    std::span<const Piece> pieces;
  };
  // The whole text in order, as pieces; adjacent pieces may have the same colour.
  const std::vector<Piece>& Pieces() const { return pieces_; }
  // The colour runs of the text, each as long as it can be (as the control's runs are).
  std::vector<Run> Runs() const;

 private:
  // A copy of the bytes in the current block, or in a new one when they do not fit.
  std::string_view Store(std::string_view bytes);

  static constexpr std::size_t kBlockSize = 1 << 20;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t blockUsed_ = 0;
  std::size_t blockCapacity_ = 0;
  std::vector<Piece> pieces_;
  std::size_t caret_ = 0;
  std::size_t size_ = 0;
  Rgb colour_ = kBlack;
};

}  // namespace orv::cli
