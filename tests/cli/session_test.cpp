// What the batch session keeps of a redrawn canvas: the current drawing and the state in
// force where it began.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/session.h"

namespace {

// Each range command redraws every canvas of the session; a canvas that kept its earlier
// drawings would grow with the number of commands.
TEST(BatchSession, RangeCommandsKeepOnlyTheCurrentDrawings) {
  orv::cli::BatchSession session(stderr, true);
  std::string rows;
  for (int i = 1; i <= 10; ++i) rows += "A," + std::to_string(90 * i) + ",死亡,癌\r\nB," + std::to_string(70 * i) + ",生存\r\n";
  session.Load("two.csv", rows);
  const auto sizes = [&] {
    std::vector<std::size_t> n;
    for (const orv::RecordingCanvas* c : {&session.graph, &session.legend, &session.cumulativeDeaths, &session.deathsByCause,
                                     &session.survivalRate, &session.numberAtRisk})
      n.push_back(c->ops.size());
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

// The drawing before the last full redraw goes; of its state, the last pen, font and colour
// stay, in their order, so that a replay of the kept drawing paints the same picture.
TEST(KeepCurrentDrawing, KeepsTheLastRedrawAndTheStateInForce) {
  using K = orv::CanvasOp::Kind;
  // An empty client area: a fill of the empty rectangle is a full redraw.
  const auto op = [](K kind, int value) { return orv::CanvasOp{.kind = kind, .x = value, .value = value}; };
  orv::RecordingCanvas canvas(orv::Rect{});
  canvas.ops = {op(K::SelectPen, 1), op(K::SelectFont, 2), op(K::Fill, 0), op(K::LineTo, 3),
                op(K::SelectPen, 4), op(K::TextColour, 5), op(K::Fill, 0), op(K::LineTo, 6)};
  orv::KeepCurrentDrawing(canvas);
  EXPECT_EQ(canvas.ops, (std::vector<orv::CanvasOp>{op(K::SelectFont, 2), op(K::SelectPen, 4), op(K::TextColour, 5),
                                                    op(K::Fill, 0), op(K::LineTo, 6)}));
}

}  // namespace
