// The batch command's text output.
#include "cli/terminal_text.h"

#include "cli/view_text.h"
#include "stats/competing_text.h"
#include "stats/figure_tables.h"

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
  const bool tested = s.ws.tests.ShownGroupCount >= 2;
  // The program's own notice when the pairwise window is asked for with too few groups.
  const char* notice = "グラフは2本以上必要です\n";
  out.Write('\n');
  WriteSection(out, "多重比較(Log rank)");
  out.WriteCp932(tested ? std::string_view(s.ws.tests.logRankTable) : notice);
  out.Write('\n');
  WriteSection(out, "多重比較(General Wilcoxon)");
  out.WriteCp932(tested ? std::string_view(s.ws.tests.wilcoxonTable) : notice);
  out.Write('\n');
  out.WriteCp932(FiguresText(s.ws));
  if (s.ws.competing.active) {
    out.Write('\n');
    out.WriteCp932(CompetingRisksText(s.ws, s.ws.competing));
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
