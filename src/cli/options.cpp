// Parsing of the batch command's command line.
#include "cli/options.h"

#include <algorithm>
#include <array>
#include <utility>

namespace orv::cli {
namespace {

constexpr std::array<std::pair<const char*, RangeCommand>, 7> kRangeWords = {{
    {"5y", RangeCommand::FiveYears},
    {"10y", RangeCommand::TenYears},
    {"+1y", RangeCommand::PlusOneYear},
    {"+5y", RangeCommand::PlusFiveYears},
    {"-1y", RangeCommand::MinusOneYear},
    {"-5y", RangeCommand::MinusFiveYears},
    {"longest", RangeCommand::Longest},
}};

// The text without the blanks around it: "age, sex" names "sex".
std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A group index: decimal digits only. Values too long to be a group are kept as -1 so that
// the check after the load reports them like any other unknown index.
std::optional<long> ParseGroupIndex(const std::string& text) {
  if (text.empty()) return std::nullopt;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    if (value < 1000000) value = value * 10 + (c - '0');
  }
  return value >= 1000000 ? -1 : value;
}

}  // namespace

std::optional<RangeCommand> ParseRangeCommand(const std::string& text) {
  for (const auto& [word, command] : kRangeWords) {
    if (text == word) return command;
  }
  return std::nullopt;
}

FigureSettings FigureSettingsOf(const CliOptions& options) {
  FigureSettings settings{.palette = options.palette, .bands = options.ci, .yRange = options.yLimits, .censorMarks = options.censorMarks};
  if (options.timeUnitGiven && options.timeUnit != TimeUnit::Weeks) {
    settings.timeUnit = options.timeUnit == TimeUnit::Months ? FigureTimeUnit::Months : FigureTimeUnit::Years;
  }
  return settings;
}

std::variant<CliOptions, OptionError> ParseOptions(const std::vector<std::string>& args) {
  CliOptions options;
  bool haveFile = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      if (arg.size() > 1 && arg[0] == '-' && !optionsEnded) return OptionError{"unknown option '" + arg + "'"};
      if (haveFile) return OptionError{"only one data file can be given ('" + options.path + "' and '" + arg + "')"};
      options.path = arg;
      haveFile = true;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::optional<std::string> inlineValue;
    if (std::size_t eq = arg.find('='); eq != std::string::npos) {
      inlineValue = arg.substr(eq + 1);
      arg.resize(eq);
    }
    const bool takesValue = arg == "--range" || arg == "--censor" || arg == "--hide" || arg == "--show" || arg == "--out" ||
                            arg == "--reference" || arg == "--palette" || arg == "--time-unit" || arg == "--label" ||
                            arg == "--label-cause" || arg == "--covariates" || arg == "--strata" || arg == "--subgroup" ||
                            arg == "--level" || arg == "--ylim";
    if (!takesValue) {
      if (inlineValue) return OptionError{"option '" + arg + "' takes no value"};
      if (arg == "--json") {
        options.json = true;
      } else if (arg == "--ci") {
        options.ci = true;
      } else if (arg == "--no-censor-marks") {
        options.censorMarks = false;
      } else if (arg == "--help") {
        options.help = true;
      } else {
        return OptionError{"unknown option '" + arg + "'"};
      }
      continue;
    }
    std::string value;
    if (inlineValue) {
      value = *inlineValue;
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return OptionError{"option '" + arg + "' needs a value"};
    }
    if (arg == "--range") {
      std::optional<RangeCommand> command = ParseRangeCommand(value);
      if (!command) return OptionError{"unknown range '" + value + "' (use 5y, 10y, +1y, +5y, -1y, -5y or longest)"};
      options.ranges.push_back(*command);
    } else if (arg == "--censor") {
      if (value.empty()) return OptionError{"option '--censor' needs a cause of death"};
      options.censor.push_back(value);
    } else if (arg == "--hide" || arg == "--show") {
      std::optional<long> group = ParseGroupIndex(value);
      if (!group) return OptionError{"option '" + arg + "' needs a group index, not '" + value + "'"};
      options.groupFlags.push_back({*group, arg == "--show"});
    } else if (arg == "--reference") {
      if (value.empty()) return OptionError{"option '--reference' needs a group number or name"};
      options.reference = value;
    } else if (arg == "--covariates") {
      for (std::size_t start = 0;;) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        std::string name = Trimmed(value.substr(start, comma - start));
        if (name.empty()) return OptionError{"option '--covariates' needs NAME,NAME,..., not '" + value + "'"};
        options.covariates.push_back(std::move(name));
        if (comma == value.size()) break;
        start = comma + 1;
      }
    } else if (arg == "--strata" || arg == "--subgroup") {
      if (value.empty()) return OptionError{"option '" + arg + "' needs a covariate's name"};
      (arg == "--strata" ? options.strata : options.subgroup) = value;
    } else if (arg == "--level" || arg == "--label" || arg == "--label-cause") {
      const std::size_t eq = value.find('=');
      if (eq == std::string::npos || eq == 0 || eq + 1 == value.size()) {
        return OptionError{"option '" + arg + "' needs " + (arg == "--level" ? "NAME=REF" : "NAME=TEXT") + ", not '" + value + "'"};
      }
      auto& list = arg == "--level" ? options.levels : arg == "--label" ? options.labels : options.causeLabels;
      list.emplace_back(value.substr(0, eq), value.substr(eq + 1));
    } else if (arg == "--ylim") {
      options.yLimits = ParseFigureYRange(value);
      if (!options.yLimits) return OptionError{"option '--ylim' needs LO,HI with 0 <= LO < HI <= 1, not '" + value + "'"};
    } else if (arg == "--time-unit") {
      options.timeUnitGiven = true;
      if (value == "months") {
        options.timeUnit = TimeUnit::Months;
      } else if (value == "weeks") {
        options.timeUnit = TimeUnit::Weeks;
      } else if (value == "years") {
        options.timeUnit = TimeUnit::Years;
      } else {
        return OptionError{"unknown time unit '" + value + "' (use months, weeks or years)"};
      }
    } else if (arg == "--palette") {
      if (value == "program") {
        options.palette = FigurePalette::Program;
      } else if (value == "okabe-ito") {
        options.palette = FigurePalette::OkabeIto;
      } else if (value == "grey") {
        options.palette = FigurePalette::Grey;
      } else {
        return OptionError{"unknown palette '" + value + "' (use program, okabe-ito or grey)"};
      }
    } else {
      if (value.empty()) return OptionError{"option '--out' needs a directory"};
      if (options.outDir) return OptionError{"option '--out' given twice ('" + *options.outDir + "' and '" + value + "')"};
      options.outDir = value;
    }
  }
  if (!haveFile && !options.help) return OptionError{"no data file given (see --help)"};
  if (options.ci && !options.outDir && !options.help) {
    return OptionError{"option '--ci' needs --out (the bands are drawn into the figure)"};
  }
  return options;
}

}  // namespace orv::cli

namespace orv::cli {

const char* UsageText() {
  return R"usage(Usage: orvantis FILE [options]

Loads a data file of cases (Shift-JIS CSV: group, days, outcome, cause), prints the raw
data report and what the views show, in UTF-8:
  1. the raw data report, byte for byte as the report window holds it (tabs and CR LF kept),
     coloured with ANSI escapes when standard output is a terminal;
  2. the survival-rate view, under its window caption in brackets (as the two tables
     below): one line per row of that view, cells separated by a tab: the heading
     line (an empty first cell, then " 5(y)", " 10(y)", "data max", " 50%" and, when the
     range is neither 5 nor 10 years, "graph max"), one line per shown group
     (" 3:   label  " and its figures), then the test lines (p-value, tab, test and
     statistic) when two or more groups are shown;
  3. the log-rank and the generalized Wilcoxon pairwise tables, exactly as their windows
     hold them (CR LF line ends); with fewer than two shown groups, the notice instead;
  4. the figures for publication: per shown group (the pooled group first) the median
     survival with its 95 % confidence interval in weeks and as a period (" 3y 0m"; a
     median on a stretch where the Kaplan-Meier estimate is exactly 0.5 is the midpoint
     to the next death), 5- and 10-year survival with 95 % intervals (log scale,
     Greenwood) and the numbers at risk at each year mark of the range; then per pair of
     shown groups the hazard ratio of the higher-numbered group relative to the lower
     (Cox model, Efron ties) with its 95 % interval and Wald p, in the range's weeks;
     "n/a" where there is none (no death in a group, or no finite estimate);
  5. for a journal's reviewer, over the weeks 0 to the range's end (said in its first
     line, with the causes counted as censored): the standard log-rank p of the shown
     groups (two significant figures), the medians with their known limits (the
     Japanese "not reached" where not reached) and events/cases, the median follow-up
     by reverse Kaplan-Meier, each shown group's hazard ratio against the reference
     group (Cox model of the two groups' cases) with the proportional-hazards check
     (marked below p = 0.05), and the restricted mean survival to the range's last week
     per group and per pair.
  6. with a cause counted as censored (--censor), the competing risks: its deaths compete
     with those of the other causes; per shown group the 5- and 10-year cumulative
     incidence (Aalen-Johansen) with its 95 % interval beside the naive 1 - KM, Gray's
     test of the shown groups, and per pair Gray's test and the Fine-Gray
     subdistribution hazard ratio, in the range's weeks.
  7. with two or more shown groups or any of --covariates, --strata, --subgroup: the Cox
     model of all shown groups against the reference group (adjusted for the covariates,
     stratified), per row events/cases, HR with its 95 % interval and p, the global
     likelihood-ratio, Wald and score tests, the stratified log-rank test, the subgroups
     with the interaction test and the adjusted Fine-Gray model where fitted.
Message box texts go to standard error, one line each ("caption: text").

Options (applied in this order, whatever their order on the command line:
load, --censor, --hide/--show, --range, --reference):
  --censor NAME  count deaths of this cause as censored and load the file again, as the
                 censored-case window does (repeatable; all names are ticked at once)
  --hide G       hide group G (0 = all cases, 1..number of groups)
  --show G       show group G; all --hide/--show act as one OK of the group selection
                 window, in command-line order: the pooled group is recomputed when a flag
                 of groups 1.. changed, else the graph is only redrawn
  --range CMD    an X range menu command, then the analysis run (repeatable, in order):
                 5y, 10y, +1y, +5y, -1y (only above 1 year), -5y (only above 6 years),
                 longest
  --reference G  the reference group of the hazard ratios of section 5, by number
                 (1..number of groups) or name, applied after the range commands; by
                 default, and while G is hidden, the first shown group
  --label G=TEXT         the English paragraph's name of group G (number or name)
  --label-cause C=TEXT   the English paragraph's name of cause C; the Japanese keeps the names
  --covariates NAME,...  adjust the model of the shown groups for these covariate columns
                 (named by the file's 'covariates: line, else 列5, 列6, ...): one Cox model
                 of all shown groups against the reference group, continuous columns as
                 they are, categorical ones as one term per level against its reference
  --strata NAME  a categorical column with a baseline hazard per level in the model, and
                 the log-rank test of the shown groups stratified by it
  --subgroup NAME  the groups' hazard ratios within each level of a categorical column,
                 with the likelihood-ratio test of the group x column interaction
  --level NAME=REF  the reference level of a categorical covariate (by default its first
                 value in the file)
  --time-unit U  the unit of the times in the paragraphs for the paper and the reviewer's
                 section: months (the default; weeks x 7 / 30.4375), weeks or years; the
                 JSON keeps weeks and the trace gives each figure's unit and conversion.
                 Given as months or years it also sets the publication figures' time axis,
                 which otherwise (and with weeks) is in months under a range of 3 years
                 (ticks, labels and numbers at risk every 3 months, every 6 from a range
                 of 2 years) and in years from 3 years on
  --json         print one JSON document of the whole result instead of the text; the
                 figures for publication are in each group's weeks (km, stdErr, lower,
                 upper), in each group (atRisk, median, at5y, at10y) and in each pair
                 (hazardRatio, hrLower, hrUpper, hrP), null where there is none; the
                 reviewer's figures as logRank, reference and referenceRatios, per group
                 events, rmst and followUp, per pair phStatistic, phP and rmstDifference;
                 competingRisks (per group and week the incidence with its error and
                 limits, at5y, at10y; grayTest; per pair Gray's test and the Fine-Gray
                 ratio; adjusted, the adjusted Fine-Gray model), null without a cause
                 counted as censored; model (terms, references, tests, factorTests, n,
                 events, dropped, concordance, strata, stratifiedLogRank, subgroups), null
                 without a model
  --out DIR      also write into DIR: graph.png and graph.svg (884 x 642, the main
                 window's default client area), legend.png, survival-rate.png,
                 cumulative-deaths.png, deaths-by-cause.png (the view windows' sizes less
                 16 x 39 of frame), a .txt of each view (one line per 40-pixel row, texts
                 left to right separated by tabs, a heading row shifted one cell to
                 stand over the figures), log-rank.txt, wilcoxon.txt and report.txt;
                 life-tables.csv (per group and week: at risk, deaths, censored, the
                 Kaplan-Meier estimate, its standard error and 95 % limits) and pairs.csv
                 (per pair: the log-rank and Wilcoxon statistics and p-values, the hazard
                 ratio with its interval and p), medians.csv (per group: cases, events,
                 median and limits in weeks and as periods) and hazard-ratios.csv (the
                 ratios against the reference with events/cases and their check), UTF-8
                 with a byte-order mark; a name that starts with =, +, -, @, a tab or a
                 CR is written with an apostrophe before it ("'=1+1"), so that a
                 spreadsheet program shows it as text instead of running it as a formula;
                 and the publication figure of the shown groups, 170 x 120 mm:
                 figure.pdf (its texts real text, searchable), figure.svg, figure.png
                 and figure.tif (2008 x 1417 pixels, 300 dpi, the resolution recorded):
                 the Kaplan-Meier curves in the palette's colours and the groups' line
                 styles with censor marks, the time axis of the current range (see
                 --time-unit), the legend with events/cases, the standard log-rank p,
                 the numbers at risk at each labelled mark in a table under the axis
                 (long names shrink to 6 pt, no smaller, and are then cut with an
                 ellipsis; the CSV files keep them whole), and a footnote of the weeks
                 and censored causes; with a cause counted as censored,
                 cumulative-incidence.csv and the figure of the incidences,
                 cumulative-incidence.pdf, .svg, .png and .tif, laid out and coloured
                 as the survival figure: "name (events/cases)" and Gray's p in its
                 legend, the event of interest in its axis title and, with the
                 competing causes, in its footnote; with a model, model.csv and its
                 forest plot forest.pdf, .svg and .png. Each file is written under a
                 temporary name in DIR and renamed into place, so a link or a special
                 file of that name is replaced, never followed; DIR must not hold the
                 data file under one of these names. Control characters in names and
                 causes are shown as ^X (ESC as ^[) in the printed text and the .txt
                 files.
  --ci           draw each curve's pointwise 95 % confidence band (log scale) into
                 the publication figures, a light fill of the group's colour (needs --out)
  --palette P    the publication figures' colours: okabe-ito (the default: eight
                 colour-blind-safe colours in drawing order, then the groups' own),
                 program (the groups' own) or grey (black, the line styles telling the
                 groups apart)
  --ylim LO,HI   the publication figures' Y range, 0 <= LO < HI <= 1 (e.g. 0,0.3); by
                 default 0 to 1 for survival and, for the cumulative incidence, 0 to the
                 first tenth at or above the highest value drawn (upper limit with --ci)
  --no-censor-marks  draw the publication figure's curves without censor marks
  --help         this text

Exit status: 0 after a load; 1 when the file cannot be read, is larger than 2 GiB
(2147483648 bytes) or an output cannot be written (the files of --out are written even
when standard output fails); 2 for a wrong command line, cause name or group index.
)usage";
}

}  // namespace orv::cli
