// Plain-text forms of what the batch command shows: the raw data report for a terminal and
// the texts a view window drew, laid out in rows.
#pragma once

#include <span>
#include <string>

#include "cli/output_stream.h"
#include "cli/report_document.h"
#include "platform/recording.h"

namespace orv::cli {

// The x positions of the survival-rate view's columns 0 to 5.
inline constexpr int kSurvivalRateColumns[] = {10, 320, 420, 520, 670, 760};

// The report's bytes in UTF-8 with its control characters shown (ShownControls), unchanged
// otherwise; with `ansi`, every run that is not
// black is wrapped in a 24-bit colour escape (black stays the terminal's own colour).
void WriteReportText(const ReportDocument& report, bool ansi, OutputStream& out);

// The texts a view drew, one line per 40-pixel row (the views' row height), rows without
// text left out. In a row the texts stand left to right, separated by a tab; a row that
// starts where the other rows' figures start (a heading) begins with an empty cell. With
// `columns`, a row that has a text at one of those x positions puts each such text in its
// column, leaving empty cells between (so headings stand over their figures); a later text
// at the same place replaces an earlier one, as it covers it on screen. Lines end in "\n";
// the result is UTF-8 with its control characters shown (ShownControls).
std::string ViewRowsText(const RecordingCanvas& view, std::span<const int> columns = {});

}  // namespace orv::cli
