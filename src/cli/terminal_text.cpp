// The batch command's text output.
#include "cli/terminal_text.h"

#include "cli/encoding.h"
#include "cli/view_text.h"
#include "stats/figure_tables.h"

namespace orv::cli {
namespace {

// A heading of the text output: the caption of the window it comes from.
std::string Section(const char* caption) { return "[" + Cp932ToUtf8(caption) + "]\n"; }

}  // namespace

std::string TerminalText(const BatchSession& s, bool ansi) {
  std::string out = ReportText(s.report, ansi);
  out += "\n";
  out += Section("生存率");
  out += ViewRowsText(s.survivalRate, kSurvivalRateColumns);
  const bool tested = s.ws.tests.ShownGroupCount >= 2;
  // The program's own notice when the pairwise window is asked for with too few groups.
  const std::string notice = Cp932ToUtf8("グラフは2本以上必要です") + "\n";
  out += "\n" + Section("多重比較(Log rank)");
  out += tested ? Cp932ToUtf8(s.ws.tests.logRankTable) : notice;
  out += "\n" + Section("多重比較(General Wilcoxon)");
  out += tested ? Cp932ToUtf8(s.ws.tests.wilcoxonTable) : notice;
  out += "\n" + Cp932ToUtf8(FiguresText(s.ws));
  return out;
}

}  // namespace orv::cli
