// Plain-text forms of the report and of the views.
#include "cli/view_text.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <cstdio>
#include <map>
#include <vector>

#include "cli/encoding.h"

namespace orv::cli {
namespace {

constexpr int kRowHeight = 40;

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

void WriteReportText(const ReportDocument& report, bool ansi, OutputStream& out) {
  for (const ReportDocument::Run& run : report.Runs()) {
    const bool coloured = ansi && run.colour != kBlack;
    if (coloured) {
      char escape[32];
      std::snprintf(escape, sizeof escape, "\x1b[38;2;%d;%d;%dm", RedOf(run.colour), GreenOf(run.colour),
                    BlueOf(run.colour));
      out.Write(escape);
    }
    out.BeginText(false);
    for (const ReportDocument::Piece& piece : run.pieces) out.TextPart(piece.text);
    out.EndText();
    if (coloured) out.Write("\x1b[0m");
  }
}

std::string ViewRowsText(const RecordingCanvas& view, std::span<const int> columns) {
  // Row band -> texts by x, later ones replacing earlier ones at the same x.
  std::map<int, std::map<int, std::string>> rows;
  for (const RecordingCanvas::PlacedText& t : view.Texts()) {
    rows[FloorDiv(t.y, kRowHeight)][t.x] = t.text;
  }
  // Where the figures of a table begin: the leftmost second text of any row. A row that
  // starts there (a heading over the figures) gets an empty first cell, so that its cells
  // stand over theirs.
  int figuresX = INT_MAX;
  for (const auto& [band, texts] : rows) {
    if (texts.size() >= 2) figuresX = std::min(figuresX, std::next(texts.begin())->first);
  }
  std::string out;
  for (const auto& [band, texts] : rows) {
    const bool columnar = std::any_of(texts.begin(), texts.end(), [&](const auto& t) {
      return std::find(columns.begin(), columns.end(), t.first) != columns.end();
    });
    std::vector<std::string> cells;
    if (columnar) {
      cells.resize(columns.size());
      std::vector<std::string> others;
      for (const auto& [x, text] : texts) {
        auto it = std::find(columns.begin(), columns.end(), x);
        if (it != columns.end()) {
          cells[static_cast<std::size_t>(it - columns.begin())] = text;
        } else {
          others.push_back(text);
        }
      }
      while (!cells.empty() && cells.back().empty()) cells.pop_back();
      cells.insert(cells.end(), others.begin(), others.end());
    } else {
      if (texts.begin()->first >= figuresX) cells.emplace_back();
      for (const auto& [x, text] : texts) cells.push_back(text);
    }
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (i > 0) line += '\t';
      line += cells[i];
    }
    out += ShownText(line);
    out += '\n';
  }
  return out;
}

}  // namespace orv::cli
