// The files of --out: the main graph as PNG and SVG, the view windows as PNG, and the text
// of each view, of the pairwise tables and of the raw data report.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/session.h"
#include "platform/recording.h"

namespace orv::cli {

// Writes the recorded drawing as a PNG (lines not antialiased) or an SVG file of the
// canvas's client size. Empty on success, else the error line.
std::string WritePng(const RecordingCanvas& canvas, std::size_t drawFrom, BkMode initialMode, const std::string& path);
std::string WriteSvg(const RecordingCanvas& canvas, std::size_t drawFrom, BkMode initialMode, const std::string& path);

// Every file of --out into `dir`, which is created when missing; `bands` adds the 95 %
// bands to the publication figure. Empty on success, else the error line.
std::string WriteOutputs(const BatchSession& session, const std::string& dir, bool bands = false);

}  // namespace orv::cli
