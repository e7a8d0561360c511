// One input of the fuzzing harness, run through the whole job of the batch command in this
// process: the load, the analysis run, both pairwise tables, every view on its recording
// canvas, and the text or JSON result.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

#include "cli/session.h"
#include "session/workspace.h"

namespace orv::fuzz {

// The first byte of an input chooses what happens after the load; the rest is the data file.
//   bits 0-2  an X range command: 0 5y, 1 10y, 2 +1y, 3 +5y, 4 -1y, 5 -5y, 6 longest, 7 none
//   bit 3     censor one cause of death (a second load)
//   bit 4     hide one group
//   bits 5-6  which cause (1 + n modulo the causes) and which group (0 to 3; a group
//             beyond the data is refused as the command line refuses it)
//   bits 6-7  both set: the JSON result instead of the terminal text (a quarter of the
//             inputs, as building the JSON costs more than the rest of a run)
class FuzzJob {
 public:
  FuzzJob();
  ~FuzzJob();
  FuzzJob(const FuzzJob&) = delete;
  FuzzJob& operator=(const FuzzJob&) = delete;

  void Run(std::string_view input);

 private:
  std::FILE* discard_;  // the message boxes' standard error
  std::unique_ptr<cli::BatchSession> session_;
  // The start-up workspace, copied over the session's before every input: a copy into the
  // tables already there costs far less than building them afresh, and no input can leave
  // state behind for the next.
  std::unique_ptr<const Workspace> startUp_;
};

}  // namespace orv::fuzz
