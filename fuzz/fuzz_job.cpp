// The fuzzing harness's job: the batch command's steps for one input.
#include "fuzz/fuzz_job.h"

#include <algorithm>
#include <string>

#include "cli/encoding.h"
#include "cli/json_result.h"
#include "cli/terminal_text.h"
#include "cli/view_text.h"

namespace orv::fuzz {

FuzzJob::FuzzJob()
    : discard_(std::fopen("/dev/null", "w")),
      session_(std::make_unique<cli::BatchSession>(discard_ != nullptr ? discard_ : stderr)),
      startUp_(std::make_unique<const Workspace>(session_->ws)) {}

FuzzJob::~FuzzJob() {
  session_.reset();
  if (discard_ != nullptr) std::fclose(discard_);
}

void FuzzJob::Run(std::string_view input) {
  if (input.empty()) return;
  const unsigned control = static_cast<unsigned char>(input.front());
  input.remove_prefix(1);

  cli::BatchSession& s = *session_;
  s.ws = *startUp_;
  for (RecordingCanvas* canvas : {&s.graph, &s.legend, &s.cumulativeDeaths, &s.deathsByCause, &s.survivalRate}) {
    canvas->Reset();
  }
  // A window with too few groups keeps its previous table: start from the created window.
  s.logRank = RecordingResultText("log-rank\r\n");
  s.wilcoxon = RecordingResultText("General Wilcoxon\r\n");
  s.Load("fuzz.csv", std::string(input));

  // The command line the control byte stands for, checked as the command checks it.
  cli::CliOptions options;
  const unsigned pick = (control >> 5) & 3u;
  if ((control & 8u) != 0 && s.ws.cases.NumCauses > 0) {
    const auto cause = static_cast<std::size_t>(1 + static_cast<int>(pick) % s.ws.cases.NumCauses);
    options.censor.push_back(Cp932ToUtf8(s.ws.cases.CauseNames[cause]));
  }
  if ((control & 16u) != 0) options.groupFlags.push_back({static_cast<long>(pick), false});
  if ((control & 7u) != 7u) options.ranges.push_back(static_cast<cli::RangeCommand>(control & 7u));
  if (!s.RunChoices(options).empty()) return;

  if ((control & 0xC0u) == 0xC0u) {
    (void)cli::ResultJson(s);
  } else {
    (void)cli::TerminalText(s, true);
    for (const RecordingCanvas* view : {&s.legend, &s.cumulativeDeaths, &s.deathsByCause}) (void)cli::ViewRowsText(*view);
  }
}

}  // namespace orv::fuzz
