// Speed of one load: parsing, checking, counting and the raw data report of a million rows.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "session/analysis.h"
#include "platform/recording.h"

namespace {

// A deterministic file like a large registry export: four groups, three causes, a few rows
// with notes or exclusions.
std::string MillionRows() {
  const char* groups[] = {"標準治療", "新規治療A", "新規治療B", "経過観察"};
  const char* causes[] = {"癌死", "他病死", "心疾患"};
  std::string file = "'群,生存日数,転帰,死因\r\n";
  file.reserve(32'000'000);
  std::uint32_t seed = 12345;
  for (int i = 0; i < 1'000'000; ++i) {
    seed = seed * 1103515245u + 12345u;
    const std::uint32_t r = seed >> 8;
    file += groups[r % 4];
    file += ',';
    file += std::to_string(r % 4000);
    if (r % 3 == 0) {
      file += ",死亡,";
      if (r % 97 != 0) file += causes[(r >> 4) % 3];
    } else {
      file += ",生存";
    }
    if (r % 1009 == 0) file += "x";  // an occasional malformed days field is excluded
    file += "\r\n";
  }
  return file;
}

void BM_LoadMillionRows(benchmark::State& state) {
  const std::string file = MillionRows();
  auto ws = std::make_unique<orv::Workspace>();
  for (auto _ : state) {
    orv::RecordingRichText report;
    orv::RecordingMessageBoxes boxes;
    orv::LoadDataBytes("bench.csv", file, *ws, report, boxes);
    benchmark::DoNotOptimize(ws->cases.counters.total);
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_LoadMillionRows)->Unit(benchmark::kMillisecond);

}  // namespace
