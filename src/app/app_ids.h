// Identifiers the program shares with whoever drives it: menu commands, report controls and
// the two hooks through which the GUI tests act as the shell would.
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
};

inline constexpr int kLogRankControlId = 1995;
inline constexpr int kWilcoxonControlId = 1996;
inline constexpr int kReportControlId = 1998;
inline constexpr int kIconResource = 101;

// WM_COPYDATA kinds understood by the main window. A drop carries the paths, each ended by a
// zero byte; the program builds the drop itself and posts it to itself, as a shell would.
// A pixel read carries two 32-bit ints (x, y) and returns the colour of the graph bitmap.
inline constexpr unsigned long kCopyDataDrop = 0x4F520001;
inline constexpr unsigned long kCopyDataGraphPixel = 0x4F520002;
// Posted with a window handle in lParam: the program posts kPong back with the same wParam
// once it has handled every message posted before.
inline constexpr unsigned kPing = 0x8000 + 0x150;  // WM_APP + 0x150
inline constexpr unsigned kPong = 0x8000 + 0x151;

}  // namespace orv::app
