// The two write operations of the raw data report.
#pragma once

#include <string_view>

#include "platform/rich_text_sink.h"

namespace orv {

// Inserts text + TAB, then CR LF `breaks` times (0 to 3; more counts as 3).
void ReportWrite(RichTextSink& sink, std::string_view text, int breaks);
// Inserts text + CR LF.
void ReportWriteLine(RichTextSink& sink, std::string_view text);

}  // namespace orv
