// Speed of the journal figure at 600 dpi: the survival figure of 20 groups laid out in the
// fonts it is drawn with, drawn by Cairo at 4016 x 2834 pixels and written as a PackBits TIFF,
// as the batch command writes figure.tif (at 300 dpi) and a journal asks for at 600.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "case_file.h"
#include "cli/figure_output.h"
#include "cli/session.h"

namespace {

// 100,000 generated cases: the 20 groups each run over the whole 5-year range with censored
// cases in most weeks, so every curve has hundreds of steps and marks.
const orv::cli::BatchSession& TwentyGroups() {
  static orv::cli::BatchSession* session = [] {
    auto* s = new orv::cli::BatchSession(stderr, false);
    s->Load("generated.csv", orv::bench::GeneratedCaseFile(100'000));
    return s;
  }();
  return *session;
}

void BM_FigureTiff600Dpi20Groups(benchmark::State& state) {
  const orv::Workspace& ws = TwentyGroups().ws;
  std::size_t bytes = 0, shapes = 0;
  for (auto _ : state) {
    const orv::FigureLayout layout = orv::cli::SurvivalFigureLayout(ws, {});
    cairo_status_t status = CAIRO_STATUS_SUCCESS;
    const std::string tiff = orv::cli::RasterFigure(layout, orv::cli::FigureFormat::Tiff, 600, status);
    if (status != CAIRO_STATUS_SUCCESS || tiff.empty()) state.SkipWithError("the figure was not drawn");
    bytes = tiff.size();
    shapes = layout.lines.size() + layout.texts.size();
    benchmark::DoNotOptimize(tiff.data());
  }
  state.counters["groups"] = static_cast<double>(ws.run.tests.ShownGroupCount);
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["shapes"] = static_cast<double>(shapes);
}
BENCHMARK(BM_FigureTiff600Dpi20Groups)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same figure laid out only: the part both programs share before any drawing.
void BM_FigureLayout20Groups(benchmark::State& state) {
  const orv::Workspace& ws = TwentyGroups().ws;
  for (auto _ : state) {
    const orv::FigureLayout layout = orv::cli::SurvivalFigureLayout(ws, {});
    benchmark::DoNotOptimize(layout.lines.data());
  }
}
BENCHMARK(BM_FigureLayout20Groups)->Unit(benchmark::kMillisecond);

}  // namespace
