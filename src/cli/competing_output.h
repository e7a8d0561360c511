// The competing-risks figures of the batch command: the JSON member competingRisks, and the
// files of --out (cumulative-incidence.csv and the figure as PDF, SVG and PNG).
#pragma once

#include <string>

#include "cli/json_writer.h"
#include "graph/publication_figure.h"
#include "session/workspace.h"

namespace orv::cli {

// The value of competingRisks: null without a censored cause.
void WriteCompetingRisksJson(JsonWriter& json, const Workspace& ws);

// cumulative-incidence.csv, .pdf, .svg, .png and .tif into the existing directory `dir`, only
// with a censored cause, drawn in the figures' settings. Empty on success, else the error line.
std::string WriteCompetingRisksFiles(const Workspace& ws, const FigureSettings& settings, const std::string& dir);

}  // namespace orv::cli
