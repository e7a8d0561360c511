// The files of --out: the main graph as PNG and SVG, the view windows as PNG, and the text
// of each view, of the pairwise tables and of the raw data report.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/session.h"
#include "platform/recording.h"

namespace orv::cli {

// The names of the files of --out.
inline constexpr const char* kOutNames[] = {
    "graph.png", "graph.svg", "legend.png", "legend.txt", "survival-rate.png", "survival-rate.txt",
    "cumulative-deaths.png", "cumulative-deaths.txt", "deaths-by-cause.png", "deaths-by-cause.txt",
    "number-at-risk.png", "number-at-risk.txt", "report.txt", "log-rank.txt", "wilcoxon.txt", "figure.pdf",
    "figure.svg", "figure.png", "figure.tif", "life-tables.csv", "pairs.csv", "cumulative-incidence.csv",
    "cumulative-incidence.pdf", "cumulative-incidence.svg", "cumulative-incidence.png", "cumulative-incidence.tif",
    "medians.csv", "hazard-ratios.csv",
    "paper-en.txt", "paper-ja.txt", "paper-trace.csv", "model.csv", "forest.pdf", "forest.svg", "forest.png"};

// Writes the recorded drawing as a PNG (lines not antialiased) or an SVG file of the
// canvas's client size, as the file `name` of `dir`. Empty on success, else the error line.
std::string WritePng(const RecordingCanvas& canvas, std::size_t drawFrom, BkMode initialMode, const std::string& dir,
                     const std::string& name);
std::string WriteSvg(const RecordingCanvas& canvas, std::size_t drawFrom, BkMode initialMode, const std::string& dir,
                     const std::string& name);

// The folder of --out made ready before the run: created when missing; refused when it is
// not a folder, or when one of the output names in it is the data file `dataPath` (a rename
// onto it would lose the data). Empty when ready, else the error line.
std::string PrepareOutDir(const std::string& dir, const std::string& dataPath);

// Every file of --out but the CSV files into `dir`, created when missing, the publication
// figure in the figures' settings. Empty on success, else the error line.
std::string WriteOutputs(const BatchSession& session, const std::string& dir, const FigureSettings& figure = {});

}  // namespace orv::cli
