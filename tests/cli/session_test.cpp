// What the batch session keeps of a redrawn canvas: the current drawing and the state in
// force where it began.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/session.h"

namespace {

using orv::CanvasOp;
using orv::RecordingCanvas;
using K = CanvasOp::Kind;

CanvasOp State(K kind, int value) {
  return {.kind = kind, .pen = {.style = kind == K::SelectPen ? value : 0}, .colour = static_cast<orv::Rgb>(value), .value = value};
}
CanvasOp Line(int x) { return {.kind = K::LineTo, .x = x}; }
CanvasOp Fill(int right, int bottom) { return {.kind = K::Fill, .rect = {0, 0, right, bottom}}; }

TEST(KeepCurrentDrawing, KeepsTheLastRedrawAndTheStateInForce) {
  struct Case {
    const char* name;
    std::vector<CanvasOp> ops;
    std::vector<CanvasOp> kept;
  };
  const Case cases[] = {
      {"without a full redraw nothing is dropped",
       {State(K::SelectPen, 1), Line(5), Line(6)},
       {State(K::SelectPen, 1), Line(5), Line(6)}},
      {"a fill of part of the client area is no redraw",
       {Fill(100, 50), Line(1), Fill(99, 100), Line(2)},
       {Fill(100, 50), Line(1), Fill(99, 100), Line(2)}},
      {"the earlier drawing goes; the last pen, font and colour before the redraw stay in order",
       {State(K::SelectPen, 1), State(K::SelectFont, 2), Fill(100, 100), Line(3), State(K::SelectPen, 4),
        State(K::TextColour, 5), Fill(100, 100), Line(6)},
       {State(K::SelectFont, 2), State(K::SelectPen, 4), State(K::TextColour, 5), Fill(100, 100), Line(6)}},
      {"the background colour and mode are state too",
       {State(K::BkMode, 1), State(K::BkColour, 2), Line(3), Fill(120, 110), Line(4)},
       {State(K::BkMode, 1), State(K::BkColour, 2), Fill(120, 110), Line(4)}},
  };
  for (const Case& c : cases) {
    RecordingCanvas canvas({0, 0, 100, 100});
    canvas.ops = c.ops;
    orv::cli::KeepCurrentDrawing(canvas);
    EXPECT_EQ(canvas.ops, c.kept) << c.name;
  }
}

// Each range command redraws every canvas of the session; a canvas that kept its earlier
// drawings would grow with the number of commands.
TEST(BatchSession, RangeCommandsKeepOnlyTheCurrentDrawings) {
  orv::cli::BatchSession session(stderr, true);
  std::string rows;
  for (int i = 1; i <= 10; ++i) rows += "A," + std::to_string(90 * i) + ",死亡,癌\r\nB," + std::to_string(70 * i) + ",生存\r\n";
  session.Load("two.csv", rows);
  const auto sizes = [&] {
    std::vector<std::size_t> n;
    for (const RecordingCanvas* c : {&session.graph, &session.legend, &session.cumulativeDeaths, &session.deathsByCause,
                                     &session.survivalRate, &session.numberAtRisk}) {
      n.push_back(c->ops.size());
    }
    return n;
  };
  using orv::cli::RangeCommand;
  session.ApplyRange(RangeCommand::PlusOneYear);
  session.ApplyRange(RangeCommand::MinusOneYear);
  const std::vector<std::size_t> once = sizes();
  for (int i = 0; i < 3; ++i) {
    session.ApplyRange(RangeCommand::PlusOneYear);
    session.ApplyRange(RangeCommand::MinusOneYear);
  }
  EXPECT_EQ(sizes(), once);
}

}  // namespace
