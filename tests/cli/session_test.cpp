// What the batch session keeps of a redrawn canvas: the current drawing only.
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

}  // namespace
