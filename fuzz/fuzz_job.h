// One input of the fuzzing harness, run through the whole job of the batch command in this
// process: the load, the analysis run, both pairwise tables, every view on its recording
// canvas, the text or JSON result, the publication and cumulative incidence figures' layouts
// and the CSV files of --out, and on request the figures and views drawn by Cairo.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "cli/session.h"
#include "session/workspace.h"

namespace orv::fuzz {

// The first byte of an input chooses the menu commands after the load:
//   bits 0-2  an X range command: 0 5y, 1 10y, 2 +1y, 3 +5y, 4 -1y, 5 -5y, 6 longest, 7 none
//   bit 3     censor one cause of death (a second load; the competing risks run)
//   bit 4     hide one group
//   bits 5-6  which cause (1 + n modulo the causes) and which group (0 to 3; a group
//             beyond the data is refused as the command line refuses it)
//   bits 6-7  both set: the JSON result instead of the terminal text (a quarter of the
//             inputs, as building the JSON costs more than the rest of a run)
// The second byte chooses the files of --out:
//   bits 0-1  the figure's palette: 0 and 3 Okabe-Ito, 1 the program's, 2 grey
//   bit 2     the 95 % bands (--ci)
//   bits 3-4  --reference: 0 none, 1 group 1 by its name, 2 and 3 that group's number;
//             also the figures' months axis (bit 3) and no censor marks (bit 4)
//   bit 5     the CSV files (half the inputs: their numbers' text costs more than the run)
//   bits 5-7  all set: every file of --out, the figures and views drawn by Cairo with them
//             (an eighth of the inputs, as the drawing costs several runs)
// The figures' layouts are made and checked for every input.
// The rest is the data file.
class FuzzJob {
 public:
  // The files of --out go into `scratchDir`, made when missing; empty: a folder of this
  // process's own in /dev/shm, removed again by the destructor.
  explicit FuzzJob(std::string scratchDir = {});
  ~FuzzJob();
  FuzzJob(const FuzzJob&) = delete;
  FuzzJob& operator=(const FuzzJob&) = delete;

  void Run(std::string_view input);

 private:
  void WriteFiles(unsigned outputs) const;

  std::FILE* discard_;  // the message boxes' standard error
  std::unique_ptr<cli::BatchSession> session_;
  // The start-up workspace, copied over the session's before every input: a copy into the
  // tables already there costs far less than building them afresh, and no input can leave
  // state behind for the next.
  std::unique_ptr<const Workspace> startUp_;
  std::string scratch_;
  // The process that made its own scratch folder removes it; the children AFL++ forks from
  // it share the folder and leave it.
  int scratchOwner_ = 0;
};

}  // namespace orv::fuzz
