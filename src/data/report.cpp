// The two write operations of the raw data report.
#include "data/report.h"

#include <algorithm>

namespace orv {

namespace {

// TAB followed by the most line breaks a write can ask for; a write inserts a prefix of it.
constexpr std::string_view kTabAndBreaks = "\t\r\n\r\n\r\n";

}  // namespace

void ReportWrite(RichTextSink& sink, std::string_view text, int breaks) {
  const int n = std::clamp(breaks, 0, 3);
  sink.Insert(text);
  sink.Insert(kTabAndBreaks.substr(0, 1 + 2 * static_cast<std::size_t>(n)));
}

void ReportWriteLine(RichTextSink& sink, std::string_view text) {
  sink.Insert(text);
  sink.Insert("\r\n");
}

}  // namespace orv
