// What the batch command prints without --json: the report and the views, as UTF-8 text.
#pragma once

#include <string>

#include "cli/output_stream.h"
#include "cli/session.h"

namespace orv::cli {

// The raw data report (ANSI-coloured with `ansi`), the survival-rate view and the two
// pairwise tables, each under its window caption in brackets, then the figures for
// publication, written as converted.
void WriteTerminalText(const BatchSession& session, bool ansi, OutputStream& out);

// The same as one string.
std::string TerminalText(const BatchSession& session, bool ansi);

}  // namespace orv::cli
