// The command line of the batch command: the data file and the options that mirror the
// menu commands and the setting windows.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "graph/publication_figure.h"
#include "session/commands.h"
#include "words/paper_text.h"

namespace orv::cli {

// The X range commands of the menu.
using RangeCommand = orv::RangeCommand;

// The colours of the publication figure.
using FigurePalette = orv::FigurePalette;

struct GroupFlag {
  long group = 0;  // checked against the loaded groups after the load
  bool shown = false;
};

struct CliOptions {
  std::string path;
  std::vector<std::string> censor;  // cause names in UTF-8
  std::vector<GroupFlag> groupFlags;  // in command-line order
  std::vector<RangeCommand> ranges;   // in command-line order
  std::optional<std::string> outDir;
  // The reference group of the hazard ratios: a group number or name (UTF-8), checked
  // against the loaded groups after the load; applied after the range commands.
  std::optional<std::string> reference;
  FigurePalette palette = FigurePalette::OkabeIto;
  TimeUnit timeUnit = TimeUnit::Months;  // of the paragraphs for the paper
  bool timeUnitGiven = false;            // the figure's axis follows the range unless it was
  std::optional<FigureYRange> yLimits;   // --ylim LO,HI
  bool censorMarks = true;
  // English labels for the English paragraph, in command-line order: "G=TEXT" with G a group
  // number or name, "NAME=TEXT" with NAME a cause (UTF-8), checked after the load.
  std::vector<std::pair<std::string, std::string>> labels, causeLabels;
  // The adjusted analyses, by the covariate columns' names (UTF-8), checked after the load:
  // the covariates in order, the strata and subgroup columns, and "NAME=REF" reference levels.
  std::vector<std::string> covariates;
  std::optional<std::string> strata, subgroup;
  std::vector<std::pair<std::string, std::string>> levels;
  bool json = false;
  bool ci = false;  // the figure's 95 % bands
  bool help = false;
};

struct OptionError {
  std::string message;  // one line, without the program name
};

// Options may come before or after the file; "--name value" and "--name=value" both work;
// "--" ends the options.
std::variant<CliOptions, OptionError> ParseOptions(const std::vector<std::string>& args);

std::optional<RangeCommand> ParseRangeCommand(const std::string& text);

// The figures' settings of the command line: --palette, --ci, --ylim, --no-censor-marks, and
// the axis in months or years when --time-unit names one (weeks, which no journal's axis
// counts, leaves the axis to follow the range).
FigureSettings FigureSettingsOf(const CliOptions& options);

// The usage text printed by --help (UTF-8).
const char* UsageText();

}  // namespace orv::cli
