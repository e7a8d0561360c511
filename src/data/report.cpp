// The raw data report writes (to be written).
#include "data/report.h"

namespace orv {

void ReportWrite(RichTextSink&, std::string_view, int) {}

void ReportWriteLine(RichTextSink&, std::string_view) {}

}  // namespace orv
