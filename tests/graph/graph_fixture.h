// Workspaces with hand-filled survival tables, and recorded drawing as short texts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/workspace.h"
#include "platform/recording.h"

namespace orv::test {

struct WeekEvents {
  int week;
  double censored, deaths, survival;
};

// A plot 520 by 550 pixels: in a 52-week range week w lies at x = 80 + 10 w; survival 1 at
// y 50, 0.5 at 325, 0 at 600.
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

// The texts drawn at height y as "x:text|x:text".
inline std::string TextsAt(const RecordingCanvas& c, int y) {
  std::string out;
  for (const auto& t : c.Texts()) {
    if (t.y == y) out += (out.empty() ? "" : "|") + std::to_string(t.x) + ":" + t.text;
  }
  return out;
}

// The segments drawn with one pen as "x1,y1>x2,y2 ...".
inline std::string Lines(const RecordingCanvas& c, const Pen& pen) {
  std::string out;
  for (const auto& s : c.Segments()) {
    if (s.pen != pen) continue;
    out += (out.empty() ? "" : " ") + std::to_string(s.x1) + "," + std::to_string(s.y1) + ">" + std::to_string(s.x2) + "," +
           std::to_string(s.y2);
  }
  return out;
}

}  // namespace orv::test
