// Workspaces with hand-filled survival tables for the drawing tests.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "data/workspace.h"
#include "platform/recording.h"

namespace orv::test {

// One week of one group: counts and the survival after it.
struct WeekEvents {
  int week;
  double censored;
  double deaths;
  double survival;
};

// A plot 520 pixels wide and 550 high, so week w of a 52-week range lies at x = 80 + 10 w.
inline std::unique_ptr<Workspace> PlotWorkspace(int xMax) {
  auto ws = std::make_unique<Workspace>();
  ws->geometry.width = 520;
  ws->geometry.height = 550;
  ws->geometry.xMax = xMax;
  ws->cases.dataMaxWeeks = 2080;
  return ws;
}

inline void SetWeeks(Workspace& ws, int g, const std::vector<WeekEvents>& weeks) {
  for (const WeekEvents& e : weeks) {
    auto& row = ws.survival.SurvivalTable[static_cast<std::size_t>(e.week)];
    row[kCensored][g] = e.censored;
    row[kDeaths][g] = e.deaths;
    row[kSurvival][g] = e.survival;
  }
}

inline std::vector<RecordingCanvas::PlacedText> TextsAtY(const RecordingCanvas& c, int y) {
  std::vector<RecordingCanvas::PlacedText> out;
  for (const auto& t : c.Texts()) {
    if (t.y == y) out.push_back(t);
  }
  return out;
}

}  // namespace orv::test

namespace orv {

// Readable failure messages for the recorded primitives.
inline void PrintTo(const RecordingCanvas::PlacedText& t, std::ostream* os) {
  *os << "(" << t.x << ", " << t.y << ", \"" << t.text << "\")";
}
inline void PrintTo(const RecordingCanvas::Segment& s, std::ostream* os) {
  *os << "(" << s.x1 << "," << s.y1 << " -> " << s.x2 << "," << s.y2 << " pen " << s.pen.style << "/" << s.pen.colour << ")";
}

}  // namespace orv
