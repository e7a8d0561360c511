// The whole batch job on the generated 1,000,000-row file, from the load to the last byte of
// its output: in this process (time), and as the real command (time and peak memory).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "case_file.h"
#include "cli/batch.h"

namespace {

namespace fs = std::filesystem;

// The generated file, written once per benchmark process and removed at its end.
class CaseFile {
 public:
  CaseFile() : path_(fs::temp_directory_path() / ("orvantis_bench_" + std::to_string(getpid()) + ".csv")) {
    const std::string bytes = orv::bench::GeneratedCaseFile(orv::bench::kMillionRows);
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
      std::perror(path_.c_str());
    }
  }
  ~CaseFile() {
    std::error_code ec;
    fs::remove(path_, ec);
  }
  CaseFile(const CaseFile&) = delete;
  CaseFile& operator=(const CaseFile&) = delete;
  std::string Path() const { return path_.string(); }

 private:
  fs::path path_;
};

const CaseFile& MillionRowFile() {
  static const CaseFile file;
  return file;
}

// The batch job in this process, its output thrown away by the kernel.
void RunInProcess(benchmark::State& state, std::vector<std::string> args) {
  args.insert(args.begin(), MillionRowFile().Path());
  std::FILE* out = std::fopen("/dev/null", "w");
  std::FILE* err = std::fopen("/dev/null", "w");
  for (auto _ : state) {
    const int status = orv::cli::RunBatch(args, out, err);
    if (status != 0) state.SkipWithError("the batch job failed");
  }
  std::fclose(out);
  std::fclose(err);
  state.SetItemsProcessed(state.iterations() * orv::bench::kMillionRows);
}

void BM_BatchJobText(benchmark::State& state) { RunInProcess(state, {}); }
BENCHMARK(BM_BatchJobText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_BatchJobJson(benchmark::State& state) { RunInProcess(state, {"--json"}); }
BENCHMARK(BM_BatchJobJson)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// <chrono> holds a literal that code page 932 cannot hold.
double Seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// The real command as a child process with its output to /dev/null: the wall time of the
// whole process and its peak resident memory (MB) as the kernel counted it.
void RunCommand(benchmark::State& state, const std::vector<std::string>& options, bool sample = false) {
  std::string command = std::string(ORVANTIS_PEAK_MEMORY) + " " + ORVANTIS_COMMAND + " " +
                        (sample ? std::string(ORVANTIS_SAMPLE) : MillionRowFile().Path());
  for (const std::string& option : options) command += " " + option;
  long peakKb = 0;
  for (auto _ : state) {
    const double start = Seconds();
    std::FILE* pipe = popen(command.c_str(), "r");
    long kb = 0;
    int status = -1;
    if (pipe == nullptr || std::fscanf(pipe, "%ld %d", &kb, &status) != 2) status = -1;
    if (pipe != nullptr) pclose(pipe);
    state.SetIterationTime(Seconds() - start);
    if (status != 0) state.SkipWithError("the command failed");
    peakKb = std::max(peakKb, kb);
  }
  state.counters["peakMB"] = static_cast<double>(peakKb) / 1024.0;
}

void BM_CommandText(benchmark::State& state) { RunCommand(state, {}); }
BENCHMARK(BM_CommandText)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);

void BM_CommandJson(benchmark::State& state) { RunCommand(state, {"--json"}); }
BENCHMARK(BM_CommandJson)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);

// The sample with N pairs of range commands: the peak memory stays that of a single one.
void BM_CommandRangeCommands(benchmark::State& state) {
  std::vector<std::string> options;
  for (int64_t i = 0; i < state.range(0); ++i) {
    options.push_back("--range=+1y");
    options.push_back("--range=-1y");
  }
  RunCommand(state, options, true);
}
BENCHMARK(BM_CommandRangeCommands)->Arg(1)->Arg(2500)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace
