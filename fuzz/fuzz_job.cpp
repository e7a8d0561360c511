// The fuzzing harness's job: the batch command's steps for one input.
#include "fuzz/fuzz_job.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "cli/competing_output.h"
#include "cli/csv_output.h"
#include "cli/encoding.h"
#include "cli/figure_output.h"
#include "cli/image_output.h"
#include "cli/json_result.h"
#include "cli/output_stream.h"
#include "cli/terminal_text.h"
#include "cli/view_text.h"
#include "graph/incidence_figure.h"
#include "graph/publication_figure.h"
#include "words/competing_text.h"

namespace orv::fuzz {
namespace {

// Nothing an input holds may stop the files of --out being written into a folder that is
// there for them: a refused write or drawing is a fault, made a crash so that AFL++ keeps it.
void Require(const std::string& error) {
  if (error.empty()) return;
  std::fprintf(stderr, "fuzz: %s\n", error.c_str());
  std::abort();
}

FigurePalette PaletteOf(unsigned outputs) {
  constexpr FigurePalette kPalettes[] = {FigurePalette::OkabeIto, FigurePalette::Program, FigurePalette::Grey,
                                         FigurePalette::OkabeIto};
  return kPalettes[outputs & 3u];
}

bool Finite(double v) { return std::isfinite(v); }

// Every place and size of a layout is a finite number: a NaN or an infinity drawn is a
// figure gone wrong, whichever renderer shows it (Cairo ends its drawing on one).
void RequireFinite(const FigureLayout& layout) {
  bool finite = Finite(layout.plotLeft) && Finite(layout.plotTop) && Finite(layout.plotRight) &&
                Finite(layout.plotBottom) && Finite(layout.dotsPerWeek);
  for (const FigureFill& f : layout.fills) {
    for (const FigurePoint& p : f.points) finite = finite && Finite(p.x) && Finite(p.y);
  }
  for (const FigureLine& l : layout.lines) {
    for (const FigurePoint& p : l.points) finite = finite && Finite(p.x) && Finite(p.y);
  }
  for (const FigureText& t : layout.texts) finite = finite && Finite(t.x) && Finite(t.y) && Finite(t.size) && t.size > 0;
  if (!finite) Require("a figure's layout holds a number that is not finite");
}

}  // namespace

FuzzJob::FuzzJob(std::string scratchDir)
    : discard_(std::fopen("/dev/null", "w")),
      session_(std::make_unique<cli::BatchSession>(discard_ != nullptr ? discard_ : stderr)),
      startUp_(std::make_unique<const Workspace>(session_->ws)),
      scratch_(std::move(scratchDir)) {
  if (scratch_.empty()) {
    scratch_ = "/dev/shm/orvantis-fuzz-" + std::to_string(getpid());
    scratchOwner_ = static_cast<int>(getpid());
  }
  Require(cli::PrepareOutDir(scratch_, {}));
}

FuzzJob::~FuzzJob() {
  session_.reset();
  if (discard_ != nullptr) std::fclose(discard_);
  // The fonts the layouts' measures and the drawings loaded, released as the command releases them.
  cli::ReleaseFontCaches();
  if (scratchOwner_ != 0 && scratchOwner_ == static_cast<int>(getpid())) {
    std::error_code ec;
    std::filesystem::remove_all(scratch_, ec);
  }
}

void FuzzJob::Run(std::string_view input) {
  if (input.size() < 2) return;
  const unsigned control = static_cast<unsigned char>(input[0]);
  const unsigned outputs = static_cast<unsigned char>(input[1]);
  input.remove_prefix(2);

  cli::BatchSession& s = *session_;
  s.ws = *startUp_;
  for (RecordingCanvas* canvas : {&s.graph, &s.legend, &s.cumulativeDeaths, &s.deathsByCause, &s.survivalRate}) {
    canvas->Reset();
  }
  // A window with too few groups keeps its previous table: start from the created window.
  s.logRank = RecordingResultText("log-rank\r\n");
  s.wilcoxon = RecordingResultText("General Wilcoxon\r\n");
  s.Load("fuzz.csv", std::string(input));

  // The command line the control bytes stand for, checked as the command checks it.
  cli::CliOptions options;
  const unsigned pick = (control >> 5) & 3u;
  if ((control & 8u) != 0 && s.ws.cases.NumCauses > 0) {
    const auto cause = static_cast<std::size_t>(1 + static_cast<int>(pick) % s.ws.cases.NumCauses);
    options.censor.push_back(Cp932ToUtf8(s.ws.cases.CauseNames[cause]));
  }
  if ((control & 16u) != 0) options.groupFlags.push_back({static_cast<long>(pick), false});
  if ((control & 7u) != 7u) options.ranges.push_back(static_cast<cli::RangeCommand>(control & 7u));
  options.palette = PaletteOf(outputs);
  options.ci = (outputs & 4u) != 0;
  if (const unsigned reference = (outputs >> 3) & 3u; reference == 1u) {
    // The command line refuses an empty value before the load.
    if (s.ws.cases.GroupNames[1].empty()) return;
    options.reference = Cp932ToUtf8(s.ws.cases.GroupNames[1]);
  } else if (reference != 0) {
    options.reference = std::to_string(reference);
  }
  if (!s.RunChoices(options).empty()) return;

  if ((control & 0xC0u) == 0xC0u) {
    (void)cli::ResultJson(s);
  } else {
    (void)cli::TerminalText(s, true);
    for (const RecordingCanvas* view : {&s.legend, &s.cumulativeDeaths, &s.deathsByCause}) (void)cli::ViewRowsText(*view);
  }
  WriteFiles(outputs);
}

void FuzzJob::WriteFiles(unsigned outputs) const {
  const cli::BatchSession& s = *session_;
  const Workspace& ws = s.ws;
  // The reference's bits also choose the time axis and the censor marks: the layout reads them.
  const FigureSettings settings{.palette = PaletteOf(outputs),
                                .bands = (outputs & 4u) != 0,
                                .timeUnit = (outputs & 8u) != 0 ? FigureTimeUnit::Months : FigureTimeUnit::Auto,
                                .censorMarks = (outputs & 16u) == 0};

  // The layouts as the Cairo output lays them out, checked whether or not they are drawn.
  RequireFinite(cli::SurvivalFigureLayout(ws, settings));
  if (ws.run.competing.active) RequireFinite(cli::IncidenceFigureLayout(ws, settings));

  if ((outputs & 0xE0u) == 0xE0u) {
    // The whole of --out as the command writes it.
    Require(cli::WriteOutputs(s, scratch_, settings));
    Require(cli::WriteFigureTables(ws, scratch_));
    Require(cli::WriteCompetingRisksFiles(ws, settings, scratch_));
  } else if ((outputs & 0x20u) != 0) {
    // The tables alone, the cumulative incidence among them while deaths compete.
    Require(cli::WriteFigureTables(ws, scratch_));
  }
}

}  // namespace orv::fuzz
