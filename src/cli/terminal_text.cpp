// The batch command's text output.
#include "cli/terminal_text.h"

#include "cli/encoding.h"
#include "cli/reviewer_output.h"
#include "cli/view_text.h"
#include "session/analysis.h"
#include "words/competing_text.h"
#include "words/figure_tables.h"
#include "words/model_text.h"
#include "words/reviewer_text.h"

namespace orv::cli {
namespace {

// A heading of the text output: the caption of the window it comes from.
void WriteSection(OutputStream& out, const char* caption) {
  out.Write('[');
  out.WriteCp932(caption);
  out.Write("]\n");
}

}  // namespace

void WriteTerminalText(const BatchSession& s, bool ansi, OutputStream& out) {
  WriteReportText(s.report, ansi, out);
  out.Write('\n');
  WriteSection(out, "生存率");
  out.Write(ViewRowsText(s.survivalRate, kSurvivalRateColumns));
  const bool tested = s.ws.run.tests.ShownGroupCount >= 2;
  // The program's own notice when the pairwise window is asked for with too few groups.
  const char* notice = "グラフは2本以上必要です\n";
  out.Write('\n');
  WriteSection(out, "多重比較(Log rank)");
  out.WriteCp932(tested ? TextOf(s.ws, TextOutput::LogRank) : notice);
  out.Write('\n');
  WriteSection(out, "多重比較(General Wilcoxon)");
  out.WriteCp932(tested ? TextOf(s.ws, TextOutput::Wilcoxon) : notice);
  out.Write('\n');
  out.WriteCp932(FiguresText(s.ws));
  out.Write('\n');
  out.Write(ShownControls(ReviewerText(s.ws, s.ws.timeUnit)));
  if (s.ws.run.competing.active) {
    out.Write('\n');
    out.WriteCp932(CompetingRisksText(s.ws, s.ws.run.competing));
  }
  if (const std::string model = ModelText(s.ws); !model.empty()) {
    out.Write('\n');
    out.Write(ShownControls(model));
  }
}

std::string TerminalText(const BatchSession& session, bool ansi) {
  std::string text;
  {
    OutputStream out(text);
    WriteTerminalText(session, ansi, out);
  }
  return text;
}

}  // namespace orv::cli
