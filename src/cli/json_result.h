// The whole result of a run as one JSON document (UTF-8), for programs that read it.
#pragma once

#include <string>

#include "cli/output_stream.h"
#include "cli/session.h"

namespace orv::cli {

// Counters, range, groups with their weekly tables, causes, the overall and pairwise tests,
// the pairwise tables, the raw data report with its colour runs and the message box texts,
// written as they are read from the workspace. Undefined figures (a NaN statistic, tests
// with fewer than two shown groups) are null.
void WriteResultJson(const BatchSession& session, OutputStream& out);
// The same as one string.
std::string ResultJson(const BatchSession& session);

// "#rrggbb".
std::string ColourText(Rgb colour);

}  // namespace orv::cli
