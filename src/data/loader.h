// The data file loader: reads a file of cases, checks every row, counts the accepted rows
// into the case tables and writes the raw data report as it goes.
#pragma once

#include <string>
#include <string_view>

#include "data/workspace.h"
#include "platform/message_boxes.h"
#include "platform/rich_text_sink.h"

namespace orv {

// Rebuilds every case table of the workspace from the file, resets the X range to five
// years, sets the shown flags (groups of 8 or more rows) and the view sizes, and leaves the
// raw data report in the sink. A file that cannot be read reads as empty. Bad rows never
// stop the load. It does not compute the survival tables; see LoadAndAnalyse. The report
// prints shownPath when given: the path in the program's code page where the platform's
// own path bytes are in another (UTF-8 on Linux).
void LoadDataFile(const std::string& path, Workspace& ws, RichTextSink& report, MessageBoxes& boxes,
                  std::string_view shownPath = {});

// The same for bytes already in memory; the path is only printed in the report.
void LoadDataBytes(std::string_view path, std::string_view bytes, Workspace& ws, RichTextSink& report,
                   MessageBoxes& boxes);

// Removes half-width blanks, full-width blanks and double quotes from both ends.
std::string_view TrimField(std::string_view field);

}  // namespace orv
