// Identifiers the program shares with whoever drives it: menu commands and report controls.
#pragma once

namespace orv::app {

enum Command : int {
  kCmdOpenFile = 1004,
  kCmdLegend = 1005,
  kCmdSurvivalRate = 1006,
  kCmdFiveYears = 1007,
  kCmdTenYears = 1008,
  kCmdPlusOneYear = 1009,
  kCmdPlusFiveYears = 1010,
  kCmdMinusOneYear = 1011,
  kCmdMinusFiveYears = 1012,
  kCmdLongest = 1013,
  kCmdDeathsByCause = 1014,
  kCmdCumulativeDeaths = 1015,
  kCmdLogRankWindow = 1016,
  kCmdReportWindow = 1017,
  kCmdChooseGroups = 1018,
  kCmdCensoredCases = 1019,
  kCmdCopyGraph = 1020,
  kCmdLineSettings = 1021,
  kCmdHelp = 1022,
  kCmdAbout = 1023,
  kCmdWilcoxonWindow = 1024,
  kCmdNumberAtRisk = 1025,
  kCmdIntervals = 1026,
  kCmdSaveTables = 1027,
  kCmdPaper = 1028,
  kCmdIncidenceView = 1029,
  kCmdChooseReference = 1030,
  kCmdFigure = 1031,
  kCmdSaveFigure = 1032,
  kCmdCopyFigure = 1033,
  kCmdPrintFigure = 1034,
  kCmdFigureIncidence = 1035,
  kCmdPaperWords = 1036,
  kCmdFigureSettings = 1037,
  kCmdCovariates = 1061,
  kCmdModelWindow = 1062,
  kCmdForestView = 1063,
};

inline constexpr int kLogRankControlId = 1995;
inline constexpr int kWilcoxonControlId = 1996;
inline constexpr int kIntervalsControlId = 1997;
inline constexpr int kPaperControlId = 1994;
inline constexpr int kReportControlId = 1998;
inline constexpr int kModelControlId = 1989;
inline constexpr int kIconResource = 101;

}  // namespace orv::app
