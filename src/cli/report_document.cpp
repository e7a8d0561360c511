// The report kept as pieces.
#include "cli/report_document.h"

#include <algorithm>
#include <cstring>

namespace orv::cli {

void ReportDocument::Clear() {
  blocks_.clear();
  blockUsed_ = blockCapacity_ = 0;
  pieces_.clear();
  caret_ = size_ = 0;
}

std::string_view ReportDocument::Store(std::string_view bytes) {
  if (blockCapacity_ - blockUsed_ < bytes.size()) {
    blockCapacity_ = std::max(kBlockSize, bytes.size());
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(blockCapacity_));
    blockUsed_ = 0;
  }
  char* at = blocks_.back().get() + blockUsed_;
  std::memcpy(at, bytes.data(), bytes.size());
  blockUsed_ += bytes.size();
  return {at, bytes.size()};
}

void ReportDocument::Insert(std::string_view bytes) {
  if (bytes.empty()) return;
  const std::string_view stored = Store(bytes);
  if (caret_ == size_) {
    // The common case, the caret at the end: a piece that ends where the new bytes were
    // stored just grows.
    Piece* last = pieces_.empty() ? nullptr : &pieces_.back();
    if (last != nullptr && last->colour == colour_ && last->text.data() + last->text.size() == stored.data()) {
      last->text = {last->text.data(), last->text.size() + stored.size()};
    } else {
      pieces_.push_back({colour_, stored});
    }
  } else {
    std::size_t pos = 0;
    std::size_t i = 0;
    while (pos + pieces_[i].text.size() <= caret_) pos += pieces_[i++].text.size();
    const std::size_t offset = caret_ - pos;
    const auto at = pieces_.begin() + static_cast<std::ptrdiff_t>(i);
    if (offset == 0) {
      pieces_.insert(at, {colour_, stored});
    } else {
      // Inside a piece: it is split around the new one.
      const Piece whole = *at;
      at->text = whole.text.substr(0, offset);
      pieces_.insert(at + 1, {{colour_, stored}, {whole.colour, whole.text.substr(offset)}});
    }
  }
  caret_ += bytes.size();
  size_ += bytes.size();
}

std::vector<ReportDocument::Run> ReportDocument::Runs() const {
  std::vector<Run> runs;
  const std::span<const Piece> all(pieces_);
  for (std::size_t i = 0; i < all.size();) {
    std::size_t end = i + 1;
    while (end < all.size() && all[end].colour == all[i].colour) ++end;
    runs.push_back({all[i].colour, all.subspan(i, end - i)});
    i = end;
  }
  return runs;
}

}  // namespace orv::cli
