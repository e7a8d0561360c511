// The paragraphs for the paper in the batch command: the JSON member paper and the files of
// --out (paper-en.txt, paper-ja.txt and paper-trace.csv).
#pragma once

#include <string>

#include "cli/json_writer.h"
#include "session/workspace.h"

namespace orv::cli {

// The value of paper: {"en", "ja"}, each both paragraphs under their headings.
void WritePaperJson(JsonWriter& json, const Workspace& ws);

// paper-en.txt and paper-ja.txt (UTF-8, control characters shown as ^X) and paper-trace.csv
// (UTF-8 with a byte-order mark, names whole) into the existing directory `dir`. Empty on
// success, else the error line.
std::string WritePaperFiles(const Workspace& ws, const std::string& dir);

}  // namespace orv::cli
